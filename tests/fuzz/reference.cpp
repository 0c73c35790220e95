#include "reference.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace reference {

std::string foldCase(std::string_view text) {
    std::string folded(text);
    for (char& byte : folded) {
        if (byte >= 'A' && byte <= 'Z') {
            byte = static_cast<char>(byte + 0x20);
        }
    }
    return folded;
}

std::string upperCase(std::string_view text) {
    std::string upper(text);
    for (char& byte : upper) {
        if (byte >= 'a' && byte <= 'z') {
            byte = static_cast<char>(byte - 0x20);
        }
    }
    return upper;
}

bool beginsWithName(std::string_view line, int row, NameForm form) {
    if (row < 0 || row >= CommandTableRowCount) {
        return false;
    }
    // The first occurrence of the name in the line stands at the line's first
    // byte: the line's first bytes, folded, are the folded name. (Folding the
    // whole line first gives the same answer, only slower.)
    const std::string name = foldCase(commandName(form, row));
    return foldCase(line.substr(0, name.size())) == name;
}

CommandMatch findCommand(std::string_view line) {
    constexpr NameForm order[] = {NameForm::Chinese, NameForm::English, NameForm::ShortCode};
    for (int row = 0; row < CommandTableRowCount; ++row) {
        for (NameForm form : order) {
            if (beginsWithName(line, row, form)) {
                return {true, row, form, std::strlen(commandName(form, row))};
            }
        }
    }
    return {};
}

std::int32_t leadingNumber(std::string_view text) {
    const std::string copy(text);
    long long value = std::strtoll(copy.c_str(), nullptr, 10);
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(value);
}

KeyCombo keyCombo(std::string_view text) {
    const std::string upper = upperCase(text);
    struct Prefix {
        const char* text;
        KeyCombo bit;
    };
    // The order of the search; each found prefix counts once, wherever it is.
    const Prefix prefixes[] = {
        {"CTRL+", CtrlBit}, {"ALT+", AltBit}, {"SHIFT+", ShiftBit}, {"WIN+", WinBit}};
    KeyCombo modifiers = 0;
    std::size_t skip = 0;
    for (const Prefix& prefix : prefixes) {
        if (upper.find(prefix.text) != std::string::npos) {
            modifiers |= prefix.bit;
            skip += std::strlen(prefix.text);
        }
    }
    if (skip > upper.size()) {
        std::abort(); // prefixes cannot overlap: this would be a fault of the rule itself
    }
    const std::string name = upper.substr(skip);
    for (int code = 0; code < 256; ++code) {
        if (name == KeyNameTable[code]) {
            return static_cast<KeyCombo>(modifiers | code);
        }
    }
    return 0;
}

KeyCombo resolvedKeyCombo(std::string_view text) {
    KeyCombo code = keyCombo(text);
    if (code != 0) {
        return code;
    }
    return static_cast<KeyCombo>(static_cast<std::uint32_t>(leadingNumber(upperCase(text))));
}

namespace {

std::string keyEvent(unsigned key, bool down) {
    char text[32];
    std::snprintf(text, sizeof text, "key %02X %s", key, down ? "down" : "up");
    return text;
}

std::string buttonEvent(unsigned key, bool down) {
    unsigned flags = 0;
    switch (key) {
    case 0x01:
        flags = down ? 0x0002 : 0x0004;
        break;
    case 0x02:
        flags = down ? 0x0008 : 0x0010;
        break;
    case 0x04:
        flags = down ? 0x0020 : 0x0040;
        break;
    default:
        return keyEvent(key, down);
    }
    char text[32];
    std::snprintf(text, sizeof text, "mouse %04X 0 0", flags);
    return text;
}

} // namespace

std::vector<std::string> keyEvents(KeyCombo code, std::int32_t mode) {
    std::vector<std::string> events;
    if (code == 0 || mode < 0 || mode > 2) {
        return events;
    }
    const unsigned modifierKeys[4][2] = {
        {0x100, 0x10}, {0x200, 0x11}, {0x400, 0x12}, {0x800, 0x5B}};
    const unsigned key = code & 0xFF;
    if (mode == 0 || mode == 1) {
        for (const auto& modifier : modifierKeys) {
            if ((code & modifier[0]) != 0) {
                events.push_back(keyEvent(modifier[1], true));
            }
        }
        events.push_back(buttonEvent(key, true));
    }
    if (mode == 0 || mode == 2) {
        events.push_back(buttonEvent(key, false));
        for (const auto& modifier : modifierKeys) {
            if ((code & modifier[0]) != 0) {
                events.push_back(keyEvent(modifier[1], false));
            }
        }
    }
    return events;
}

ProgramSplit programSplit(std::string_view text) {
    ProgramSplit split;
    if (!text.empty() && text[0] == '"') {
        std::string_view rest = text.substr(1);
        std::size_t closing = rest.find('"');
        if (closing == std::string_view::npos) {
            split.file = rest;
            return split;
        }
        split.file = rest.substr(0, closing);
        // The byte after the closing quote is skipped, whatever it is.
        if (closing + 1 < rest.size()) {
            split.parameters = std::string(rest.substr(closing + 2));
        }
        return split;
    }
    std::size_t space = text.find(' ');
    if (space == std::string_view::npos) {
        split.file = text;
        return split;
    }
    split.file = text.substr(0, space);
    split.parameters = std::string(text.substr(space + 1));
    return split;
}

std::string openCall(const std::string& file, const std::optional<std::string>& parameters) {
    return "open " + file + "|" + (parameters ? *parameters : std::string("(null)"));
}

std::vector<std::string> scriptLines(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t feed = text.find('\n', start);
        std::size_t end = feed == std::string_view::npos ? text.size() : feed;
        if (end > start) {
            lines.emplace_back(text.substr(start, end - start));
        }
        if (feed == std::string_view::npos) {
            break;
        }
        start = feed + 1;
    }
    return lines;
}

} // namespace reference
