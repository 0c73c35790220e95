// The studio's command line.

#include "command_line.h"

#include "text_codes.h"
#include "ui_text.h"

StudioArguments parseStudioArguments(const std::vector<std::u16string>& arguments) {
    StudioArguments result;
    // The last wrong argument is the one told.
    auto wrong = [&](const std::u16string& what) { result.error = what; };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::u16string& value = arguments[i];
        if (value == u"--version") {
            result.version = true;
        } else if (value == u"--lang" && i + 1 < arguments.size()) {
            result.language = arguments[++i];
            if (!isUiLanguageOption(utf16ToUtf8(result.language))) {
                wrong(u"--lang " + result.language);
            }
        } else if (value.rfind(u"--", 0) == 0) {
            wrong(value);
        } else {
            result.script = value;
        }
    }
    return result;
}
