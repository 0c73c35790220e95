#include "studio_edits.h"

#include <algorithm>

namespace {

constexpr char16_t LineBreak = u'\r';

int countBreaks(const std::u16string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), LineBreak));
}

bool isLineBreak(const std::u16string& text) {
    return text.find(LineBreak) != text.npos;
}

// Whether `next` continues the open step `last`: typing on, or deleting
// backwards or forwards, within one line.
bool continues(const TextChange& last, const TextChange& next) {
    if (isLineBreak(next.inserted) || isLineBreak(next.removed) || isLineBreak(last.inserted)) {
        return false;
    }
    const bool typing = last.removed.empty() && next.removed.empty() && next.inserted.size() == 1 &&
                        next.at == last.at + last.inserted.size();
    const bool backspace = last.inserted.empty() && next.inserted.empty() &&
                           next.removed.size() == 1 && next.at + 1 == last.at;
    const bool forward = last.inserted.empty() && next.inserted.empty() &&
                         next.removed.size() == 1 && next.at == last.at;
    return typing || backspace || forward;
}

TextChange inverseOf(const TextChange& change) {
    return TextChange{change.at, change.inserted, change.removed};
}

} // namespace

TextChange findChange(const std::u16string& before, const std::u16string& after) {
    const std::size_t shorter = std::min(before.size(), after.size());
    std::size_t start = 0;
    while (start < shorter && before[start] == after[start]) {
        ++start;
    }
    std::size_t end = 0;
    while (end < shorter - start &&
           before[before.size() - 1 - end] == after[after.size() - 1 - end]) {
        ++end;
    }
    return TextChange{start, before.substr(start, before.size() - start - end),
                      after.substr(start, after.size() - start - end)};
}

bool isEmptyChange(const TextChange& change) {
    return change.removed.empty() && change.inserted.empty();
}

LineChange linesOfChange(const std::u16string& after, const TextChange& change) {
    LineChange lines;
    lines.firstLine =
        static_cast<int>(std::count(after.begin(), after.begin() + change.at, LineBreak));
    lines.removedLines = 1 + countBreaks(change.removed);
    lines.insertedLines = 1 + countBreaks(change.inserted);
    return lines;
}

std::vector<std::u16string> linesOf(const std::u16string& text, int first, int count) {
    std::vector<std::u16string> lines;
    lines.reserve(static_cast<std::size_t>(std::max(count, 0)));
    std::size_t at = 0;
    for (int line = 0; line < first && at != text.npos; ++line) {
        at = text.find(LineBreak, at);
        at = at == text.npos ? at : at + 1;
    }
    for (int line = 0; line < count && at != text.npos; ++line) {
        const std::size_t end = text.find(LineBreak, at);
        lines.push_back(text.substr(at, end == text.npos ? text.npos : end - at));
        at = end == text.npos ? end : end + 1;
    }
    return lines;
}

void recordChange(UndoHistory& history, const TextChange& change) {
    if (isEmptyChange(change)) {
        return;
    }
    history.redo.clear();
    if (history.groupOpen && !history.undo.empty() && continues(history.undo.back(), change)) {
        TextChange& last = history.undo.back();
        if (change.removed.empty()) {
            last.inserted += change.inserted;
        } else if (change.at < last.at) {
            last.removed.insert(0, change.removed);
            last.at = change.at;
        } else {
            last.removed += change.removed;
        }
        return;
    }
    history.undo.push_back(change);
    history.groupOpen = true;
}

void closeStep(UndoHistory& history) {
    history.groupOpen = false;
}

bool takeUndo(UndoHistory& history, TextChange& inverse) {
    history.groupOpen = false;
    if (history.undo.empty()) {
        return false;
    }
    inverse = inverseOf(history.undo.back());
    history.redo.push_back(history.undo.back());
    history.undo.pop_back();
    return true;
}

bool takeRedo(UndoHistory& history, TextChange& change) {
    history.groupOpen = false;
    if (history.redo.empty()) {
        return false;
    }
    change = history.redo.back();
    history.undo.push_back(change);
    history.redo.pop_back();
    return true;
}
