#include "studio_recovery.h"

#include <array>
#include <cstdint>

namespace {

// The mark and version at the start of every copy.
constexpr std::string_view Mark = "SPSTUDIO-RECOVERY-1\n";

// mark, total length, four format bytes, path length, text length, checksum
constexpr std::size_t FixedBytes = Mark.size() + 4 + 4 + 4 + 4 + 4;

constexpr std::array<std::uint32_t, 256> crcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 1) != 0 ? 0xEDB88320u ^ (value >> 1) : value >> 1;
        }
        table[i] = value;
    }
    return table;
}

// CRC-32 (the one zip uses).
std::uint32_t crc32(std::string_view bytes) {
    static constexpr std::array<std::uint32_t, 256> table = crcTable();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (char byte : bytes) {
        crc = table[(crc ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

void putWord(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

std::uint32_t wordAt(std::string_view bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    }
    return value;
}

} // namespace

std::string encodeRecovery(const RecoveryRecord& record) {
    std::string out(Mark);
    putWord(out, static_cast<std::uint32_t>(FixedBytes + record.path.size() + record.text.size()));
    out += static_cast<char>(record.format.encoding);
    out += static_cast<char>(record.format.byteOrderMark ? 1 : 0);
    out += static_cast<char>(record.format.lineEnds);
    out += static_cast<char>(record.format.mixedLineEnds ? 1 : 0);
    putWord(out, static_cast<std::uint32_t>(record.path.size()));
    putWord(out, static_cast<std::uint32_t>(record.text.size()));
    out += record.path;
    out += record.text;
    putWord(out, crc32(out));
    return out;
}

bool decodeRecovery(std::string_view bytes, RecoveryRecord& record) {
    if (bytes.size() < FixedBytes || bytes.substr(0, Mark.size()) != Mark ||
        wordAt(bytes, Mark.size()) != bytes.size() ||
        crc32(bytes.substr(0, bytes.size() - 4)) != wordAt(bytes, bytes.size() - 4)) {
        return false;
    }
    std::size_t at = Mark.size() + 4;
    const auto encoding = static_cast<unsigned char>(bytes[at]);
    const auto byteOrderMark = static_cast<unsigned char>(bytes[at + 1]);
    const auto lineEnds = static_cast<unsigned char>(bytes[at + 2]);
    const auto mixed = static_cast<unsigned char>(bytes[at + 3]);
    at += 4;
    const std::size_t pathLength = wordAt(bytes, at);
    const std::size_t textLength = wordAt(bytes, at + 4);
    at += 8;
    // The two lengths must fill what lies between the header and the checksum,
    // checked without a sum that could wrap.
    const std::size_t rest = bytes.size() - FixedBytes;
    const bool lengthsFit = pathLength <= rest && textLength == rest - pathLength;
    const bool knownEncoding = encoding == static_cast<unsigned char>(SourceEncoding::Utf8) ||
                               encoding == static_cast<unsigned char>(SourceEncoding::Gbk);
    if (!knownEncoding || byteOrderMark > 1 || mixed > 1 ||
        lineEnds > static_cast<unsigned char>(LineEndStyle::Cr) || !lengthsFit) {
        return false;
    }
    record.format.encoding = static_cast<SourceEncoding>(encoding);
    record.format.byteOrderMark = byteOrderMark != 0;
    record.format.lineEnds = static_cast<LineEndStyle>(lineEnds);
    record.format.mixedLineEnds = mixed != 0;
    record.path = bytes.substr(at, pathLength);
    record.text = bytes.substr(at + pathLength, textLength);
    return true;
}
