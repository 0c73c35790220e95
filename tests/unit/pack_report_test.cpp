// The packer's message box text: its console lines, shortened.

#include "pack_report.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PackReport, ShowsTheConsoleLinesAndCutsLongOnesBetweenCharacters) {
    EXPECT_EQ(reportForBox(""), "");
    EXPECT_EQ(reportForBox("pack: wrote a.exe\n\n"), "pack: wrote a.exe");
    EXPECT_EQ(reportForBox("a.txt: line 2: warning\npack: wrote a.exe\n"),
              "a.txt: line 2: warning\npack: wrote a.exe");

    // 296 ASCII bytes and then GBK characters of two bytes: the cut falls
    // before the character that would cross 297 bytes.
    const std::string head(296, 'x');
    const std::string gbk = "\xD6\xD0\xCE\xC4";
    std::string longLine = head + gbk + gbk;
    EXPECT_EQ(reportForBox(longLine + "\nend\n"), head + "..." + "\nend");
    longLine = std::string(295, 'x') + gbk + gbk;
    EXPECT_EQ(reportForBox(longLine + "\n"), std::string(295, 'x') + "\xD6\xD0" + "...");
    // Exactly at the limit nothing is cut.
    EXPECT_EQ(reportForBox(std::string(300, 'y')), std::string(300, 'y'));
}

TEST(PackReport, ManyLinesEndInACountOfTheRest) {
    std::string transcript;
    for (int i = 0; i < 45; ++i) {
        transcript += "line " + std::to_string(i) + "\n";
    }
    const std::string report = reportForBox(transcript);
    EXPECT_EQ(report.substr(0, 14), "line 0\nline 1\n");
    EXPECT_NE(report.find("\nline 39\n(5 more lines)"), std::string::npos) << report;
    EXPECT_EQ(report.find("line 40"), std::string::npos);
    const std::string one = reportForBox(transcript.substr(0, transcript.find("line 41")));
    EXPECT_EQ(one.substr(one.size() - 22), "\nline 39\n(1 more line)");
}

} // namespace
