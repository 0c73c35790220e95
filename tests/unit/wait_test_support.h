#pragma once
// Set-up for the tests of the waiting and window commands: a fresh fake world
// and run state, script lines parsed and executed as the body loop would.

#include "platform/fake/fake.h"
#include "runner/run_state.h"
#include "script/parser.h"
#include "script/script.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class WaitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        resetRunState();
        script = std::make_unique<Script>();
    }

    // Parses `line` as the only line of a fresh script. A new Script puts the
    // break key back to ESC; the rest of the run state (lastForegroundPid) stays.
    void load(const std::string& line) {
        script = std::make_unique<Script>();
        script->splitLines(line.c_str());
        ASSERT_EQ(script->lineCount, 1) << line;
        ASSERT_TRUE(parseLine(script->lines[0].data(), script->commands[0])) << line;
    }

    // Executes the loaded line as the body loop would; returns the stop flag.
    bool run() { return script->execute(script->commands[0]); }

    bool execute(const std::string& line) {
        load(line);
        return run();
    }

    // Executes the loaded wait, which must not end: true when it ran into the
    // time limit (`limit` more virtual ms, or `callLimit` more platform calls).
    bool runsForever(fake::Time limit = 2'000, std::size_t callLimit = 20'000) {
        fake::setTimeLimit(fake::now() + limit, fake::calls().size() + callLimit);
        bool limitReached = false;
        try {
            run();
        } catch (const fake::TimeLimitReached&) {
            limitReached = true;
        }
        fake::setTimeLimit(DefaultTimeLimit, DefaultCallLimit);
        return limitReached;
    }

    static constexpr fake::Time DefaultTimeLimit = 3'600'000;
    static constexpr std::size_t DefaultCallLimit = 2'000'000;

    std::unique_ptr<Script> script;
};

// The logged calls with their virtual times, as "TIME: TEXT"; only those whose
// text starts with one of `prefixes` when given.
inline std::vector<std::string> timeline(const std::vector<std::string>& prefixes = {}) {
    std::vector<std::string> texts;
    for (const fake::Call& call : fake::calls()) {
        bool wanted = prefixes.empty();
        for (const std::string& prefix : prefixes) {
            wanted = wanted || call.text.compare(0, prefix.size(), prefix) == 0;
        }
        if (wanted) {
            texts.push_back(std::to_string(call.time) + ": " + call.text);
        }
    }
    return texts;
}
