#include "studio_part.h"

#include <algorithm>

namespace {

// The settings that hold for the whole script wherever they stand; the loop
// settings belong to the lines they are run with.
bool isScriptSetting(Opcode opcode) {
    return opcode == Opcode::BreakKey || opcode == Opcode::PauseKey || opcode == Opcode::Rem ||
           opcode == Opcode::Comment || opcode == Opcode::ShowTrayIcon;
}

bool noGbkForm(std::string_view, std::string&) {
    return false;
}

Opcode opcodeOf(const DocumentLine& line, GbkConverter toGbk) {
    if (line.text.empty()) {
        return Opcode::Empty;
    }
    const GbkConversion converted =
        convertUtf8ToGbk(line.text, toGbk != nullptr ? toGbk : noGbkForm);
    if (!converted.ok) {
        return Opcode::Empty;
    }
    const LineParse parse = parseScriptLine(converted.text);
    return parse.matched ? parse.opcode : Opcode::Empty;
}

void addLine(RunPart& part, const std::string& text, int editorLine) {
    if (!part.editorLine.empty()) {
        part.text += '\n';
    }
    part.text += text;
    part.editorLine.push_back(editorLine);
}

} // namespace

RunPart assembleRunPart(const StudioDocument& document, int first, int last) {
    RunPart part;
    const int count = static_cast<int>(document.lines.size());
    first = std::clamp(first, 0, count);
    last = std::clamp(last, first - 1, count - 1);
    addLine(part, "Start No Box", 0);
    for (int i = 0; i < count; ++i) {
        if ((i < first || i > last) &&
            isScriptSetting(opcodeOf(document.lines[i], document.toGbk))) {
            addLine(part, document.lines[i].text, i + 1);
        }
    }
    for (int i = first; i <= last; ++i) {
        addLine(part, document.lines[i].text, i + 1);
    }
    addLine(part, "End", 0);
    return part;
}
