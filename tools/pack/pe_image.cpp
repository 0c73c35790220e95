#include "pe_image.h"

#include <algorithm>
#include <cstdint>

namespace {

std::uint32_t readLittle(std::string_view bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    }
    return value;
}

constexpr std::size_t PeOffsetField = 0x3C;
constexpr std::size_t FileHeaderSize = 20;
constexpr std::uint16_t ExecutableImage = 0x0002;
constexpr std::uint16_t DllFlag = 0x2000;
constexpr std::uint16_t Pe32Magic = 0x10B;
constexpr std::uint16_t Pe32PlusMagic = 0x20B;
// Offsets in the optional header.
constexpr std::size_t ChecksumField = 64;
constexpr std::size_t Pe32DirectoryCount = 92;
constexpr std::size_t Pe32PlusDirectoryCount = 108;
constexpr std::uint32_t SecurityDirectory = 4; // IMAGE_DIRECTORY_ENTRY_SECURITY
constexpr std::size_t DirectoryEntrySize = 8;

void writeLittle(std::string& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::size_t optionalHeader(std::string_view bytes) {
    return readLittle(bytes, PeOffsetField, 4) + 4 + FileHeaderSize;
}

// The file offset of the security directory entry, or 0 when the optional
// header has no room for it.
std::size_t securityEntry(std::string_view bytes) {
    const std::size_t optional = optionalHeader(bytes);
    const bool plus = readLittle(bytes, optional, 2) == Pe32PlusMagic;
    const std::size_t countField = optional + (plus ? Pe32PlusDirectoryCount : Pe32DirectoryCount);
    const std::size_t optionalSize = readLittle(bytes, optional - FileHeaderSize + 16, 2);
    if (countField + 4 > bytes.size() || countField + 4 > optional + optionalSize) {
        return 0;
    }
    const std::size_t entry = countField + 4 + SecurityDirectory * DirectoryEntrySize;
    if (readLittle(bytes, countField, 4) <= SecurityDirectory ||
        entry + DirectoryEntrySize > optional + optionalSize ||
        entry + DirectoryEntrySize > bytes.size()) {
        return 0;
    }
    return entry;
}

// Where the sections' bytes end in the file.
std::size_t sectionDataEnd(std::string_view bytes) {
    const std::size_t fileHeader = readLittle(bytes, PeOffsetField, 4) + 4;
    const std::size_t count = readLittle(bytes, fileHeader + 2, 2);
    const std::size_t table = fileHeader + FileHeaderSize + readLittle(bytes, fileHeader + 16, 2);
    std::size_t end = table + 40 * count;
    for (std::size_t i = 0; i < count && table + 40 * (i + 1) <= bytes.size(); ++i) {
        const std::size_t header = table + 40 * i;
        const std::size_t size = readLittle(bytes, header + 16, 4);
        const std::size_t start = readLittle(bytes, header + 20, 4);
        if (size != 0) {
            end = std::max(end, start + size);
        }
    }
    return end;
}

} // namespace

std::string executableProblem(std::string_view bytes) {
    if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') {
        return "it has no MZ header";
    }
    std::uint32_t pe = readLittle(bytes, PeOffsetField, 4);
    if (pe > bytes.size() || bytes.size() - pe < 4 + FileHeaderSize + 2) {
        return "its PE header lies outside the file";
    }
    if (bytes.substr(pe, 4) != std::string_view("PE\0\0", 4)) {
        return "it has no PE signature";
    }
    std::size_t fileHeader = pe + 4;
    auto optionalSize = readLittle(bytes, fileHeader + 16, 2);
    auto characteristics = readLittle(bytes, fileHeader + 18, 2);
    if ((characteristics & ExecutableImage) == 0) {
        return "it is not marked as an executable image";
    }
    if ((characteristics & DllFlag) != 0) {
        return "it is a DLL, not a program";
    }
    if (optionalSize < 2) {
        return "it has no optional header";
    }
    auto magic = readLittle(bytes, fileHeader + FileHeaderSize, 2);
    if (magic != Pe32Magic && magic != Pe32PlusMagic) {
        return "its optional header is of an unknown kind";
    }
    return "";
}

std::uint32_t imageChecksum(std::string_view bytes) {
    const std::size_t field = optionalHeader(bytes) + ChecksumField;
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        if (i >= field && i < field + 4) {
            continue;
        }
        std::uint32_t word = static_cast<unsigned char>(bytes[i]);
        if (i + 1 < bytes.size()) {
            word |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        }
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + bytes.size());
}

std::uint32_t storedChecksum(std::string_view bytes) {
    const std::size_t field = optionalHeader(bytes) + ChecksumField;
    return field + 4 <= bytes.size() ? readLittle(bytes, field, 4) : 0;
}

CertificateTable certificateTable(std::string_view bytes) {
    const std::size_t entry = securityEntry(bytes);
    if (entry == 0) {
        return {};
    }
    return {readLittle(bytes, entry, 4), readLittle(bytes, entry + 4, 4)};
}

bool finishImage(std::string& bytes) {
    const std::size_t entry = securityEntry(bytes);
    const CertificateTable table = certificateTable(bytes);
    bool removed = false;
    if (entry != 0 && (table.offset != 0 || table.size != 0)) {
        // The table's offset is a file offset; it lies behind the sections,
        // normally at the very end. Whatever the file holds after it stays.
        const std::size_t headerEnd = entry + DirectoryEntrySize;
        if (table.offset >= headerEnd && table.offset <= bytes.size()) {
            const std::size_t size = std::min<std::size_t>(table.size, bytes.size() - table.offset);
            bytes.erase(table.offset, size);
            // Signing pads the file with zeros to the table's alignment; at the
            // end of the file, that padding goes too.
            const std::size_t dataEnd = sectionDataEnd(bytes);
            if (table.offset == bytes.size() && dataEnd < bytes.size() &&
                bytes.find_first_not_of('\0', dataEnd) == std::string::npos) {
                bytes.resize(dataEnd);
            }
        }
        writeLittle(bytes, entry, 0);
        writeLittle(bytes, entry + 4, 0);
        removed = true;
    }
    const std::size_t field = optionalHeader(bytes) + ChecksumField;
    if (field + 4 <= bytes.size()) {
        writeLittle(bytes, field, imageChecksum(bytes));
    }
    return removed;
}
