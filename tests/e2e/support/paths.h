#pragma once
// Where the programs under test are, as Windows paths the tests can start.

#include <string>
#include <string_view>

namespace e2e {

// A path of the Linux file system as Wine's drive Z: shows it.
std::string windowsPath(std::string_view hostPath);

// The player built without a script (target `player`).
std::string plainPlayerPath();
// A player built by add_player() in tests/e2e (NAME.exe beside the test programs).
std::string builtPlayerPath(std::string_view name);
// A directory for files the tests make; created on first use.
std::string workDirectory();

// A copy of the plain player named NAME.exe in the work directory, with
// `script` embedded as resource type 10, id 1, as a packed player carries it.
// Returns its path; fails the calling test (and returns "") when it cannot.
std::string playerWithScript(std::string_view name, std::string_view script);

} // namespace e2e
