#pragma once
// Runs script lines in this process, through the real platform layer, the way
// the player's passes run them: each line parsed, then executed.

#include "runner/executor.h"
#include "runner/run_state.h"
#include "script/parser.h"
#include "script/script.h"

#include <gtest/gtest.h>

#include <string>

namespace e2e {

// A script of `text` with every line parsed; fails the test on a line that
// does not parse.
inline void loadScript(Script& script, const std::string& text) {
    script.splitLines(text.c_str());
    for (std::int32_t line = 0; line < script.lineCount; ++line) {
        EXPECT_TRUE(parseLine(script.lines[line].data(), script.commands[line]))
            << script.lines[line].c_str();
    }
}

inline void runLines(const std::string& text) {
    Script script;
    loadScript(script, text);
    for (std::int32_t line = 0; line < script.lineCount; ++line) {
        EXPECT_FALSE(script.execute(script.commands[line])) << script.lines[line].c_str();
    }
}

} // namespace e2e
