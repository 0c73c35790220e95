// The compile pass: every line is parsed in order; settings take effect at once.

#include "platform/platform.h"
#include "runner/executor.h"
#include "script/parser.h"
#include "script/script.h"

#include <cstdio>
#include <memory>

namespace {

constexpr std::size_t SyntaxMessageSize = 65536;

// Shows the line number (counting kept lines) and the line as stored. A line
// too long for the message is cut, never written past the buffer.
[[noreturn]] void reportSyntaxError(std::int32_t lineNumber, const char* line) {
    auto message = std::make_unique<char[]>(SyntaxMessageSize);
    std::snprintf(message.get(), SyntaxMessageSize, "第%d行脚本语法错误! \n代码:\"%s\"", lineNumber,
                  line);
    platform::messageBox(message.get(), "错误", platform::BoxOk);
    platform::endProcess();
}

} // namespace

void Script::compile() {
    for (std::int32_t i = 0; i < lineCount; ++i) {
        Command& command = commands[i];
        if (!parseLine(lines[i].data(), command)) {
            reportSyntaxError(i + 1, lines[i].c_str());
        }
        if (!isActionCommand(command)) {
            execute(command);
        }
    }
}
