#pragma once
// Whether a file is a Windows executable the packer can copy as the player.

#include <string>
#include <string_view>

// Why `bytes` (a whole file) is not a 32- or 64-bit Windows executable program,
// or the empty text when it is one: the MZ header, the PE signature it points
// to, the executable flag, not a DLL, an optional header of a known kind.
std::string executableProblem(std::string_view bytes);
