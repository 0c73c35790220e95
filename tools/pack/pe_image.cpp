#include "pe_image.h"

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
