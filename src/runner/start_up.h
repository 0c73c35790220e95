#pragma once

#include <cstdint>

// Loads the embedded script and runs it; the process's exit code, always 0.
std::int32_t startUp();
