// The packer's script checks on any script bytes. Properties: the packer's
// line list is the player's; a line gets an error exactly when the player's
// parser matches no command on it; every finding names a real line with its
// text; a NUL byte is reported once, on its file line; formatted findings hold
// no raw control bytes.

#include "check.h"
#include "reference.h"

#include "pack_checks.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::vector<ScriptLine> lines = scriptLines(text);
    const std::vector<std::string> expectedLines = reference::scriptLines(text);
    FUZZ_CHECK(lines.size() == expectedLines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(lines[i].text == expectedLines[i]);
        FUZZ_CHECK(lines[i].playerLine == static_cast<int>(i) + 1);
        FUZZ_CHECK(lines[i].fileLine >= lines[i].playerLine);
        FUZZ_CHECK(i == 0 || lines[i].fileLine > lines[i - 1].fileLine);
    }

    const std::vector<Finding> findings = checkScript(text);
    std::vector<bool> lineHasError(lines.size(), false);
    int nulErrors = 0;
    int noLineWarnings = 0;
    for (const Finding& finding : findings) {
        if (finding.playerLine == 0) {
            if (finding.kind == FindingKind::Error) {
                ++nulErrors;
                std::size_t nul = text.find('\0');
                FUZZ_CHECK(nul != std::string_view::npos);
                int fileLine = 1;
                for (std::size_t i = 0; i < nul; ++i) {
                    fileLine += text[i] == '\n' ? 1 : 0;
                }
                FUZZ_CHECK(finding.fileLine == fileLine);
            } else {
                ++noLineWarnings;
            }
        } else {
            FUZZ_CHECK(finding.playerLine >= 1 &&
                       finding.playerLine <= static_cast<int>(lines.size()));
            const ScriptLine& line = lines[finding.playerLine - 1];
            FUZZ_CHECK(finding.fileLine == line.fileLine);
            FUZZ_CHECK(finding.lineText == line.text);
            if (finding.kind == FindingKind::Error) {
                lineHasError[finding.playerLine - 1] = true;
            }
        }
        for (char byte : formatFinding(finding)) {
            const auto value = static_cast<unsigned char>(byte);
            FUZZ_CHECK(value >= 0x20 && value != 0x7F);
        }
    }
    FUZZ_CHECK(nulErrors == (text.find('\0') != std::string_view::npos ? 1 : 0));
    FUZZ_CHECK(noLineWarnings == (lines.empty() ? 1 : 0));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(lineHasError[i] == !reference::findCommand(lines[i].text).matched);
    }
    FUZZ_CHECK(hasErrors(findings) == (countKind(findings, FindingKind::Error) > 0));
    return 0;
}
