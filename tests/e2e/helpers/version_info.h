#pragma once
// The version resource of an executable, read the way Explorer's Properties
// read it (GetFileVersionInfo, VerQueryValue).

#include "support/windows_api.h"

#include <string>

namespace e2e {

struct VersionFacts {
    bool found = false;
    std::string fileVersionNumbers; // VS_FIXEDFILEINFO, "1.2.3.0"
    std::string productVersionNumbers;
    std::string fileVersion; // the strings of block 040904B0
    std::string productVersion;
    std::string description;
    std::string productName;
    std::string originalName;
    std::string company;
    std::string copyright;
};

VersionFacts versionOf(const std::string& path);

} // namespace e2e
