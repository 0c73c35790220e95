#pragma once
// What one change of the editor's text did, found by comparing the text before
// and after it, and the studio's own undo history of such changes. The editor
// holds UTF-16 text with a carriage return between lines; nothing here needs
// Windows.

#include <cstddef>
#include <string>
#include <vector>

// The text from `at` that a change replaced: `removed` was there before,
// `inserted` is there now.
struct TextChange {
    std::size_t at = 0;
    std::u16string removed;
    std::u16string inserted;
};

// The smallest change that turns `before` into `after`: the common start and
// the common end are left out. Empty `removed` and `inserted` when they are equal.
TextChange findChange(const std::u16string& before, const std::u16string& after);
bool isEmptyChange(const TextChange& change);

// The lines a change touched, counted at carriage returns: `firstLine` is the
// 0-based line where it begins, `removedLines` lines of the text before from
// there on are replaced by `insertedLines` lines of the text after.
struct LineChange {
    int firstLine = 0;
    int removedLines = 0;
    int insertedLines = 0;
};
LineChange linesOfChange(const std::u16string& after, const TextChange& change);

// The lines [first, first + count) of `text`, without their carriage returns.
std::vector<std::u16string> linesOf(const std::u16string& text, int first, int count);

// Undo and redo. Typing and deleting character by character within one line
// make one step, as in every editor.
struct UndoHistory {
    std::vector<TextChange> undo;
    std::vector<TextChange> redo;
    bool groupOpen = false; // the last step may still grow
};

// A change the user made: a new step (or part of the open one); redo is gone.
void recordChange(UndoHistory& history, const TextChange& change);
// Ends the open step: the next change starts a new one (a click, a command).
void closeStep(UndoHistory& history);
// The change that undoes the last step (false when there is none): apply it to
// the text, and the step moves to redo.
bool takeUndo(UndoHistory& history, TextChange& inverse);
// The change that does the last undone step again.
bool takeRedo(UndoHistory& history, TextChange& change);
