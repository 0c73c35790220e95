// The syntax-error box of a very long line (under Wine the player crashed
// inside MessageBoxA on messages of some 32,768 characters and more): the line
// is cut to 32,000 bytes, never inside a double-byte character, and the
// message keeps its closing quote.

#include "platform/fake/fake.h"
#include "runner/run_state.h"
#include "script/script.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The message of the box the compile pass shows for a script whose second
// line is `line`.
std::string syntaxMessage(const std::string& line) {
    fake::reset();
    resetRunState();
    Script script;
    script.splitLines(("SNB\n" + line + "\nEND").c_str());
    EXPECT_THROW(script.compile(), fake::ProcessEnded);
    const std::vector<std::string> boxes = fake::callTexts({"box"});
    if (boxes.size() != 1) {
        ADD_FAILURE() << "boxes shown: " << boxes.size();
        return "";
    }
    const std::string prefix = "box 错误|";
    return boxes[0].substr(prefix.size(), boxes[0].size() - prefix.size() - 2);
}

TEST(SyntaxBox, LongLinesAreCutBelowTheMessageBoxLimit) {
    const std::string pair = "中"; // two GBK bytes
    std::string pairs;
    while (pairs.size() < 40000) {
        pairs += pair;
    }
    struct Case {
        const char* name;
        std::string line;
        std::string shown;
    };
    const Case cases[] = {
        {"short line whole", "no command", "no command"},
        {"exactly the limit", std::string(32000, 'y'), std::string(32000, 'y')},
        {"one byte over", std::string(32001, 'y'), std::string(32000, 'y')},
        {"pairs end at the limit", pairs, pairs.substr(0, 32000)},
        // After one single byte the pairs end at odd offsets: the pair that would
        // cross the limit is left out whole.
        {"pair across the limit", "y" + pairs, "y" + pairs.substr(0, 31998)},
        {"lone lead byte at the end", "no \x81", "no \x81"},
        {"lead byte before a control byte", "\x81\x01\x81\x01", "\x81\x01\x81\x01"},
    };
    for (const Case& c : cases) {
        const std::string message = syntaxMessage(c.line);
        EXPECT_EQ(message, "第2行脚本语法错误! \n代码:\"" + c.shown + "\"") << c.name;
        EXPECT_LT(message.size(), 32767u) << c.name;
    }
}

} // namespace
