// The spy's ready lines made from gathered facts, with the reason for every
// line it cannot give, and its command line.

#include "spy_lines.h"
#include "spy_options.h"
#include "wait_test_support.h"

#include "script/command.h"
#include "script/parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TextFact gbk(std::string text) {
    return {true, std::move(text), true, ""};
}

// A button of the window in front, reachable by its id, over a blue pixel.
SpyFacts buttonFacts() {
    SpyFacts facts;
    facts.x = 960;
    facts.y = 540;
    facts.screenWidth = 1920;
    facts.screenHeight = 1080;
    facts.colour = "0000FF";
    facts.haveWindow = true;
    facts.caption = gbk("\xBC\xC7\xCA\xC2\xB1\xBE"); // 记事本
    facts.className = gbk("Notepad");
    facts.processId = 42;
    facts.exeName = "notepad.exe";
    facts.haveControl = true;
    facts.controlId = 1001;
    facts.controlClass = gbk("Button");
    facts.controlText = gbk("OK");
    facts.controlTextBytes = 2;
    facts.controlEnabled = true;
    facts.controlInFrontWindow = true;
    facts.controlDirectChild = true;
    facts.controlFoundFirst = true;
    facts.key = 0x274; // CTRL+F5
    return facts;
}

std::vector<std::string> textLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "the text does not end in a line feed";
    return lines;
}

TEST(SpyLines, EveryLineOfAReachableButtonInEachForm) {
    const std::vector<std::string> english = {
        "MoveTo 961 541",           "WaitColor 960 540 0000FF", "WaitNotColor 960 540 0000FF",
        "Wait Caption 记事本",      "Top Caption 记事本",       "Top Class Notepad",
        "Wait Process notepad.exe", "Click ButtonText 1001 OK", "Wait ButtonText 1001 OK",
        "Wait ButtonEnable 1001",   "Wait Key CTRL+F5",         "HotKey CTRL+F5",
        "Break Key CTRL+F5",
    };
    std::vector<SpyLine> lines = spyLines(buttonFacts(), NameForm::English);
    EXPECT_EQ(textLines(spyText(lines, NameForm::English)), english);
    for (const SpyLine& line : lines) {
        EXPECT_EQ(line.status, LineStatus::Ready) << line.line << ": " << line.note;
    }
    // MoveTo 960 540 lands on (959, 539): the note says so.
    EXPECT_NE(lines[0].note.find("would land on (959, 539)"), std::string::npos) << lines[0].note;

    // Every form parses back to the same opcodes as the English lines.
    for (NameForm form : {NameForm::Chinese, NameForm::ShortCode}) {
        std::vector<SpyLine> other = spyLines(buttonFacts(), form);
        ASSERT_EQ(other.size(), lines.size());
        for (std::size_t i = 0; i < other.size(); ++i) {
            ASSERT_EQ(other[i].status, LineStatus::Ready) << other[i].note;
            std::string copy = other[i].line;
            Command command;
            ASSERT_TRUE(parseLine(copy.data(), command)) << copy;
            EXPECT_EQ(command.opcode, lines[i].opcode) << copy;
        }
    }
    EXPECT_EQ(spyLines(buttonFacts(), NameForm::ShortCode)[7].line, "BTX 1001 OK");
    EXPECT_EQ(spyLines(buttonFacts(), NameForm::Chinese)[9].line, "按钮激活则继续 1001");
}

struct Unavailable {
    const char* what;
    void (*change)(SpyFacts&);
    std::size_t row;
    LineStatus status;
    const char* reasonPart;
};

TEST(SpyLines, EveryLineThatCannotBeGivenSaysWhy) {
    const Unavailable cases[] = {
        {"off the screen", [](SpyFacts& f) { f.x = 1920; }, 0, LineStatus::NotAvailable,
         "off the primary screen (1920 x 1080)"},
        {"negative point", [](SpyFacts& f) { f.y = -1; }, 1, LineStatus::NotAvailable,
         "off the primary screen"},
        {"no window", [](SpyFacts& f) { f.haveWindow = false; }, 3, LineStatus::NotAvailable,
         "no window is in front"},
        {"no caption", [](SpyFacts& f) { f.caption = gbk(""); }, 3, LineStatus::NotAvailable,
         "has no caption"},
        {"no caption, Top Caption", [](SpyFacts& f) { f.caption = gbk(""); }, 4,
         LineStatus::NotAvailable, "has no caption"},
        {"caption not GBK",
         [](SpyFacts& f) {
             f.caption = {true, "", false, "the character U+D55C has no GBK form"};
         },
         4, LineStatus::NotWritable, "U+D55C"},
        {"caption with a line feed", [](SpyFacts& f) { f.caption = gbk("two\nlines"); }, 3,
         LineStatus::NotWritable, "line feed"},
        {"caption found elsewhere", [](SpyFacts& f) { f.captionFindsOther = true; }, 4,
         LineStatus::Flagged, "another window with this caption first"},
        {"class found elsewhere", [](SpyFacts& f) { f.classFindsOther = true; }, 5,
         LineStatus::Flagged, "another window with this class first"},
        {"process without a name", [](SpyFacts& f) { f.exeName.clear(); }, 6,
         LineStatus::NotAvailable, "cannot name process 42"},
        {"no control", [](SpyFacts& f) { f.haveControl = false; }, 7, LineStatus::NotAvailable,
         "no control under the pointer"},
        {"control of another window", [](SpyFacts& f) { f.controlInFrontWindow = false; }, 9,
         LineStatus::Unreachable, "not in the window in front"},
        {"nested control", [](SpyFacts& f) { f.controlDirectChild = false; }, 7,
         LineStatus::Unreachable, "not a direct child"},
        {"nested control, enable", [](SpyFacts& f) { f.controlDirectChild = false; }, 9,
         LineStatus::Unreachable, "GetDlgItem looks at direct children only"},
        {"same id found first",
         [](SpyFacts& f) {
             f.controlFoundFirst = false;
             f.controlFoundInstead = "a Button reading \"Cancel\"";
         },
         8, LineStatus::Unreachable, "has the id 1001 and GetDlgItem finds it first (a Button"},
        {"long control text",
         [](SpyFacts& f) {
             f.controlText = gbk(std::string(300, 'x'));
             f.controlTextBytes = 300;
         },
         7, LineStatus::Unreachable, "300 bytes and the player reads 255"},
        {"control text not GBK",
         [](SpyFacts& f) {
             f.controlText = {true, "", false, "no GBK form"};
         },
         8, LineStatus::NotWritable, "no GBK form"},
        {"no key", [](SpyFacts& f) { f.key = 0; }, 12, LineStatus::NotAvailable,
         "press a key while the spy has the focus"},
    };
    for (const Unavailable& c : cases) {
        SpyFacts facts = buttonFacts();
        c.change(facts);
        std::vector<SpyLine> lines = spyLines(facts, NameForm::English);
        const SpyLine& line = lines.at(c.row);
        EXPECT_EQ(line.status, c.status) << c.what << ": " << line.note;
        EXPECT_NE(line.note.find(c.reasonPart), std::string::npos) << c.what << ": " << line.note;
        EXPECT_EQ(line.line.empty(), c.status != LineStatus::Flagged) << c.what;
        // Printed, it is a comment line that parses as REM and holds the reason.
        std::string text = spyLineText(line, NameForm::English);
        ASSERT_EQ(text.back(), '\n');
        text.pop_back();
        EXPECT_EQ(text.find('\n'), std::string::npos) << c.what;
        Command command;
        ASSERT_TRUE(parseLine(text.data(), command)) << text;
        EXPECT_EQ(command.opcode, Opcode::Rem) << text;
        EXPECT_NE(text.find(statusWord(c.status)), std::string::npos) << text;
    }
}

TEST(SpyLines, ALongCaptionIsWaitedForByThePartThePlayerReads) {
    SpyFacts facts = buttonFacts();
    // 127 double-byte characters and one more that would end at byte 256.
    std::string caption;
    for (int i = 0; i < 128; ++i) {
        caption += "\xBC\xC7";
    }
    facts.caption = gbk(caption);
    std::vector<SpyLine> lines = spyLines(facts, NameForm::English);
    EXPECT_EQ(lines[3].status, LineStatus::Ready);
    EXPECT_EQ(lines[3].line, "Wait Caption " + caption.substr(0, 254));
    EXPECT_NE(lines[3].note.find("256 bytes"), std::string::npos) << lines[3].note;
    // Top Caption compares the whole title.
    EXPECT_EQ(lines[4].line, "Top Caption " + caption);
}

// The spy gives a control line only for a text the player reads whole: the
// longest such text clicks the control in the player, one byte more gives no line.
using SpyControlLimit = WaitTest;

TEST_F(SpyControlLimit, TheLongestTextThePlayerReadsClicksOneByteMoreGivesNoLine) {
    const std::string longest = std::string(PlayerTextLimit - 2, 'x') + "\xBC\xC7"; // ends in 记
    const std::string tooLong = longest + "y";
    ASSERT_EQ(longest.size(), 255u);

    SpyFacts facts = buttonFacts();
    facts.controlText = gbk(longest);
    facts.controlTextBytes = longest.size();
    const SpyLine click = spyLines(facts, NameForm::English)[7];
    ASSERT_EQ(click.status, LineStatus::Ready) << click.note;
    EXPECT_EQ(click.line, "Click ButtonText 1001 " + longest);

    platform::WindowHandle dialog = fake::addWindow("#32770", "Setup");
    fake::setForeground(dialog);
    fake::addControl(dialog, 1001, longest);
    EXPECT_FALSE(execute(click.line));
    EXPECT_EQ(fake::countCalls("send"), 2u); // pressed and released

    facts.controlText = gbk(tooLong);
    facts.controlTextBytes = tooLong.size();
    for (std::size_t row : {7u, 8u}) {
        const SpyLine line = spyLines(facts, NameForm::English)[row];
        EXPECT_EQ(line.status, LineStatus::Unreachable) << row;
        EXPECT_TRUE(line.line.empty()) << row;
        EXPECT_NE(line.note.find("256 bytes and the player reads 255"), std::string::npos)
            << line.note;
    }
    // What the line would have said never ends the player's wait.
    SetUp();
    dialog = fake::addWindow("#32770", "Setup");
    fake::setForeground(dialog);
    fake::addControl(dialog, 1001, tooLong);
    load("Wait ButtonText 1001 " + tooLong);
    EXPECT_TRUE(runsForever());
}

TEST(SpyOptions, TheCommandLine) {
    SpyOptions at = parseSpyOptions({"--at", "10", "-20", "--form", "code", "--utf8"});
    ASSERT_TRUE(at.ok) << at.error;
    EXPECT_TRUE(at.at);
    EXPECT_EQ(at.x, 10);
    EXPECT_EQ(at.y, -20);
    EXPECT_EQ(at.form, NameForm::ShortCode);
    EXPECT_TRUE(at.utf8);
    EXPECT_EQ(parseSpyOptions({"--form", "chinese"}).form, NameForm::Chinese);
    EXPECT_FALSE(parseSpyOptions({}).at);
    EXPECT_TRUE(parseSpyOptions({"--version"}).version);

    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--at", "10"},
                                               {"--at", "10", "x"},
                                               {"--at", "1.5", "2"},
                                               {"--at", "99999999999", "2"},
                                               {"--form", "german"},
                                               {"--form"},
                                               {"--frozen"}}) {
        SpyOptions options = parseSpyOptions(bad);
        EXPECT_FALSE(options.ok) << bad[0];
        EXPECT_FALSE(options.error.empty());
    }
}

} // namespace
