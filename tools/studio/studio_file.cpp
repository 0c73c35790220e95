#include "studio_file.h"

#include <string>

namespace {

unsigned char byteAt(std::string_view bytes, std::size_t offset) {
    return static_cast<unsigned char>(bytes[offset]);
}

// The length of the GBK character at `offset`: 1 for ASCII and for 0x80 (the
// euro sign in code page 936, which the way to GBK gives for it), 2 for a lead
// byte 0x81-0xFE followed by a trail byte 0x40-0xFE other than 0x7F, else 0.
std::size_t gbkCharacterLength(std::string_view bytes, std::size_t offset) {
    const unsigned char lead = byteAt(bytes, offset);
    if (lead <= 0x80) {
        return 1;
    }
    if (lead == 0xFF || offset + 1 >= bytes.size()) {
        return 0;
    }
    const unsigned char trail = byteAt(bytes, offset + 1);
    return trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 0;
}

// A NUL byte, or more than one control byte in sixteen characters that no
// text has (tab, line feed, vertical tab, form feed and carriage return are
// text). The characters are counted in the file's encoding, a byte-order mark
// left out and each line break as two (the CR LF it is on Windows): the same
// count for the same text in any encoding with any line ends, so that a file
// the studio saves, as it was or in another format, opens again.
bool looksBinary(std::string_view body, SourceEncoding encoding) {
    std::size_t controls = 0;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < body.size();) {
        const unsigned char value = byteAt(body, i);
        if (value == 0) {
            return true;
        }
        std::size_t length = 1;
        if (value == '\r' || value == '\n') {
            length = value == '\r' && i + 1 < body.size() && body[i + 1] == '\n' ? 2 : 1;
            characters += 2;
        } else {
            if ((value < 0x20 && (value < '\t' || value > '\r')) || value == 0x7F) {
                ++controls;
            }
            if (value >= 0x80) {
                length = encoding == SourceEncoding::Gbk ? gbkCharacterLength(body, i)
                                                         : utf8CharacterLength(body, i);
                length = length == 0 ? 1 : length; // a broken character: one byte each
            }
            ++characters;
        }
        i += length;
    }
    return controls * 16 > characters;
}

// The offset of the first GBK character that `decode` refuses (its structure
// already checked), or npos.
std::size_t firstUndecodableGbk(std::string_view bytes, GbkToUtf8 decode) {
    std::string scratch;
    for (std::size_t offset = 0; offset < bytes.size();) {
        const std::size_t length = gbkCharacterLength(bytes, offset);
        if (length == 0) {
            return offset;
        }
        if (byteAt(bytes, offset) >= 0x80) {
            scratch.clear();
            if (!decode(bytes.substr(offset, length), scratch)) {
                return offset;
            }
        }
        offset += length;
    }
    return std::string_view::npos;
}

// `text` with every CR LF, LF and lone CR turned into '\n'; the format learns
// which kind was the most common and whether there was more than one.
std::string splitLineEnds(std::string_view text, TextFormat& format) {
    std::string lines;
    lines.reserve(text.size());
    std::size_t counts[3] = {}; // by LineEndStyle
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char byte = text[i];
        if (byte == '\r') {
            const bool pair = i + 1 < text.size() && text[i + 1] == '\n';
            ++counts[static_cast<int>(pair ? LineEndStyle::CrLf : LineEndStyle::Cr)];
            i += pair ? 1 : 0;
            lines += '\n';
        } else {
            counts[static_cast<int>(LineEndStyle::Lf)] += byte == '\n' ? 1 : 0;
            lines += byte;
        }
    }
    int kinds = 0;
    int most = static_cast<int>(LineEndStyle::CrLf); // a file of one line keeps the default
    for (int style = 0; style < 3; ++style) {
        kinds += counts[style] > 0 ? 1 : 0;
        most = counts[style] > counts[most] ? style : most;
    }
    format.lineEnds = static_cast<LineEndStyle>(most);
    format.mixedLineEnds = kinds > 1;
    return lines;
}

const char* lineEndBytes(LineEndStyle style) {
    switch (style) {
    case LineEndStyle::Lf:
        return "\n";
    case LineEndStyle::Cr:
        return "\r";
    default:
        return "\r\n";
    }
}

} // namespace

OpenedText decodeScriptFile(std::string_view bytes, GbkToUtf8 decode) {
    OpenedText opened;
    if (bytes.size() > MaxScriptFileBytes) {
        opened.problem = OpenProblem::TooLarge;
        return opened;
    }
    if (hasUtf16Bom(bytes)) {
        opened.problem = OpenProblem::Utf16;
        return opened;
    }
    TextFormat& format = opened.format;
    format.encoding =
        hasNonAscii(bytes) ? resolveEncoding(bytes, SourceEncoding::Auto) : SourceEncoding::Utf8;
    if (looksBinary(hasUtf8Bom(bytes) ? bytes.substr(Utf8Bom.size()) : bytes, format.encoding)) {
        opened.problem = OpenProblem::Binary;
        format = TextFormat{};
        return opened;
    }
    std::string_view body = bytes;
    std::string utf8;
    if (format.encoding == SourceEncoding::Utf8) {
        format.byteOrderMark = hasUtf8Bom(body);
        if (format.byteOrderMark) {
            body.remove_prefix(Utf8Bom.size());
        }
        const std::size_t invalid = firstInvalidUtf8(body);
        if (invalid != std::string_view::npos) {
            opened.problem = OpenProblem::NotText;
            opened.position = positionOf(body, invalid, true);
            return opened;
        }
        utf8 = body;
    } else {
        std::size_t invalid = firstUndecodableGbk(body, decode);
        if (invalid == std::string_view::npos && !decode(body, utf8)) {
            invalid = 0; // refused as a whole but every character alone: name the start
        }
        if (invalid != std::string_view::npos) {
            opened.problem = OpenProblem::NotText;
            opened.position = positionOf(body, invalid, false);
            return opened;
        }
    }
    opened.text = splitLineEnds(utf8, format);
    return opened;
}

EncodedFile encodeScriptFile(std::string_view utf8Text, const TextFormat& format,
                             GbkConverter toGbk) {
    EncodedFile file;
    std::string body;
    if (format.encoding == SourceEncoding::Gbk) {
        if (toGbk == nullptr && hasNonAscii(utf8Text)) {
            std::size_t offset = 0;
            while (byteAt(utf8Text, offset) < 0x80) {
                ++offset;
            }
            file.position = positionOf(utf8Text, offset, true);
            return file;
        }
        GbkConversion converted = convertUtf8ToGbk(utf8Text, toGbk);
        if (!converted.ok) {
            file.position = converted.position;
            return file;
        }
        body = std::move(converted.text);
    } else {
        const std::size_t invalid = firstInvalidUtf8(utf8Text);
        if (invalid != std::string_view::npos) {
            file.position = positionOf(utf8Text, invalid, true);
            return file;
        }
        if (format.byteOrderMark) {
            file.bytes = Utf8Bom;
        }
        body = utf8Text;
    }
    // A GBK trail byte is never a line feed, so the feeds are found in either encoding.
    const std::string_view lineEnd = lineEndBytes(format.lineEnds);
    file.bytes.reserve(file.bytes.size() + body.size() + body.size() / 16);
    for (char byte : body) {
        if (byte == '\n') {
            file.bytes += lineEnd;
        } else {
            file.bytes += byte;
        }
    }
    file.ok = true;
    return file;
}

const char* encodingName(const TextFormat& format) {
    if (format.encoding == SourceEncoding::Gbk) {
        return "GBK";
    }
    return format.byteOrderMark ? "UTF-8 BOM" : "UTF-8";
}

const char* lineEndName(LineEndStyle style) {
    switch (style) {
    case LineEndStyle::Lf:
        return "LF";
    case LineEndStyle::Cr:
        return "CR";
    default:
        return "CR LF";
    }
}

std::string openProblemText(const OpenedText& opened, UiLanguage language) {
    const std::string line = std::to_string(opened.position.line);
    const std::string column = std::to_string(opened.position.column);
    switch (opened.problem) {
    case OpenProblem::TooLarge:
        return formatUiText(uiText(TextId::StudioFileTooLarge, language),
                            {std::to_string(MaxScriptFileBytes >> 20)});
    case OpenProblem::Binary:
        return uiText(TextId::StudioFileBinary, language);
    case OpenProblem::Utf16:
        return uiText(TextId::StudioFileUtf16, language);
    case OpenProblem::NotText:
        return formatUiText(uiText(TextId::StudioFileNotText, language), {line, column});
    default:
        return "";
    }
}

std::string saveProblemText(const EncodedFile& file, UiLanguage language) {
    if (file.ok) {
        return "";
    }
    return formatUiText(uiText(TextId::StudioSaveNoGbk, language),
                        {std::to_string(file.position.line), std::to_string(file.position.column)});
}
