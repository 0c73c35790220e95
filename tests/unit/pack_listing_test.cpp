// `pack --list`: the compiled script as the player sees it.

#include "pack_listing.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> rows(const std::string& listing) {
    std::vector<std::string> lines;
    std::istringstream in(listing);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(PackListing, OneRowPerKeptLineWithEachFilledSlot) {
    const std::string script = "Start\n"
                               "*Comment: Three clicks\n"
                               "\n"
                               "break key f12\n"
                               "LPT 3\n"
                               "MoveTo 100 200\n"
                               "MMT 7\n"
                               "WCR 1 2 FF00FF\n"
                               "Wait NotColor 3 4 000000\n"
                               "Delay 500\n"
                               "End\n";
    std::vector<std::string> lines = rows(listScript(script));
    const std::vector<std::string> expected = {
        "line  file  opcode  command                  type      parameters",
        "   1     1      35  Start                    start     (starts after a confirmation box)",
        "   2     2      45  *Comment:                settings  param1=\"Three clicks\"",
        "   3     4       9  Break Key                settings  param1=\"F12\" (key 0x007B)",
        "   4     5      38  Loop Times               settings  param1=3",
        "   5     6      30  MoveTo                   action    param1=100 param2=200",
        "   6     7      30  MoveTo                   action    param1=7",
        "   7     8      10  WaitColor                action    param1=1 param2=2 "
        "param3=\"FF00FF\"",
        "   8     9      42  WaitNotColor             action    param1=3 param2=4 "
        "param3=\"000000\"",
        "   9    10       6  Delay                    action    param1=500",
        "  10    11      33  End                      settings",
        "break key \"F12\" (key 0x007B), pause key none, passes: 3",
    };
    EXPECT_EQ(lines, expected);
}

TEST(PackListing, StartModesUnmatchedLinesAndTheLoopSummary) {
    struct Case {
        std::string script;
        std::vector<std::string> expectedParts;
    };
    const Case cases[] = {
        {"STC 10 20 FF0000\nLClick\nLClick\n",
         {"Start Color              start     param1=10 param2=20 colour=\"FF0000\" (starts only "
          "if the pixel has the colour)",
          "LClick                   action", "LClick                   not run", "passes: 1"}},
        {"STK ctrl+a\nPSK f9\nLoop\nEnd\n",
         {"Start Key                start     param1=\"CTRL+A\" (key 0x0241) (starts when the key",
          "pause key \"F9\" (key 0x0078)", "passes: 1"}},
        {"Start No Box\nLoop Times -1\nLoop\n", {"(starts at once)", "passes: endless"}},
        {"Start No Box\nBreak Key NOKEY\nFoo\nLoop\n",
         {"(no command)             error     \"Foo\"", "break key \"NOKEY\" (names no key)",
          "passes: endless"}},
    };
    for (const Case& c : cases) {
        std::string listing = listScript(c.script);
        for (const std::string& part : c.expectedParts) {
            EXPECT_NE(listing.find(part), std::string::npos) << part << "\nin:\n" << listing;
        }
    }
}

} // namespace
