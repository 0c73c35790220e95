#include "studio_capture.h"

char pickKey(std::size_t row) {
    return row + 1 < 10 ? static_cast<char>('1' + row) : '0';
}

int pickedRow(char key) {
    if (key < '0' || key > '9') {
        return -1;
    }
    const int row = key == '0' ? 9 : key - '1';
    return row < static_cast<int>(PickedLineCount) ? row : -1;
}

std::string pickedText(const SpyLine& line, std::string& why) {
    why = line.note;
    if (line.status == LineStatus::Ready || line.status == LineStatus::Flagged) {
        return line.line;
    }
    return {};
}

std::vector<std::string> splitArguments(std::string_view text) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (char character : text) {
        if (character == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if ((character == ' ' || character == '\t') && !quoted) {
            if (inArgument) {
                arguments.push_back(current);
                current.clear();
                inArgument = false;
            }
        } else {
            current += character;
            inArgument = true;
        }
    }
    if (inArgument) {
        arguments.push_back(current);
    }
    return arguments;
}

StudioRecordOptions parseStudioRecordOptions(std::string_view text) {
    StudioRecordOptions result;
    const std::vector<std::string> arguments = splitArguments(text);
    for (const std::string& argument : arguments) {
        for (const char* refused :
             {"--pack", "--player", "--encoding", "--help", "-h", "/?", "--version"}) {
            if (argument == refused) {
                result.error = argument + " is for record.exe; the studio inserts the lines";
                return result;
            }
        }
        result.formGiven = result.formGiven || argument == "--form";
    }
    ParsedRecordOptions parsed = parseRecordArguments(arguments);
    if (!parsed.ok) {
        result.error = parsed.error;
        return result;
    }
    if (!parsed.options.output.empty()) {
        result.error =
            "no script file: the studio inserts the lines (" + parsed.options.output + ")";
        return result;
    }
    result.options = std::move(parsed.options);
    result.ok = true;
    return result;
}

RenderedScript recordedInsertion(const Translation& translation, bool wholeScript, NameForm form) {
    if (wholeScript) {
        return renderScript(translation.steps, form);
    }
    const std::vector<ScriptStep>& steps = translation.steps;
    // The body is the last bodySteps lines before End.
    const std::size_t end = steps.empty() ? 0 : steps.size() - 1;
    const std::size_t first = end >= translation.bodySteps ? end - translation.bodySteps : 0;
    std::vector<ScriptStep> lines;
    for (std::size_t at = 0; at < first; ++at) {
        if (steps[at].opcode == Opcode::BreakKey) {
            lines.push_back(steps[at]);
        }
    }
    lines.insert(lines.end(), steps.begin() + static_cast<std::ptrdiff_t>(first),
                 steps.begin() + static_cast<std::ptrdiff_t>(end));
    return renderScript(lines, form);
}
