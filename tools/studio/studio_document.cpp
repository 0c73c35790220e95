#include "studio_document.h"

#include <algorithm>

namespace {

bool noGbkForm(std::string_view, std::string&) {
    return false;
}

GbkConverter converterOf(const StudioDocument& document) {
    return document.toGbk != nullptr ? document.toGbk : noGbkForm;
}

// "U+20AC" for the UTF-8 character at `offset` (well formed).
std::string codePointAt(std::string_view text, std::size_t offset) {
    const std::size_t length = std::max<std::size_t>(utf8CharacterLength(text, offset), 1);
    auto lead = static_cast<unsigned char>(text[offset]);
    std::uint32_t value = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        value = (value << 6) | (static_cast<unsigned char>(text[offset + i]) & 0x3F);
    }
    static const char digits[] = "0123456789ABCDEF";
    std::string name = "U+";
    int shift = 12;
    while (shift < 28 && (value >> (shift + 4)) != 0) {
        shift += 4;
    }
    for (; shift >= 0; shift -= 4) {
        name += digits[(value >> shift) & 0xF];
    }
    return name;
}

// What to say about a line that cannot become GBK. The packer's own words
// quote the character, which a GBK message cannot hold: it is named by its
// code point instead.
std::string conversionMessage(std::string_view text, const GbkConversion& converted,
                              UiLanguage language) {
    std::size_t offset = 0;
    for (int column = 1; column < converted.position.column && offset < text.size(); ++column) {
        offset += std::max<std::size_t>(utf8CharacterLength(text, offset), 1);
    }
    if (offset >= text.size() || utf8CharacterLength(text, offset) == 0) {
        return "column " + std::to_string(converted.position.column) + ": " + converted.problem;
    }
    return formatUiText(uiText(TextId::StudioNoGbkForm, language),
                        {std::to_string(converted.position.column), codePointAt(text, offset)});
}

// The packer's words for a NUL byte, which ends the script for the player.
Finding nulFinding(UiLanguage language) {
    return checkScript(std::string_view("\0", 1), language).back();
}

void checkLine(StudioDocument& document, int index) {
    DocumentLine& line = document.lines[index];
    line.findings.clear();
    line.checkedFirst = index == document.firstKept;
    line.checkedLast = index == document.lastKept;
    ++document.checkedLines;
    if (line.text.empty()) {
        return;
    }
    GbkConversion converted = convertUtf8ToGbk(line.text, converterOf(document));
    if (!converted.ok) {
        line.findings.push_back(Finding{FindingKind::Error, 0, 0,
                                        conversionMessage(line.text, converted, document.language),
                                        ""});
        return;
    }
    ScriptLine scriptLine{0, 0, std::move(converted.text)};
    checkScriptLine(scriptLine, line.checkedFirst, line.checkedLast, line.findings,
                    document.language);
    // The editor holds no NUL byte; should one come in, the packer's error is kept
    // with the line (the lines after it are still checked, which the player skips).
    if (scriptLine.text.find('\0') != std::string::npos) {
        line.findings.push_back(nulFinding(document.language));
    }
}

// Re-checks line `index` (if it exists) when its first or last role changed.
void recheckIfRoleChanged(StudioDocument& document, int index) {
    if (index < 0 || index >= static_cast<int>(document.lines.size())) {
        return;
    }
    const DocumentLine& line = document.lines[index];
    if (line.checkedFirst != (index == document.firstKept) ||
        line.checkedLast != (index == document.lastKept)) {
        checkLine(document, index);
    }
}

DocumentLine documentLine(std::string_view text) {
    DocumentLine line;
    line.text = text;
    return line;
}

int firstNonEmpty(const StudioDocument& document, int from, int to) {
    for (int i = from; i < to; ++i) {
        if (!document.lines[i].text.empty()) {
            return i;
        }
    }
    return -1;
}

int lastNonEmpty(const StudioDocument& document, int from, int to) {
    for (int i = to - 1; i >= from; --i) {
        if (!document.lines[i].text.empty()) {
            return i;
        }
    }
    return -1;
}

// The number the player gives line `index` (1-based among the kept lines).
int playerLineOf(const StudioDocument& document, int index) {
    int kept = 0;
    for (int i = 0; i <= index; ++i) {
        kept += document.lines[i].text.empty() ? 0 : 1;
    }
    return kept;
}

} // namespace

void setDocumentText(StudioDocument& document, std::string_view utf8Text) {
    document.lines.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = utf8Text.find('\n', start);
        document.lines.push_back(documentLine(utf8Text.substr(start, end - start)));
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    const int count = static_cast<int>(document.lines.size());
    document.firstKept = firstNonEmpty(document, 0, count);
    document.lastKept = lastNonEmpty(document, 0, count);
    for (int i = 0; i < count; ++i) {
        checkLine(document, i);
    }
}

void replaceLines(StudioDocument& document, int first, int removed,
                  const std::vector<std::string>& inserted) {
    std::vector<DocumentLine>& lines = document.lines;
    const int count = static_cast<int>(lines.size());
    first = std::clamp(first, 0, count);
    removed = std::clamp(removed, 0, count - first);
    const int added = static_cast<int>(inserted.size());
    const int shift = added - removed;
    const int oldFirst = document.firstKept;
    const int oldLast = document.lastKept;

    // Lines replaced one for one keep their places; only the difference moves the rest.
    const int kept = std::min(added, removed);
    for (int i = 0; i < kept; ++i) {
        lines[first + i].text = inserted[i];
    }
    if (removed > added) {
        lines.erase(lines.begin() + first + kept, lines.begin() + first + removed);
    } else if (added > removed) {
        std::vector<DocumentLine> fresh;
        fresh.reserve(added - kept);
        for (int i = kept; i < added; ++i) {
            fresh.push_back(documentLine(inserted[i]));
        }
        lines.insert(lines.begin() + first + kept, std::make_move_iterator(fresh.begin()),
                     std::make_move_iterator(fresh.end()));
    }
    const int newCount = static_cast<int>(lines.size());
    const int end = first + added; // the inserted lines are [first, end)
    const auto moved = [&](int index) {
        return index < first ? index : index >= first + removed ? index + shift : -1;
    };

    // Outside the inserted lines, every line before the old first kept one and
    // after the old last kept one is empty.
    if (oldFirst >= 0 && oldFirst < first) {
        document.firstKept = oldFirst;
    } else if ((document.firstKept = firstNonEmpty(document, first, end)) < 0) {
        document.firstKept =
            oldFirst >= first + removed ? moved(oldFirst) : firstNonEmpty(document, end, newCount);
    }
    if (oldLast >= first + removed) {
        document.lastKept = moved(oldLast);
    } else if ((document.lastKept = lastNonEmpty(document, first, end)) < 0) {
        document.lastKept =
            oldLast >= 0 && oldLast < first ? oldLast : lastNonEmpty(document, 0, first);
    }

    for (int i = first; i < end; ++i) {
        checkLine(document, i);
    }
    for (int index : {moved(oldFirst), moved(oldLast), document.firstKept, document.lastKept}) {
        if (index < first || index >= end) {
            recheckIfRoleChanged(document, index);
        }
    }
}

void setDocumentLanguage(StudioDocument& document, UiLanguage language) {
    document.language = language;
    for (int i = 0; i < static_cast<int>(document.lines.size()); ++i) {
        checkLine(document, i);
    }
}

std::string documentText(const StudioDocument& document) {
    std::string text;
    for (std::size_t i = 0; i < document.lines.size(); ++i) {
        if (i > 0) {
            text += '\n';
        }
        text += document.lines[i].text;
    }
    return text;
}

std::vector<Problem> documentProblems(const StudioDocument& document) {
    std::vector<Problem> problems;
    if (document.firstKept < 0) {
        for (const Finding& finding : checkScript("", document.language)) {
            problems.push_back(Problem{0, finding.kind, finding.message});
        }
    }
    for (std::size_t i = 0; i < document.lines.size(); ++i) {
        for (const Finding& finding : document.lines[i].findings) {
            problems.push_back(Problem{static_cast<int>(i) + 1, finding.kind, finding.message});
        }
    }
    return problems;
}

bool documentHasErrors(const StudioDocument& document) {
    for (const DocumentLine& line : document.lines) {
        if (hasErrors(line.findings)) {
            return true;
        }
    }
    return false;
}

std::string firstErrorText(const StudioDocument& document) {
    for (std::size_t i = 0; i < document.lines.size(); ++i) {
        for (const Finding& stored : document.lines[i].findings) {
            if (stored.kind != FindingKind::Error) {
                continue;
            }
            Finding finding = stored;
            finding.fileLine = static_cast<int>(i) + 1;
            // A line that could not become GBK has no player line to quote.
            if (!finding.lineText.empty()) {
                finding.playerLine = playerLineOf(document, static_cast<int>(i));
            }
            return formatFinding(finding, document.language);
        }
    }
    return "";
}

std::string scriptBytes(const StudioDocument& document, bool& ok) {
    std::string bytes;
    const GbkConverter convert = converterOf(document);
    for (std::size_t i = 0; i < document.lines.size(); ++i) {
        if (i > 0) {
            bytes += '\n';
        }
        GbkConversion converted = convertUtf8ToGbk(document.lines[i].text, convert);
        if (!converted.ok) {
            ok = false;
            return "";
        }
        bytes += converted.text;
    }
    ok = true;
    return bytes;
}
