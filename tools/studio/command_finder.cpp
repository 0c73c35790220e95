#include "command_finder.h"

#include "studio_help.h"

#include <algorithm>

namespace {

constexpr NameForm Forms[] = {NameForm::Chinese, NameForm::English, NameForm::ShortCode};

bool isGbkLead(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

char foldedLatin(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The bytes of `text` with single-byte Latin letters in one case; the trail
// bytes of double-byte characters (which may look like letters) as they are.
// `starts` marks where each character begins.
std::string foldedGbk(std::string_view text, std::vector<bool>& starts) {
    std::string out;
    starts.assign(text.size() + 1, false);
    for (std::size_t i = 0; i < text.size();) {
        starts[i] = true;
        const bool pair = isGbkLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
        out += pair ? text[i] : foldedLatin(text[i]);
        if (pair) {
            out += text[i + 1];
        }
        i += pair ? 2 : 1;
    }
    starts[text.size()] = true;
    return out;
}

bool startsWord(const std::string& name, std::size_t at) {
    if (at == 0) {
        return true;
    }
    const char before = name[at - 1];
    const char here = name[at];
    const bool lowerThenUpper = before >= 'a' && before <= 'z' && here >= 'A' && here <= 'Z';
    return before == ' ' || before == '(' || before == '*' || lowerThenUpper;
}

// How `name` holds `typed` (both GBK, `typed` already folded), best place
// first; false when it does not.
bool matchName(const std::string& name, const std::string& typed, MatchKind& kind) {
    std::vector<bool> starts;
    const std::string folded = foldedGbk(name, starts);
    if (folded == typed) {
        kind = MatchKind::Exact;
        return true;
    }
    bool found = false;
    for (std::size_t at = folded.find(typed); at != std::string::npos;
         at = folded.find(typed, at + 1)) {
        if (!starts[at] || !starts[at + typed.size()]) {
            continue; // inside a double-byte character
        }
        const MatchKind here = at == 0                ? MatchKind::Prefix
                               : startsWord(name, at) ? MatchKind::WordStart
                                                      : MatchKind::Inside;
        if (!found || here < kind) {
            kind = here;
        }
        found = true;
    }
    return found;
}

std::string foldedName(int row, NameForm form) {
    std::vector<bool> starts;
    return foldedGbk(commandNameText(row, form), starts);
}

} // namespace

std::vector<int> commandMainRows() {
    std::vector<int> rows;
    for (int row = 0; row < CommandTableRowCount; ++row) {
        if (rowsOfCommand(row).front() == row) {
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<int> rowsOfCommand(int row) {
    std::vector<int> rows;
    if (row < 0 || row >= CommandTableRowCount) {
        return rows;
    }
    for (int other = 0; other < CommandTableRowCount; ++other) {
        if (CommandTable[other].opcode == CommandTable[row].opcode) {
            rows.push_back(other);
        }
    }
    return rows;
}

std::string otherCommandNames(int row) {
    const std::vector<int> rows = rowsOfCommand(row);
    std::vector<std::string> names;
    for (int other : rows) {
        for (NameForm form : Forms) {
            const std::string name = commandNameText(other, form);
            bool shown = false;
            for (NameForm mainForm : Forms) {
                shown = shown || commandNameText(rows.front(), mainForm) == name;
            }
            if (!shown && std::find(names.begin(), names.end(), name) == names.end()) {
                names.push_back(name);
            }
        }
    }
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : " | ") + name;
    }
    return text;
}

std::vector<FoundCommand> findCommands(std::string_view typed) {
    while (!typed.empty() && typed.front() == ' ') {
        typed.remove_prefix(1);
    }
    std::vector<bool> starts;
    const std::string wanted = foldedGbk(typed, starts);
    std::vector<FoundCommand> found;
    std::vector<std::string> matchedNames;
    for (int main : commandMainRows()) {
        FoundCommand best;
        bool any = false;
        for (int row : rowsOfCommand(main)) {
            for (NameForm form : Forms) {
                MatchKind kind = MatchKind::Inside;
                if (!wanted.empty() && !matchName(commandNameText(row, form), wanted, kind)) {
                    continue;
                }
                if (!any || kind < best.kind) {
                    best = FoundCommand{main, row, form, kind};
                    any = true;
                }
            }
        }
        if (any) {
            found.push_back(best);
        }
    }
    if (wanted.empty()) {
        return found;
    }
    std::stable_sort(found.begin(), found.end(), [](const FoundCommand& a, const FoundCommand& b) {
        if (a.kind != b.kind) {
            return a.kind < b.kind;
        }
        return foldedName(a.matchedRow, a.form) < foldedName(b.matchedRow, b.form);
    });
    return found;
}

CommandInsertion commandInsertion(int row, NameForm form, UiLanguage language) {
    CommandInsertion insertion;
    if (row < 0 || row >= CommandTableRowCount) {
        return insertion;
    }
    insertion.takesParameters = CommandTable[row].paramKind != ParamKind::None;
    insertion.text = commandName(form, row); // with the space the parser wants after it
    if (insertion.takesParameters && insertion.text.back() != ' ') {
        insertion.text += ' ';
    }
    insertion.cursor = insertion.text.size();
    insertion.hint = parameterHint(row, form, language);
    return insertion;
}
