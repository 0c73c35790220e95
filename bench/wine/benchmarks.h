#pragma once
// The benchmarks of the player under Wine. Each prints its figures (report.h)
// and returns false when it could not be taken; a missed target is no failure.

#include "support/windows_api.h"

namespace bench {

bool startUpBenchmark();
bool breakKeyBenchmark();
bool reactionBenchmark();
bool typingBenchmark();
bool workingSetBenchmark();
bool recorderBenchmark();
bool studioBenchmark();
bool pointsBenchmark();

// How long a benchmark waits for any one thing before it gives up.
constexpr DWORD GiveUpMs = 30000;

} // namespace bench
