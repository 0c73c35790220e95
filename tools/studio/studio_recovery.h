#pragma once
// The recovery copy of unsaved work: the script's path, format and text in one
// block of bytes that tells itself whether it was written whole.

#include "studio_file.h"

#include <string>
#include <string_view>

struct RecoveryRecord {
    std::string path; // UTF-8; empty for a script never saved
    TextFormat format;
    std::string text; // UTF-8
};

std::string encodeRecovery(const RecoveryRecord& record);

// False for anything encodeRecovery did not write whole: a wrong mark or
// version, a length that does not match, a checksum that does not (a truncated
// or damaged copy), or values no record holds.
bool decodeRecovery(std::string_view bytes, RecoveryRecord& record);
