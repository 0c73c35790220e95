#include "studio_colour.h"

#include "pack_checks.h"
#include "runner/executor.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// The line's GBK bytes and, for each byte offset that begins a character (and
// the end), the UTF-16 offset of that character.
struct MappedLine {
    std::string gbk;
    std::vector<int> utf16At; // by GBK byte offset; -1 inside a character
};

bool mapLine(std::string_view utf8, GbkConverter toGbk, MappedLine& mapped) {
    int utf16 = 0;
    for (std::size_t offset = 0; offset < utf8.size();) {
        const std::size_t length = utf8CharacterLength(utf8, offset);
        if (length == 0) {
            return false;
        }
        if (length == 1) {
            mapped.gbk += utf8[offset];
        } else if (toGbk == nullptr || !toGbk(utf8.substr(offset, length), mapped.gbk)) {
            return false;
        }
        mapped.utf16At.push_back(utf16);
        mapped.utf16At.resize(mapped.gbk.size(), -1);
        utf16 += length == 4 ? 2 : 1; // beyond U+FFFF: a surrogate pair
        offset += length;
    }
    mapped.utf16At.push_back(utf16);
    return true;
}

// Spans in GBK byte offsets, turned into UTF-16 ones at the end.
struct SpanList {
    const MappedLine& line;
    std::vector<ColourSpan> spans;
    std::size_t end = 0; // where the last span ended: spans never overlap

    // [from, to) in bytes; both are character boundaries for what the parser reads.
    void add(std::size_t from, std::size_t to, ColourKind kind) {
        from = std::max(from, end);
        to = std::min(to, line.gbk.size());
        if (from >= to) {
            return;
        }
        end = to;
        const int start = utf16Of(from);
        spans.push_back(ColourSpan{start, utf16Of(to) - start, kind});
    }
    // A byte inside a character counts from the character's start.
    int utf16Of(std::size_t offset) const {
        while (offset > 0 && line.utf16At[offset] < 0) {
            --offset;
        }
        return line.utf16At[offset];
    }
};

// Where the number that readNumber reads at `from` ends: white space, a sign,
// then digits. The span starts after the white space.
void addNumber(SpanList& spans, std::string_view text, std::size_t from) {
    std::size_t at = from;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) {
        ++at;
    }
    const std::size_t start = at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        ++at;
    }
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        ++at;
    }
    spans.add(start, at, ColourKind::Number);
}

} // namespace

std::vector<ColourSpan> colourLine(std::string_view utf8Line, GbkConverter toGbk) {
    if (utf8Line.empty()) {
        return {};
    }
    MappedLine mapped;
    const bool converted = mapLine(utf8Line, toGbk, mapped);
    const LineParse parse = converted ? parseScriptLine(mapped.gbk) : LineParse{};
    if (!parse.matched || parse.row < 0) {
        int units = 0;
        for (std::size_t offset = 0; offset < utf8Line.size(); ++offset) {
            const auto byte = static_cast<unsigned char>(utf8Line[offset]);
            units += (byte & 0xC0) != 0x80 ? (byte >= 0xF0 ? 2 : 1) : 0;
        }
        return {ColourSpan{0, units, ColourKind::Invalid}};
    }
    SpanList spans{mapped, {}};
    const std::string_view text = mapped.gbk;
    const Opcode opcode = parse.opcode;
    if (opcode == Opcode::Rem || opcode == Opcode::Comment) {
        spans.add(0, text.size(), ColourKind::Comment);
        return spans.spans;
    }
    const std::size_t nameLength = std::strlen(commandName(parse.form, parse.row));
    std::size_t nameEnd = nameLength;
    while (nameEnd > 0 && text[nameEnd - 1] == ' ') {
        --nameEnd;
    }
    Command probe;
    probe.opcode = opcode;
    spans.add(0, nameEnd, isActionCommand(probe) ? ColourKind::Command : ColourKind::Setting);

    const std::size_t p = nameLength; // the parameters, as the parser decodes them
    const auto afterSpace = [&text](std::size_t from) {
        const std::size_t space = text.find(' ', from);
        return space == std::string_view::npos ? text.size() : space + 1;
    };
    switch (parse.kind) {
    case ParamKind::Integer:
        addNumber(spans, text, p);
        break;
    case ParamKind::TwoIntegers:
    case ParamKind::TwoIntegersAndText: {
        addNumber(spans, text, p);
        const std::size_t second = afterSpace(p);
        if (second < text.size()) {
            addNumber(spans, text, second);
            // The colour: the third slot, or for Start Color what follows y.
            if (parse.kind == ParamKind::TwoIntegersAndText || opcode == Opcode::StartColor) {
                spans.add(afterSpace(second), text.size(), ColourKind::Text);
            }
        }
        break;
    }
    case ParamKind::Text:
        if (opcode == Opcode::IfKey) {
            const std::size_t space = text.find(' ', p);
            spans.add(p, space, ColourKind::KeyText);
            if (space != std::string_view::npos) {
                spans.add(space + 1, text.size(), ColourKind::Text);
            }
        } else {
            spans.add(p, text.size(), ColourKind::Text);
        }
        break;
    case ParamKind::KeyCombination:
        spans.add(p, text.size(), ColourKind::KeyText);
        break;
    default:
        break;
    }
    return spans.spans;
}
