#pragma once
// A script file's bytes as the studio's editor holds them and back: the
// encoding and line ends it came with, UTF-8 text with '\n' line ends in the
// editor. The packer's rules decide what a file is; nothing here needs Windows.

#include "pack_text.h"
#include "ui_text.h"

#include <cstddef>
#include <string>
#include <string_view>

enum class LineEndStyle { CrLf, Lf, Cr };

struct TextFormat {
    SourceEncoding encoding = SourceEncoding::Utf8; // Utf8 or Gbk, never Auto
    bool byteOrderMark = false;
    LineEndStyle lineEnds = LineEndStyle::CrLf; // a new script: UTF-8, no BOM, CR LF
    bool mixedLineEnds = false; // the file had more than one kind; saved with the most common
};

enum class OpenProblem { None, TooLarge, Binary, Utf16, NotText };

// Bigger files are refused: no script is anywhere near this long.
constexpr std::size_t MaxScriptFileBytes = 8u << 20;

struct OpenedText {
    OpenProblem problem = OpenProblem::None;
    TextPosition position; // where the first byte that is neither UTF-8 nor GBK stands (NotText)
    std::string text;      // UTF-8, lines separated by '\n' only
    TextFormat format;
};

// The GBK bytes of a whole text as UTF-8; false when they are not valid GBK.
using GbkToUtf8 = bool (*)(std::string_view gbk, std::string& utf8);

// Reads a file's bytes as the packer does: UTF-8 with or without a byte-order
// mark, or GBK; any line ends. A text of ASCII bytes only is taken as UTF-8
// (the same bytes either way) so that Chinese typed into it later is saved as
// UTF-8, as in a new script. NUL bytes or many control bytes: Binary. A UTF-16
// byte-order mark: Utf16. Bytes neither UTF-8 nor GBK: NotText, with the place
// of the first such byte (in the text after any byte-order mark; columns in
// characters for UTF-8, in bytes for GBK, as the packer counts them).
// encodeScriptFile(decodeScriptFile(bytes).text, format) gives the bytes back
// for every file whose line ends are all of one kind.
OpenedText decodeScriptFile(std::string_view bytes, GbkToUtf8 decode);

struct EncodedFile {
    bool ok = false;
    std::string bytes;
    TextPosition position; // the first character with no GBK form, when saving as GBK fails
};

// The bytes of a file in `format` for the editor's text: each '\n' becomes the
// format's line end; GBK through `toGbk`, which may be null for UTF-8. Fails
// on a character GBK lacks (or a text that is not UTF-8), naming where.
EncodedFile encodeScriptFile(std::string_view utf8Text, const TextFormat& format,
                             GbkConverter toGbk);

// "UTF-8", "UTF-8 BOM" or "GBK"; "CR LF", "LF" or "CR": the status line's words.
const char* encodingName(const TextFormat& format);
const char* lineEndName(LineEndStyle style);

// Why a file was not opened or not saved, for a message box (GBK, in `language`);
// empty when nothing went wrong.
std::string openProblemText(const OpenedText& opened, UiLanguage language);
std::string saveProblemText(const EncodedFile& file, UiLanguage language);
