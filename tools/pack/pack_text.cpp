#include "pack_text.h"

#include "ui_text.h"

#include <cstdint>

namespace {

unsigned char byteAt(std::string_view bytes, std::size_t offset) {
    return static_cast<unsigned char>(bytes[offset]);
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// "U+4E2D" for the code point of a well-formed character.
std::string codePointName(std::string_view character) {
    std::uint32_t value = 0;
    auto lead = static_cast<unsigned char>(character[0]);
    if (character.size() == 1) {
        value = lead;
    } else {
        value = lead & (0x7F >> character.size());
        for (std::size_t i = 1; i < character.size(); ++i) {
            value = (value << 6) | (static_cast<unsigned char>(character[i]) & 0x3F);
        }
    }
    static const char digits[] = "0123456789ABCDEF";
    std::string name = "U+";
    int shift = 12; // at least four digits
    while (shift < 28 && (value >> (shift + 4)) != 0) {
        shift += 4;
    }
    for (; shift >= 0; shift -= 4) {
        name += digits[(value >> shift) & 0xF];
    }
    return name;
}

} // namespace

bool hasUtf8Bom(std::string_view bytes) {
    return bytes.substr(0, 3) == Utf8Bom;
}

bool hasUtf16Bom(std::string_view bytes) {
    return bytes.size() >= 2 && ((byteAt(bytes, 0) == 0xFF && byteAt(bytes, 1) == 0xFE) ||
                                 (byteAt(bytes, 0) == 0xFE && byteAt(bytes, 1) == 0xFF));
}

bool hasNonAscii(std::string_view bytes) {
    for (char byte : bytes) {
        if (static_cast<unsigned char>(byte) >= 0x80) {
            return true;
        }
    }
    return false;
}

std::size_t utf8CharacterLength(std::string_view bytes, std::size_t offset) {
    if (offset >= bytes.size()) {
        return 0;
    }
    unsigned char lead = byteAt(bytes, offset);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    std::uint32_t lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        lowest = 0x10000;
    } else {
        return 0; // a continuation byte, an overlong two-byte lead, or beyond U+10FFFF
    }
    if (bytes.size() - offset < length) {
        return 0;
    }
    std::uint32_t value = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        unsigned char next = byteAt(bytes, offset + i);
        if (!isContinuation(next)) {
            return 0;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    return length;
}

std::size_t firstInvalidUtf8(std::string_view bytes) {
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        std::size_t length = utf8CharacterLength(bytes, offset);
        if (length == 0) {
            return offset;
        }
        offset += length;
    }
    return std::string_view::npos;
}

SourceEncoding resolveEncoding(std::string_view bytes, SourceEncoding requested) {
    if (requested != SourceEncoding::Auto) {
        return requested;
    }
    if (hasUtf8Bom(bytes)) {
        return SourceEncoding::Utf8;
    }
    if (hasNonAscii(bytes) && firstInvalidUtf8(bytes) == std::string_view::npos) {
        return SourceEncoding::Utf8;
    }
    return SourceEncoding::Gbk;
}

TextPosition positionOf(std::string_view text, std::size_t offset, bool utf8) {
    TextPosition position;
    if (offset > text.size()) {
        offset = text.size();
    }
    for (std::size_t i = 0; i < offset; ++i) {
        unsigned char byte = byteAt(text, i);
        if (byte == '\n') {
            ++position.line;
            position.column = 1;
        } else if (!utf8 || !isContinuation(byte)) {
            ++position.column;
        }
    }
    return position;
}

GbkConversion convertUtf8ToGbk(std::string_view utf8, GbkConverter convert, UiLanguage language) {
    GbkConversion result;
    result.text.reserve(utf8.size());
    std::size_t offset = 0;
    while (offset < utf8.size()) {
        unsigned char lead = byteAt(utf8, offset);
        if (lead < 0x80) {
            result.text += static_cast<char>(lead);
            ++offset;
            continue;
        }
        std::size_t length = utf8CharacterLength(utf8, offset);
        if (length == 0) {
            static const char digits[] = "0123456789ABCDEF";
            const char hex[2] = {digits[lead >> 4], digits[lead & 0xF]};
            result.problem =
                formatUiText(uiText(TextId::TextNotUtf8, language), {std::string_view(hex, 2)});
            result.position = positionOf(utf8, offset, true);
            result.text.clear();
            return result;
        }
        std::string_view character = utf8.substr(offset, length);
        if (!convert(character, result.text)) {
            result.problem = formatUiText(uiText(TextId::TextNoGbkForm, language),
                                          {character, codePointName(character)});
            result.position = positionOf(utf8, offset, true);
            result.text.clear();
            return result;
        }
        offset += length;
    }
    result.ok = true;
    return result;
}

LineEnds normaliseLineEnds(std::string_view text) {
    LineEnds result;
    result.text.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++result.changedLines;
            continue;
        }
        result.text += text[i];
    }
    return result;
}
