// The studio's reading of a script file on any bytes, with a deterministic
// stand-in for code page 936 (which is Windows code) in both directions.
// Properties: a file that opens gives UTF-8 text with '\n' line ends only;
// saved in the format it came with it gives its bytes back when its line ends
// were of one kind, and in any case a file that opens again to the same text
// with one kind of line end; a file refused as not text names a place inside
// it and gives no text.

#include "check.h"

#include "studio_file.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

// Double-byte characters in order from U+4E00; every eleventh has no form.
constexpr std::uint32_t FirstPair = 0x4E00;
constexpr std::uint32_t PairCount = 126 * 191; // leads 0x81-0xFE, trails 0x40-0xFE
constexpr std::uint32_t Euro = 0x20AC;         // the single byte 0x80

bool hasForm(std::uint32_t index) {
    return index % 11 != 0;
}

void appendUtf8(std::uint32_t value, std::string& out) {
    if (value < 0x800) {
        out += static_cast<char>(0xC0 | (value >> 6));
    } else {
        out += static_cast<char>(0xE0 | (value >> 12));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (value & 0x3F));
}

// A GbkToUtf8: the whole text, or false.
bool standInToUtf8(std::string_view gbk, std::string& utf8) {
    utf8.clear();
    for (std::size_t i = 0; i < gbk.size(); ++i) {
        const auto lead = static_cast<unsigned char>(gbk[i]);
        if (lead < 0x80) {
            utf8 += static_cast<char>(lead);
            continue;
        }
        if (lead == 0x80) {
            appendUtf8(Euro, utf8);
            continue;
        }
        if (lead == 0xFF || i + 1 >= gbk.size()) {
            return false;
        }
        const auto trail = static_cast<unsigned char>(gbk[++i]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF) {
            return false;
        }
        const std::uint32_t index = (lead - 0x81) * 191u + (trail - 0x40);
        if (!hasForm(index)) {
            return false;
        }
        appendUtf8(FirstPair + index, utf8);
    }
    return true;
}

// A GbkConverter: one UTF-8 character.
bool standInToGbk(std::string_view character, std::string& out) {
    if (character.size() == 1) {
        out += character[0];
        return true;
    }
    if (character.size() != 3) {
        return false;
    }
    const std::uint32_t value = ((static_cast<unsigned char>(character[0]) & 0x0Fu) << 12) |
                                ((static_cast<unsigned char>(character[1]) & 0x3Fu) << 6) |
                                (static_cast<unsigned char>(character[2]) & 0x3Fu);
    if (value == Euro) {
        out += '\x80';
        return true;
    }
    if (value < FirstPair || value >= FirstPair + PairCount || !hasForm(value - FirstPair)) {
        return false;
    }
    const std::uint32_t index = value - FirstPair;
    out += static_cast<char>(0x81 + index / 191);
    out += static_cast<char>(0x40 + index % 191);
    return true;
}

int lineCount(std::string_view bytes) {
    int lines = 1;
    for (char byte : bytes) {
        lines += byte == '\n' ? 1 : 0;
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const OpenedText opened = decodeScriptFile(bytes, standInToUtf8);
    if (opened.problem == OpenProblem::NotText) {
        FUZZ_CHECK(opened.text.empty());
        FUZZ_CHECK(opened.position.line >= 1 && opened.position.column >= 1);
        const std::size_t bom = hasUtf8Bom(bytes) ? Utf8Bom.size() : 0;
        FUZZ_CHECK(opened.position.line <= lineCount(bytes.substr(bom)));
        return 0;
    }
    if (opened.problem != OpenProblem::None) {
        FUZZ_CHECK(opened.text.empty());
        return 0;
    }
    FUZZ_CHECK(opened.text.find('\r') == std::string::npos);
    FUZZ_CHECK(firstInvalidUtf8(opened.text) == std::string_view::npos);
    FUZZ_CHECK(opened.format.encoding == SourceEncoding::Utf8 ||
               opened.format.encoding == SourceEncoding::Gbk);
    FUZZ_CHECK(opened.format.encoding == SourceEncoding::Utf8 || !opened.format.byteOrderMark);

    const EncodedFile saved = encodeScriptFile(opened.text, opened.format, standInToGbk);
    FUZZ_CHECK(saved.ok);
    if (!opened.format.mixedLineEnds) {
        FUZZ_CHECK(saved.bytes == bytes);
    }
    const OpenedText again = decodeScriptFile(saved.bytes, standInToUtf8);
    FUZZ_CHECK(again.problem == OpenProblem::None);
    FUZZ_CHECK(again.text == opened.text);
    FUZZ_CHECK(!again.format.mixedLineEnds);
    return 0;
}
