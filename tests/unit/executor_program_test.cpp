// Excute (program start) and If Key (self-start while a key is held).

#include "executor_test_support.h"

using Strings = std::vector<std::string>;

struct StartCase {
    const char* name;
    std::string text;
    std::string opened; // the log text of openProgram
};

void PrintTo(const StartCase& c, std::ostream* out) {
    *out << c.name;
}

class ExcuteTest : public ExecutorTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(ExcuteTest, SplitsFileAndParameters) {
    run("Excute " + GetParam().text);
    EXPECT_EQ(fake::callTexts(), (Strings{GetParam().opened}));
}

const std::string longWord(1500, 'w');

INSTANTIATE_TEST_SUITE_P(
    Texts, ExcuteTest,
    ::testing::Values(
        StartCase{"Word", "calc.exe", "open calc.exe|(null)"},
        StartCase{"WordsAfterASpace", "notepad.exe C:\\a b.txt", "open notepad.exe|C:\\a b.txt"},
        StartCase{"FurtherSpacesKept", "cmd.exe  /c  dir ", "open cmd.exe| /c  dir "},
        StartCase{"TrailingSpace", "calc.exe ", "open calc.exe|"},
        StartCase{"QuotedWithArguments", "\"C:\\Program Files\\x.exe\" -a -b",
                  "open C:\\Program Files\\x.exe|-a -b"},
        StartCase{"QuotedThenArgumentLosesItsFirstByte", "\"C:\\x.exe\"-arg", "open C:\\x.exe|arg"},
        StartCase{"QuoteAtTheLastByte", "\"C:\\x y.exe\"", "open C:\\x y.exe|(null)"},
        StartCase{"QuoteThenOneByte", "\"C:\\x.exe\" ", "open C:\\x.exe|"},
        StartCase{"NoClosingQuote", "\"C:\\x y.exe -a", "open C:\\x y.exe -a|(null)"},
        StartCase{"Empty", "", "open |(null)"},
        StartCase{"LongParametersKeptWhole", "run.exe " + longWord, "open run.exe|" + longWord},
        StartCase{"LongQuotedFileKeptWhole", "\"" + longWord + "\" x", "open " + longWord + "|x"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExecutorTest, ExcuteByChineseNameStartsTheSameWay) {
    run("运行 app.exe -q\n执行命令 \"a b.exe\" c");
    EXPECT_EQ(fake::callTexts(), (Strings{"open app.exe|-q", "open a b.exe|c"}));
}

TEST_F(ExecutorTest, IfKeyWithoutASpaceReturnsAtOnce) {
    run("If Key F5");
    EXPECT_TRUE(fake::calls().empty());
}

TEST_F(ExecutorTest, IfKeyNotHeldStartsNothing) {
    run("If Key f5 --again");
    EXPECT_EQ(timedCalls(), (Strings{"0: held? 74", "0: sleep 10"}));
}

TEST_F(ExecutorTest, IfKeyHeldStartsItselfAndWaitsForTheRelease) {
    fake::setOwnExecutablePath("C:\\tools\\player.exe");
    fake::holdKey(0x74, 0, 25);
    run("If Key f5 --again and again");
    EXPECT_EQ(timedCalls(),
              (Strings{"0: held? 74", "0: path?", "0: open C:\\tools\\player.exe|--again and again",
                       "0: held? 74", "0: sleep 10", "10: held? 74", "10: sleep 10", "20: held? 74",
                       "20: sleep 10", "30: held? 74", "30: sleep 10"}));
    EXPECT_EQ(fake::now(), 40u);
}

TEST_F(ExecutorTest, IfKeyTestsTheWholeCombinationBeforeTheFirstSpace) {
    fake::holdKey(0x11, 0, 5); // CTRL
    fake::holdKey(0x41);       // A, for good
    run("IKE ctrl+a x\nIKE ctrl+a y");
    EXPECT_EQ(fake::callTexts({"open"}), (Strings{"open C:\\player.exe|x"}));
    // Released at 5 (CTRL up): one poll and the closing sleep, then the second
    // line finds CTRL up at once.
    EXPECT_EQ(fake::callTexts({"held?", "sleep"}),
              (Strings{"held? 11", "held? 41", "held? 11", "held? 41", "sleep 10", "held? 11",
                       "sleep 10", "held? 11", "sleep 10"}));
}

TEST_F(ExecutorTest, IfKeyReadsAVeryLongOwnPathWhole) {
    const std::string path = "C:\\" + std::string(700, 'd') + "\\player.exe";
    fake::setOwnExecutablePath(path);
    fake::holdKey(0x74, 0, 1);
    run("If Key F5 p");
    EXPECT_EQ(fake::callTexts({"open"}), (Strings{"open " + path + "|p"}));
    EXPECT_EQ(fake::countCalls("path?"), 3u); // 256, 512, then 1,024 bytes
}

TEST_F(ExecutorTest, IfKeyWithALongParameterTextPassesItWhole) {
    fake::holdKey(0x74, 0, 1);
    run("If Key F5 " + longWord);
    EXPECT_EQ(fake::callTexts({"open"}), (Strings{"open C:\\player.exe|" + longWord}));
}
