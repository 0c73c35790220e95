#pragma once
// The studio's script as a list of lines, each with what the packer's check
// finds in it. An edit re-checks only the lines it touches and the lines that
// became or stopped being the first or last kept line, so a keystroke costs
// about one line's parse however long the script is. The findings are those of
// checkScript for the same script, line for line.

#include "pack_checks.h"
#include "pack_text.h"
#include "ui_text.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct DocumentLine {
    std::string text;              // UTF-8
    std::vector<Finding> findings; // this line's errors and warnings (message in the language)
    // Whether the line was checked as the first or the last kept line.
    bool checkedFirst = false;
    bool checkedLast = false;
};

struct StudioDocument {
    std::vector<DocumentLine> lines;
    int firstKept = -1, lastKept = -1; // indexes of the first and last non-empty line
    UiLanguage language = UiLanguage::English;
    GbkConverter toGbk = nullptr;
    std::uint64_t checkedLines = 0; // lines checked so far (tests and benchmarks read it)
};

struct Problem {
    int line = 0; // 1-based editor line; 0 for the script as a whole
    FindingKind kind = FindingKind::Error;
    std::string message; // GBK, in the document's language, the packer's words
};

// Splits `utf8Text` at '\n' and checks every line.
void setDocumentText(StudioDocument& document, std::string_view utf8Text);

// Replaces `removed` lines from index `first` by `inserted` (lines without
// '\n'), re-checks the inserted lines and the lines that became or stopped
// being the first or last kept line. Indexes out of range are clamped.
void replaceLines(StudioDocument& document, int first, int removed,
                  const std::vector<std::string>& inserted);

// Checks every line again in `language`.
void setDocumentLanguage(StudioDocument& document, UiLanguage language);

// The lines joined by '\n'.
std::string documentText(const StudioDocument& document);

// Every problem in line order; the "script has no lines" warning as line 0 when
// no line is kept.
std::vector<Problem> documentProblems(const StudioDocument& document);
bool documentHasErrors(const StudioDocument& document);

// The first error as the packer words it ("line 3 (player line 2): error: ...");
// empty when there is none.
std::string firstErrorText(const StudioDocument& document);

// The script as pack.exe embeds it: GBK, LF line ends. `ok` is false (and the
// result empty) when some line has no GBK form.
std::string scriptBytes(const StudioDocument& document, bool& ok);
