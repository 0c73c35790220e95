// The text splits of Excute (startProgram) and If Key (startSelfOnKey) on any
// text, against the fake platform. The first input byte sets the length of the
// player's own path (0 to 765 bytes, past the first path buffer); the rest, up
// to a NUL, is the command's text. Properties: the logged "open FILE|PARAMS"
// is exactly the split a plain restatement of the rule gives, so nothing is
// read past the text; the text itself is not changed; If Key starts the own
// path with its parameters only while its key is held, then waits for the
// release.

#include "check.h"
#include "reference.h"

#include "platform/fake/fake.h"
#include "runner/executor.h"
#include "runner/run_state.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr fake::Time KeysUpAt = 25;

void checkStartProgram(const std::string& text) {
    fake::reset();
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    startProgram(buffer.data());
    FUZZ_CHECK(std::string(buffer.data()) == text);
    const reference::ProgramSplit split = reference::programSplit(text);
    const std::vector<std::string> expected = {reference::openCall(split.file, split.parameters)};
    FUZZ_CHECK(fake::callTexts() == expected);
}

void checkStartSelfOnKey(const std::string& text, const std::string& ownPath) {
    fake::reset();
    resetRunState();
    fake::setOwnExecutablePath(ownPath);
    // Every key is down until KeysUpAt, so any text that names a key is held.
    for (int key = 0; key < 256; ++key) {
        fake::holdKey(static_cast<std::uint8_t>(key), 0, KeysUpAt);
    }
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    startSelfOnKey(buffer.data());
    FUZZ_CHECK(std::string(buffer.data()) == text);

    const std::size_t space = text.find(' ');
    if (space == std::string::npos) {
        FUZZ_CHECK(fake::calls().empty()); // returns at once, without a pause
        return;
    }
    const std::string keyText = text.substr(0, space);
    const std::string parameters = text.substr(space + 1);
    std::vector<std::string> expectedOpens;
    fake::Time expectedEnd = 10;
    if (reference::resolvedKeyCombo(keyText) != 0) {
        expectedOpens.push_back(reference::openCall(ownPath, parameters));
        expectedEnd = 30 + 10; // release seen at 30 ms, then the closing wait
    }
    FUZZ_CHECK(fake::callTexts({"open"}) == expectedOpens);
    FUZZ_CHECK(fake::callTexts().back() == "sleep 10");
    FUZZ_CHECK(fake::now() == expectedEnd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    std::string ownPath = "C:\\";
    ownPath.append(static_cast<std::size_t>(data[0]) * 3, 'p');
    ownPath += ".exe";
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    text = text.substr(0, text.find('\0'));
    checkStartProgram(text);
    checkStartSelfOnKey(text, ownPath);
    return 0;
}
