// splitLines and the compile pass on any script text, against the fake
// platform. Properties: the kept lines are the text's non-empty lines up to its
// first NUL; the compile pass either parses every line, applying the settings
// in line order and calling nothing of the platform, or stops at the first line
// that matches no command with one syntax-error box (its line text cut for the
// system's message box) and the end of the process; every text slot points
// into its own line; lines keep their length.

#include "check.h"
#include "reference.h"

#include "platform/fake/fake.h"
#include "runner/run_state.h"
#include "script/script.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t MessageLimit = 65535;   // the syntax box's buffer less its NUL
constexpr std::size_t ShownLineBytes = 32000; // what the system's message box can show

// What the settings of the lines before `end` leave behind.
struct Settings {
    std::string breakKey = "ESC";
    std::string pauseKey;
    std::int32_t loopCount = -1;
    std::int32_t loopEnabled = 0;
    std::uint8_t showTrayIcon = 0;
    std::string commentText;
};

void apply(Settings& settings, Opcode opcode, const std::string& parameters) {
    switch (opcode) {
    case Opcode::BreakKey:
        settings.breakKey = reference::upperCase(parameters);
        break;
    case Opcode::PauseKey:
        settings.pauseKey = reference::upperCase(parameters);
        break;
    case Opcode::LoopTimes:
        settings.loopCount = reference::leadingNumber(parameters);
        settings.loopEnabled = 1;
        break;
    case Opcode::Loop:
        settings.loopEnabled = 1;
        break;
    case Opcode::End:
        settings.loopEnabled = 0;
        break;
    case Opcode::ShowTrayIcon:
        settings.showTrayIcon = 1;
        break;
    case Opcode::Comment:
        settings.commentText += parameters + "\r\n";
        break;
    default:
        break;
    }
}

// The box shows at most ShownLineBytes of the line, cut between characters: a
// byte 0x81..0xFE with a byte after it is the first of two.
std::string shownLine(const std::string& line) {
    std::size_t length = 0;
    while (length < line.size()) {
        const auto byte = static_cast<unsigned char>(line[length]);
        const std::size_t width = byte >= 0x81 && byte <= 0xFE && length + 1 < line.size() ? 2 : 1;
        if (length + width > ShownLineBytes) {
            break;
        }
        length += width;
    }
    return line.substr(0, length);
}

std::string syntaxBox(std::size_t lineNumber, const std::string& line) {
    std::string message =
        "第" + std::to_string(lineNumber) + "行脚本语法错误! \n代码:\"" + shownLine(line) + "\"";
    FUZZ_CHECK(message.size() <= MessageLimit);
    return "box 错误|" + message + "|0";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    fake::reset();
    resetRunState();
    fake::setTimeLimit(1000, 1000);

    Script script;
    script.splitLines(text.c_str());
    const std::vector<std::string> lines = reference::scriptLines(text);
    FUZZ_CHECK(script.lineCount == static_cast<std::int32_t>(lines.size()));
    FUZZ_CHECK(script.lines.size() == lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(std::string_view(script.lines[i].c_str(), script.lines[i].size()) == lines[i]);
    }

    // The expected outcome, line by line.
    Settings expected;
    std::vector<std::string> expectedLines = lines;
    std::size_t failing = lines.size(); // index of the first line that matches nothing
    for (std::size_t i = 0; i < lines.size(); ++i) {
        reference::CommandMatch match = reference::findCommand(lines[i]);
        if (!match.matched) {
            failing = i;
            break;
        }
        const CommandSpec& entry = CommandTable[match.row];
        std::string parameters = lines[i].substr(match.nameLength);
        if (entry.paramKind == ParamKind::KeyCombination) {
            parameters = reference::upperCase(parameters);
            expectedLines[i] = lines[i].substr(0, match.nameLength) + parameters;
        }
        apply(expected, entry.opcode, parameters);
    }

    bool ended = false;
    try {
        script.compile();
    } catch (const fake::ProcessEnded&) {
        ended = true;
    }

    const std::vector<std::string> calls = fake::callTexts();
    if (failing < lines.size()) {
        FUZZ_CHECK(ended);
        FUZZ_CHECK(calls.size() == 2);
        FUZZ_CHECK(calls[0] == syntaxBox(failing + 1, lines[failing]));
        FUZZ_CHECK(calls[1] == "end");
    } else {
        // Settings touch no platform operation and no action runs here.
        FUZZ_CHECK(!ended);
        FUZZ_CHECK(calls.empty());
    }

    FUZZ_CHECK(runState.breakKey == expected.breakKey.c_str());
    FUZZ_CHECK(runState.breakKey.size() == expected.breakKey.size());
    FUZZ_CHECK(runState.pauseKey == expected.pauseKey.c_str());
    FUZZ_CHECK(runState.pauseKey.size() == expected.pauseKey.size());
    FUZZ_CHECK(runState.loopCount == expected.loopCount);
    FUZZ_CHECK(runState.loopEnabled == expected.loopEnabled);
    FUZZ_CHECK(runState.showTrayIcon == expected.showTrayIcon);
    FUZZ_CHECK(script.commentText == expected.commentText.c_str());
    FUZZ_CHECK(script.commentText.size() == expected.commentText.size());
    FUZZ_CHECK(runState.paused.load() == 0);

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineText line = script.lines[i];
        // Lines after a syntax error are neither parsed nor changed.
        const std::string& want = i < failing ? expectedLines[i] : lines[i];
        FUZZ_CHECK(std::string_view(line.c_str(), line.size()) == want);
        if (i >= failing) {
            continue;
        }
        const Command& command = script.commands[i];
        for (const CommandParam* slot : {&command.param1, &command.param2, &command.param3}) {
            if (slotHoldsText(*slot)) {
                const char* text = slotText(*slot);
                FUZZ_CHECK(text >= line.c_str() && text <= line.c_str() + line.size());
            }
        }
    }
    return 0;
}
