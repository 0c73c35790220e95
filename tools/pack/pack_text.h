#pragma once
// The packer's handling of a script file's bytes before they are embedded: which
// encoding the file is in, UTF-8 to GBK conversion character by character, and
// line ends. Nothing here needs Windows; the GBK table itself is supplied by the
// caller.

#include "ui_text.h"

#include <cstddef>
#include <string>
#include <string_view>

enum class SourceEncoding { Auto, Gbk, Utf8 };

// A place in a text: 1-based line (counted at line feeds) and 1-based column
// (counted in characters for UTF-8 text, in bytes otherwise).
struct TextPosition {
    int line = 1;
    int column = 1;
};

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

bool hasUtf8Bom(std::string_view bytes);
// A UTF-16 byte-order mark (FF FE or FE FF): such a file cannot be a script.
bool hasUtf16Bom(std::string_view bytes);
bool hasNonAscii(std::string_view bytes);

// The length in bytes of the well-formed UTF-8 character at `offset` (1 to 4),
// or 0 when the bytes there are not one: a stray continuation byte, a truncated
// sequence, an overlong form, a surrogate or a value above U+10FFFF.
std::size_t utf8CharacterLength(std::string_view bytes, std::size_t offset);
// The offset of the first byte that breaks UTF-8, or npos for a valid text.
std::size_t firstInvalidUtf8(std::string_view bytes);

// The encoding a file with these bytes is read in when the user asked for
// `requested`: Auto gives Utf8 for a text with a UTF-8 byte-order mark or one
// that is valid UTF-8 and holds non-ASCII bytes, else Gbk.
SourceEncoding resolveEncoding(std::string_view bytes, SourceEncoding requested);

// Where the byte at `offset` stands in `text`.
TextPosition positionOf(std::string_view text, std::size_t offset, bool utf8);

// Converts one UTF-8 character (1 to 4 bytes, well formed) to GBK, appending its
// bytes to `out`; false when GBK has no form for it.
using GbkConverter = bool (*)(std::string_view utf8Character, std::string& out);

struct GbkConversion {
    bool ok = false;
    std::string text;      // the GBK bytes, when ok
    std::string problem;   // what went wrong, when not ok
    TextPosition position; // where, when not ok
};

// Converts a UTF-8 text (byte-order mark already removed) to GBK. ASCII bytes
// are copied as they are; every other character goes through `convert`. Fails
// on the first byte that is not UTF-8 and on the first character without a GBK
// form, naming its line and column; `problem` is in `language`.
GbkConversion convertUtf8ToGbk(std::string_view utf8, GbkConverter convert,
                               UiLanguage language = UiLanguage::English);

struct LineEnds {
    std::string text;
    int changedLines = 0; // how many CR LF pairs became LF
};

// Turns every CR LF into LF; a CR that no LF follows stays.
LineEnds normaliseLineEnds(std::string_view text);
