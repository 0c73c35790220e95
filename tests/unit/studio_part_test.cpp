// Running a part of a script: the selected lines between Start No Box and End,
// with the whole script's settings, and each line traced to its editor line.

#include "studio_part.h"
#include "studio_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

TEST(StudioPart, ASelectionRunsWithTheScriptsSettingsAndIsAScriptOfItsOwn) {
    StudioDocument document;
    document.toGbk = studio_test::utf8CharacterToGbk;
    setDocumentText(document, studio_test::toUtf8("Break Key F12\n开始\n注释 第一步\nMoveTo 1 2\n"
                                                  "LClick\nPauseKey F11\nLoop Times 3\n\n"
                                                  "Delay 10\nShowTaryIcon\nEnd"));
    struct Case {
        int first;
        int last;
        std::string text;
        std::vector<int> editorLine;
    };
    const Case cases[] = {
        {3,
         4,
         "Start No Box\nBreak Key F12\n注释 第一步\nPauseKey F11\nShowTaryIcon\nMoveTo 1 2\n"
         "LClick\nEnd",
         {0, 1, 3, 6, 10, 4, 5, 0}},
        // From the cursor on: the settings inside the range stay where they are.
        {6,
         10,
         "Start No Box\nBreak Key F12\n注释 第一步\nPauseKey F11\nLoop Times 3\n\n"
         "Delay 10\nShowTaryIcon\nEnd\nEnd",
         {0, 1, 3, 6, 7, 8, 9, 10, 11, 0}},
        // A selection that ends on a settings line runs it once, where it stands.
        {4,
         5,
         "Start No Box\nBreak Key F12\n注释 第一步\nShowTaryIcon\nLClick\nPauseKey F11\nEnd",
         {0, 1, 3, 10, 5, 6, 0}},
        {8,
         9,
         "Start No Box\nBreak Key F12\n注释 第一步\nPauseKey F11\nDelay 10\nShowTaryIcon\nEnd",
         {0, 1, 3, 6, 9, 10, 0}},
        {0,
         0,
         "Start No Box\n注释 第一步\nPauseKey F11\nShowTaryIcon\nBreak Key F12\nEnd",
         {0, 3, 6, 10, 1, 0}},
    };
    for (const Case& c : cases) {
        const RunPart part = assembleRunPart(document, c.first, c.last);
        EXPECT_EQ(part.text, studio_test::toUtf8(c.text)) << c.first;
        EXPECT_EQ(part.editorLine, c.editorLine) << c.first;
        // No line of the script runs twice.
        for (int line = 1; line <= static_cast<int>(document.lines.size()); ++line) {
            EXPECT_LE(std::count(part.editorLine.begin(), part.editorLine.end(), line), 1)
                << c.first << "-" << c.last << ": line " << line;
        }
        // What runs is a script the packer passes without a word.
        StudioDocument run;
        run.toGbk = studio_test::utf8CharacterToGbk;
        setDocumentText(run, part.text);
        EXPECT_TRUE(documentProblems(run).empty()) << c.first;
    }
}

} // namespace
