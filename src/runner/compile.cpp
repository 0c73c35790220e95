// The compile pass: every line is parsed in order; settings take effect at once.

#include "platform/platform.h"
#include "runner/executor.h"
#include "runner/trace.h"
#include "script/parser.h"
#include "script/script.h"

#include <cstdio>
#include <memory>

namespace {

constexpr std::size_t SyntaxMessageSize = 65536;
// The most of a line the box shows. Under Wine the player crashed inside
// MessageBoxA on syntax messages of some 32,768 characters and more, so a
// longer line is cut well below that; the message keeps its closing quote.
constexpr std::size_t ShownLineBytes = 32000;

// The length of `line` cut to at most `limit` bytes without splitting a
// double-byte GBK character (lead byte 0x81..0xFE and the byte after it), so
// no lone lead byte swallows the closing quote when the box shows the text.
std::size_t shownLength(const char* line, std::size_t limit) {
    std::size_t length = 0;
    while (line[length] != '\0') {
        const auto byte = static_cast<unsigned char>(line[length]);
        const std::size_t width = byte >= 0x81 && byte <= 0xFE && line[length + 1] != '\0' ? 2 : 1;
        if (length + width > limit) {
            break;
        }
        length += width;
    }
    return length;
}

// Shows the line number (counting kept lines) and the line as stored. A line
// too long for the box is cut, never written past the buffer.
[[noreturn]] void reportSyntaxError(std::int32_t lineNumber, const char* line) {
    auto message = std::make_unique<char[]>(SyntaxMessageSize);
    std::snprintf(message.get(), SyntaxMessageSize, "第%d行脚本语法错误! \n代码:\"%.*s\"",
                  lineNumber, static_cast<int>(shownLength(line, ShownLineBytes)), line);
    traceEnd(TraceEnd::SyntaxError, lineNumber);
    platform::messageBox(message.get(), "错误", platform::BoxOk);
    platform::endProcess();
}

} // namespace

void Script::compile() {
    for (std::int32_t i = 0; i < lineCount; ++i) {
        Command& command = commands[i];
        const LineText line = lines[i];
        if (!parseLine(line.data(), line.size(), command)) {
            reportSyntaxError(i + 1, line.c_str());
        }
        if (!isActionCommand(command)) {
            execute(command);
        }
    }
}
