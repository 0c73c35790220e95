#include "helpers/version_info.h"

#include <vector>

namespace e2e {

namespace {

std::string numbers(DWORD high, DWORD low) {
    return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
           std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
}

} // namespace

VersionFacts versionOf(const std::string& path) {
    VersionFacts facts;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) {
        return facts;
    }
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
        return facts;
    }
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        facts.found = fixed->dwSignature == 0xFEEF04BD;
        facts.fileVersionNumbers = numbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
        facts.productVersionNumbers = numbers(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    }
    auto text = [&](const char* name) {
        const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueA(block.data(), key.c_str(), &value, &length) || length == 0) {
            return std::string();
        }
        return std::string(static_cast<const char*>(value));
    };
    facts.fileVersion = text("FileVersion");
    facts.productVersion = text("ProductVersion");
    facts.description = text("FileDescription");
    facts.productName = text("ProductName");
    facts.originalName = text("OriginalFilename");
    facts.company = text("CompanyName");
    facts.copyright = text("LegalCopyright");
    return facts;
}

} // namespace e2e
