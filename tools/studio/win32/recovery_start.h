#pragma once
// The studio's recovery copy at a start: its own lock taken, and the work that
// studios now gone left behind offered back (the file being opened first).

#include <string>

// Takes the lock of this studio's own copy, then offers the work left
// behind; `openingPath` is the script the studio starts with, empty when none.
// Sets studio.recoveryPath to the copy this studio writes (empty: none).
void startRecovery(const std::wstring& openingPath);
