// The studio's changes and its undo history: what a change of the editor's
// text touched, and undo and redo that give back every text on the way.

#include "studio_edits.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::u16string applied(const std::u16string& text, const TextChange& change) {
    EXPECT_EQ(text.compare(change.at, change.removed.size(), change.removed), 0);
    return text.substr(0, change.at) + change.inserted +
           text.substr(change.at + change.removed.size());
}

TEST(StudioEdits, AChangeIsFoundWithTheLinesItTouched) {
    const std::u16string before = u"Start\rDelay 5\rEnd";
    const std::u16string after = u"Start\rDelay 50\rLClick\rEnd";
    const TextChange change = findChange(before, after);
    EXPECT_EQ(applied(before, change), after);
    const LineChange lines = linesOfChange(after, change);
    EXPECT_EQ(lines.firstLine, 1);
    EXPECT_EQ(lines.removedLines, 1);
    EXPECT_EQ(lines.insertedLines, 2);
    EXPECT_EQ(linesOf(after, lines.firstLine, lines.insertedLines),
              (std::vector<std::u16string>{u"Delay 50", u"LClick"}));
    EXPECT_TRUE(isEmptyChange(findChange(after, after)));
    // The last line, without a line break after it, and lines past the end.
    EXPECT_EQ(linesOf(after, 3, 2), std::vector<std::u16string>{u"End"});
}

TEST(StudioEdits, TypingInALineIsOneStepAndALineBreakStartsAnother) {
    UndoHistory history;
    std::u16string text = u"Start\r\rEnd";
    const std::u16string typing = u"LClick";
    for (std::size_t i = 0; i < typing.size(); ++i) {
        const std::u16string next = text.substr(0, 6 + i) + typing[i] + text.substr(6 + i);
        recordChange(history, findChange(text, next));
        text = next;
    }
    ASSERT_EQ(text, u"Start\rLClick\rEnd");
    ASSERT_EQ(history.undo.size(), 1u);
    const std::u16string broken = u"Start\rLClick\r\rEnd";
    recordChange(history, findChange(text, broken));
    EXPECT_EQ(history.undo.size(), 2u);
    TextChange inverse;
    ASSERT_TRUE(takeUndo(history, inverse));
    EXPECT_EQ(applied(broken, inverse), text);
    ASSERT_TRUE(takeUndo(history, inverse));
    EXPECT_EQ(applied(text, inverse), u"Start\r\rEnd");
    EXPECT_FALSE(takeUndo(history, inverse));
}

// Keys pressed one by one as the editor reports them: each change found by
// comparing the texts, as the studio does.
std::u16string press(UndoHistory& history, const std::u16string& text, const std::u16string& next) {
    recordChange(history, findChange(text, next));
    return next;
}

TEST(StudioEdits, TypingAfterEnterIsAStepOfItsOwnAndBackspacesComeBackInOrder) {
    UndoHistory history;
    std::u16string text = press(history, u"Start", u"Start\r");
    for (const char16_t* next : {u"Start\rL", u"Start\rLC", u"Start\rLCl"}) {
        text = press(history, text, next);
    }
    TextChange inverse;
    ASSERT_TRUE(takeUndo(history, inverse));
    EXPECT_EQ(applied(text, inverse), u"Start\r");
    ASSERT_TRUE(takeUndo(history, inverse));
    EXPECT_EQ(applied(u"Start\r", inverse), u"Start");
    EXPECT_FALSE(takeUndo(history, inverse));

    // Three Backspaces from the end of a line, then three Deletes in the middle
    // of another: one step each, whose undo puts the letters back as they stood.
    history = UndoHistory{};
    text = u"LClick\rDelay 123";
    for (const char16_t* next : {u"LClic\rDelay 123", u"LCli\rDelay 123", u"LCl\rDelay 123"}) {
        text = press(history, text, next);
    }
    closeStep(history);
    for (const char16_t* next : {u"LCl\rDelay123", u"LCl\rDelay23", u"LCl\rDelay3"}) {
        text = press(history, text, next);
    }
    ASSERT_EQ(history.undo.size(), 2u);
    ASSERT_TRUE(takeUndo(history, inverse));
    EXPECT_EQ(inverse.inserted, u" 12");
    EXPECT_EQ(text, u"LCl\rDelay3");
    text = applied(text, inverse);
    EXPECT_EQ(text, u"LCl\rDelay 123");
    ASSERT_TRUE(takeUndo(history, inverse));
    EXPECT_EQ(inverse.inserted, u"ick");
    EXPECT_EQ(applied(text, inverse), u"LClick\rDelay 123");
}

// Random edits, then undo to the first text and redo to the last, through
// every text on the way in both directions.
TEST(StudioEdits, UndoAndRedoGiveBackEveryTextOfARandomSession) {
    std::mt19937 random(7);
    const std::u16string alphabet = u"ab\r延时 ";
    std::vector<std::u16string> texts{u"Start\rEnd"};
    UndoHistory history;
    for (int step = 0; step < 300; ++step) {
        std::u16string text = texts.back();
        const std::size_t at = random() % (text.size() + 1);
        const std::size_t removed = std::min<std::size_t>(random() % 3, text.size() - at);
        std::u16string inserted;
        for (std::size_t i = random() % 3; i > 0; --i) {
            inserted += alphabet[random() % alphabet.size()];
        }
        text = text.substr(0, at) + inserted + text.substr(at + removed);
        recordChange(history, findChange(texts.back(), text));
        if (random() % 5 == 0) {
            closeStep(history);
        }
        if (text != texts.back()) {
            texts.push_back(text);
        }
    }
    std::u16string text = texts.back();
    TextChange change;
    while (takeUndo(history, change)) {
        text = applied(text, change);
    }
    EXPECT_EQ(text, texts.front());
    while (takeRedo(history, change)) {
        text = applied(text, change);
    }
    EXPECT_EQ(text, texts.back());
    // A new change after an undo drops what could be redone.
    ASSERT_TRUE(takeUndo(history, change));
    recordChange(history, findChange(text, text + u"x"));
    EXPECT_TRUE(history.redo.empty());
}

} // namespace
