// `pack --list` and the warnings, as the packer prints them.

#include "helpers/pack_run.h"
#include "support/e2e.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(PackList, ListsTheCompiledScript) {
    const std::string folder = e2e::packFolder("list");
    e2e::writeBytes(folder + "\\s.txt", "Start\n*Comment: hello\n\nLBK f12\nLoop Times 2\n"
                                        "MoveTo 10 20\n延时 50\nEnd\n");
    e2e::PackRun run = e2e::runPack("\"" + folder + "\\s.txt\" --list");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out,
              "line  file  opcode  command                  type      parameters\n"
              "   1     1      35  Start                    start     (starts after a "
              "confirmation box)\n"
              "   2     2      45  *Comment:                settings  param1=\"hello\"\n"
              "   3     4       9  Break Key                settings  param1=\"F12\" (key "
              "0x007B)\n"
              "   4     5      38  Loop Times               settings  param1=2\n"
              "   5     6      30  MoveTo                   action    param1=10 param2=20\n"
              "   6     7       6  Delay                    action    param1=50\n"
              "   7     8      33  End                      settings\n"
              "break key \"F12\" (key 0x007B), pause key none, passes: 2\n");
    // Listing alone writes nothing.
    EXPECT_EQ(e2e::listFolder(folder), "s.txt");
}

TEST(PackList, WarnsOnceForEachFaultWithItsLine) {
    const std::string folder = e2e::packFolder("warnings");
    const std::string script = "LClick\n"                 // 1: no start command, never runs
                               "Break Key F13X\n"         // 2: names no key
                               "If Key F9\n"              // 3: no space
                               "WaitColor 10 20 ff0000\n" // 4: lower-case colour
                               "MoveTo 100\n"             // 5: no y
                               "Wait Caption Notepad \n"  // 6: trailing space
                               "PutText hello\n"          // 7: does nothing
                               "Delay 10\n"               // 8: fine
                               "RClick\n";                // 9: never runs
    e2e::writeBytes(folder + "\\faults.txt", script);
    e2e::PackRun run =
        e2e::runPack("\"" + folder + "\\faults.txt\" -o \"" + folder + "\\faults.exe\"");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    const std::string prefix = folder + "\\faults.txt: ";
    const std::vector<std::string> expected = {
        "line 1 (player line 1): warning: the first line is no start command",
        "line 1 (player line 1): warning: an action on the first line never runs",
        "line 2 (player line 2): warning: Break Key: the key text \"F13X\" names no key",
        "line 3 (player line 3): warning: If Key without a space does nothing",
        "line 4 (player line 4): warning: WaitColor: the colour \"ff0000\" is not six upper-case",
        "line 5 (player line 5): warning: MoveTo needs x and y",
        "line 6 (player line 6): warning: Wait Caption: the text \"Notepad \"",
        "line 7 (player line 7): warning: PutText does nothing in this player",
        "line 9 (player line 9): warning: an action on the last line never runs",
    };
    for (const std::string& warning : expected) {
        EXPECT_NE(run.err.find(prefix + warning), std::string::npos) << warning << "\n" << run.err;
    }
    EXPECT_EQ(run.err.find("line 8"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("9 warnings)"), std::string::npos) << run.err;
    EXPECT_EQ(e2e::scriptResource(folder + "\\faults.exe"), script);
}

} // namespace
