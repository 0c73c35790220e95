// The packer's encoding handling on any file bytes: UTF-8 validation, the
// choice of encoding, positions, the UTF-8 to GBK conversion (through a
// deterministic stand-in for the system's code page, which is Windows code)
// and line ends. The first input byte chooses the requested encoding; the rest
// are the file's bytes. Properties: validation agrees with the table of
// well-formed UTF-8 byte sequences; the conversion copies ASCII, converts each
// character, and on failure names the first bad byte or character with its
// line and column and returns no text; CR LF pairs, and only they, become LF.

#include "check.h"

#include "pack_text.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

// The length of the well-formed UTF-8 sequence at `offset`, or 0, by the
// table of byte ranges that Unicode gives for each lead byte.
std::size_t wellFormedLength(std::string_view bytes, std::size_t offset) {
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[offset + i]); };
    const std::size_t left = bytes.size() - offset;
    const unsigned char lead = at(0);
    if (lead <= 0x7F) {
        return 1;
    }
    struct Range {
        unsigned char low, high;
    };
    Range second{0x80, 0xBF};
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead == 0xE0) {
        length = 3, second = {0xA0, 0xBF};
    } else if ((lead >= 0xE1 && lead <= 0xEC) || lead == 0xEE || lead == 0xEF) {
        length = 3;
    } else if (lead == 0xED) {
        length = 3, second = {0x80, 0x9F};
    } else if (lead == 0xF0) {
        length = 4, second = {0x90, 0xBF};
    } else if (lead >= 0xF1 && lead <= 0xF3) {
        length = 4;
    } else if (lead == 0xF4) {
        length = 4, second = {0x80, 0x8F};
    } else {
        return 0;
    }
    if (left < length || at(1) < second.low || at(1) > second.high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (at(i) < 0x80 || at(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

std::uint32_t codePoint(std::string_view character) {
    auto lead = static_cast<unsigned char>(character[0]);
    std::uint32_t value = character.size() == 2   ? lead & 0x1F
                          : character.size() == 3 ? lead & 0x0F
                                                  : lead & 0x07;
    for (std::size_t i = 1; i < character.size(); ++i) {
        value = (value << 6) | (static_cast<unsigned char>(character[i]) & 0x3F);
    }
    return value;
}

// Stands in for code page 936: every code point not divisible by 7 has a
// two-byte form derived from it.
bool standInGbk(std::string_view character, std::string& out) {
    const std::uint32_t value = codePoint(character);
    if (value % 7 == 0) {
        return false;
    }
    out += static_cast<char>(0x81 + (value >> 8) % 0x7E);
    out += static_cast<char>(0x40 + value % 0xBF);
    return true;
}

TextPosition expectedPosition(std::string_view text, std::size_t offset, bool utf8) {
    if (offset > text.size()) {
        offset = text.size();
    }
    const std::string_view before = text.substr(0, offset);
    TextPosition position;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] == '\n') {
            ++position.line;
            lineStart = i + 1;
        }
    }
    for (std::size_t i = lineStart; i < before.size(); ++i) {
        const bool continuation = (static_cast<unsigned char>(before[i]) & 0xC0) == 0x80;
        if (!utf8 || !continuation) {
            ++position.column;
        }
    }
    return position;
}

bool samePosition(TextPosition a, TextPosition b) {
    return a.line == b.line && a.column == b.column;
}

void checkValidation(std::string_view bytes) {
    std::size_t firstBad = std::string_view::npos;
    for (std::size_t offset = 0; offset < bytes.size();) {
        const std::size_t length = wellFormedLength(bytes, offset);
        FUZZ_CHECK(utf8CharacterLength(bytes, offset) == length);
        if (length == 0) {
            firstBad = offset;
            break;
        }
        offset += length;
    }
    FUZZ_CHECK(firstInvalidUtf8(bytes) == firstBad);
    FUZZ_CHECK(utf8CharacterLength(bytes, bytes.size()) == 0);
    // Every offset, also inside a character, is judged on its own.
    for (std::size_t offset = 0; offset < bytes.size() && offset < 64; ++offset) {
        FUZZ_CHECK(utf8CharacterLength(bytes, offset) == wellFormedLength(bytes, offset));
    }
}

void checkEncodingChoice(std::string_view bytes, SourceEncoding requested) {
    const bool bom = bytes.substr(0, 3) == "\xEF\xBB\xBF";
    FUZZ_CHECK(hasUtf8Bom(bytes) == bom);
    const bool utf16 =
        bytes.size() >= 2 && (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF");
    FUZZ_CHECK(hasUtf16Bom(bytes) == utf16);
    bool nonAscii = false;
    for (char byte : bytes) {
        nonAscii = nonAscii || static_cast<unsigned char>(byte) >= 0x80;
    }
    FUZZ_CHECK(hasNonAscii(bytes) == nonAscii);
    SourceEncoding expected = requested;
    if (requested == SourceEncoding::Auto) {
        const bool valid = firstInvalidUtf8(bytes) == std::string_view::npos;
        expected = bom || (nonAscii && valid) ? SourceEncoding::Utf8 : SourceEncoding::Gbk;
    }
    FUZZ_CHECK(resolveEncoding(bytes, requested) == expected);
}

void checkConversion(std::string_view bytes) {
    std::string expectedText;
    std::size_t failedAt = std::string_view::npos;
    for (std::size_t offset = 0; offset < bytes.size();) {
        const std::size_t length = wellFormedLength(bytes, offset);
        if (length == 1) {
            expectedText += bytes[offset];
        } else if (length == 0 || !standInGbk(bytes.substr(offset, length), expectedText)) {
            failedAt = offset;
            break;
        }
        offset += length == 0 ? 1 : length;
    }
    const GbkConversion result = convertUtf8ToGbk(bytes, standInGbk);
    if (failedAt == std::string_view::npos) {
        FUZZ_CHECK(result.ok);
        FUZZ_CHECK(result.text == expectedText);
        FUZZ_CHECK(result.problem.empty());
    } else {
        FUZZ_CHECK(!result.ok);
        FUZZ_CHECK(result.text.empty());
        FUZZ_CHECK(!result.problem.empty());
        FUZZ_CHECK(samePosition(result.position, expectedPosition(bytes, failedAt, true)));
    }
}

void checkPositions(std::string_view bytes) {
    for (std::size_t offset :
         {std::size_t{0}, bytes.size() / 3, bytes.size() / 2, bytes.size(), bytes.size() + 5}) {
        for (bool utf8 : {false, true}) {
            FUZZ_CHECK(samePosition(positionOf(bytes, offset, utf8),
                                    expectedPosition(bytes, offset, utf8)));
        }
    }
}

void checkLineEnds(std::string_view bytes) {
    std::string expected(bytes);
    int pairs = 0;
    for (std::size_t at = expected.find("\r\n"); at != std::string::npos;
         at = expected.find("\r\n", at)) {
        expected.erase(at, 1);
        ++pairs;
        ++at;
    }
    const LineEnds result = normaliseLineEnds(bytes);
    FUZZ_CHECK(result.text == expected);
    FUZZ_CHECK(result.changedLines == pairs);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const auto requested = static_cast<SourceEncoding>(data[0] % 3);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    checkValidation(bytes);
    checkEncodingChoice(bytes, requested);
    checkConversion(bytes);
    checkPositions(bytes);
    checkLineEnds(bytes);
    return 0;
}
