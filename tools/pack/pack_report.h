#pragma once
// What the packer tells a user who dropped a script on it: the lines its console
// got, shortened for a message box. Nothing here needs Windows.

#include <cstddef>
#include <string>
#include <string_view>

constexpr std::size_t ReportMaxLines = 40;
constexpr std::size_t ReportMaxLineBytes = 300;

// The console lines of `transcript` (LF-separated GBK text) for a message box:
// at most ReportMaxLines lines, each cut to ReportMaxLineBytes bytes between
// characters (with "..." after a cut), then a line telling how many more there
// were. Empty lines at the end are dropped.
std::string reportForBox(std::string_view transcript);
