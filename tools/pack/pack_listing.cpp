#include "pack_listing.h"

#include "pack_checks.h"

#include "keys/key_combo.h"
#include "runner/executor.h"
#include "script/command.h"
#include "script/line_writer.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {

std::string padRight(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

std::string padLeft(const std::string& text, std::size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

std::string hexKey(KeyCombo code) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%04X", static_cast<unsigned>(code));
    return buffer;
}

std::string keyDescription(std::string_view text) {
    auto copy = std::make_unique<char[]>(text.size() + 1);
    text.copy(copy.get(), text.size());
    copy[text.size()] = '\0';
    KeyCombo code = resolveKeyCombo(copy.get());
    return code == 0 ? "(names no key)" : "(key " + hexKey(code) + ")";
}

// How a run starts when its first line carries this opcode.
const char* startMode(Opcode opcode) {
    switch (opcode) {
    case Opcode::Start:
        return "(starts after a confirmation box)";
    case Opcode::StartKey:
        return "(starts when the key is pressed and released)";
    case Opcode::StartColor:
        return "(starts only if the pixel has the colour)";
    default:
        return "(starts at once)";
    }
}

std::string slotList(const LineParse& parse, std::string_view line) {
    std::string list;
    for (int i = 0; i < 3; ++i) {
        if (!parse.written[i]) {
            continue;
        }
        if (parse.kind == ParamKind::None) {
            break; // the parser clears param1 of a command without parameters
        }
        if (!list.empty()) {
            list += ' ';
        }
        list += "param";
        list += std::to_string(i + 1);
        list += '=';
        if (parse.isText[i]) {
            list += quoteText(parse.texts[i]);
            if (parse.kind == ParamKind::KeyCombination) {
                list += ' ';
                list += keyDescription(parse.texts[i]);
            }
        } else {
            list += std::to_string(parse.numbers[i]);
        }
    }
    if (parse.opcode == Opcode::StartColor) {
        // Start Color compares the last six bytes of its line.
        list += " colour=";
        list += quoteText(line.substr(line.size() >= 6 ? line.size() - 6 : 0));
    }
    return list;
}

} // namespace

std::string listScript(std::string_view text) {
    const std::vector<ScriptLine> lines = scriptLines(text);
    std::string out = "line  file  opcode  command                  type      parameters\n";
    std::string breakKey = "ESC";
    std::string pauseKey;
    std::int32_t loopCount = -1;
    bool loopEnabled = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        LineParse parse = parseScriptLine(lines[i].text);
        out += padLeft(std::to_string(lines[i].playerLine), 4) + "  " +
               padLeft(std::to_string(lines[i].fileLine), 4) + "  ";
        if (!parse.matched) {
            out += "     -  (no command)             error     " + quoteText(lines[i].text) + "\n";
            continue;
        }
        Command probe;
        probe.opcode = parse.opcode;
        std::string type;
        if (!isActionCommand(probe)) {
            type = "settings";
        } else if (i == 0) {
            type = "start";
        } else if (i + 1 == lines.size()) {
            type = "not run";
        } else {
            type = "action";
        }
        std::string slots = slotList(parse, lines[i].text);
        if (i == 0) {
            slots += (slots.empty() ? "" : " ") + std::string(startMode(parse.opcode));
        }
        out += padLeft(std::to_string(static_cast<int>(parse.opcode)), 6) + "  " +
               padRight(std::string(commandWord(parse.opcode, NameForm::English)), 25) +
               padRight(type, 10) + slots;
        while (!out.empty() && out.back() == ' ') {
            out.pop_back();
        }
        out += '\n';

        // The settings in line order, as the compile pass applies them.
        switch (parse.opcode) {
        case Opcode::BreakKey:
            breakKey = parse.texts[0];
            break;
        case Opcode::PauseKey:
            pauseKey = parse.texts[0];
            break;
        case Opcode::LoopTimes:
            loopCount = parse.numbers[0];
            loopEnabled = true;
            break;
        case Opcode::Loop:
            loopEnabled = true;
            break;
        case Opcode::End:
            loopEnabled = false;
            break;
        default:
            break;
        }
    }
    std::string passes;
    if (loopEnabled && loopCount < 0) {
        passes = "endless (until the break key)";
    } else if (loopCount >= 1) {
        passes = std::to_string(loopCount);
    } else {
        passes = "1";
    }
    out += "break key " + quoteText(breakKey) + " " + keyDescription(breakKey) + ", pause key " +
           (pauseKey.empty() ? std::string("none")
                             : quoteText(pauseKey) + " " + keyDescription(pauseKey)) +
           ", passes: " + passes + "\n";
    return out;
}
