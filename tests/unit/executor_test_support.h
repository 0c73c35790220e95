#pragma once
// Shared set-up for the executor tests: a fresh fake world and run state, and
// scripts built from text, parsed line by line and executed as the run would.

#include "platform/fake/fake.h"
#include "runner/run_state.h"
#include "script/parser.h"
#include "script/script.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

class ExecutorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        resetRunState();
    }

    // Splits `text` into the script's lines and parses every one of them.
    void load(const std::string& text) {
        script.splitLines(text.c_str());
        for (std::int32_t line = 0; line < script.lineCount; ++line) {
            ASSERT_TRUE(parseLine(script.lines[line].data(), script.commands[line]))
                << "line " << line + 1 << ": " << script.lines[line].c_str();
        }
    }

    // Loads `text` and executes each line in order; every command of these tests
    // must return false (only the colour and process waits can stop a run).
    void run(const std::string& text) {
        load(text);
        for (std::int32_t line = 0; line < script.lineCount; ++line) {
            EXPECT_FALSE(script.execute(script.commands[line])) << script.lines[line].c_str();
        }
    }

    Script script;
};

// The logged calls with their virtual times, as "TIME: TEXT".
inline std::vector<std::string> timedCalls() {
    std::vector<std::string> texts;
    for (const fake::Call& call : fake::calls()) {
        texts.push_back(std::to_string(call.time) + ": " + call.text);
    }
    return texts;
}

// A parameterised test's name made of a script line: letters and digits kept, a
// minus sign spelled out, anything else an underscore ("MoveTo -1 0" gives
// MoveTo_Minus1_0), so ctest lists the case instead of the parameter's bytes.
inline std::string lineTestName(std::string_view line) {
    std::string name;
    for (char byte : line) {
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
            (byte >= '0' && byte <= '9')) {
            name += byte;
        } else if (byte == '-') {
            name += "Minus";
        } else {
            name += '_';
        }
    }
    return name;
}
