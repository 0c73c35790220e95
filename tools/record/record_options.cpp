#include "record_options.h"

#include "pack_options.h"

#include "keys/key_combo.h"
#include "ui_text.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

ParsedRecordOptions failure(std::string error) {
    ParsedRecordOptions parsed;
    parsed.error = std::move(error);
    return parsed;
}

// A whole decimal number from `lowest` to `highest`.
bool readWhole(const std::string& text, long lowest, long highest, long& value) {
    if (text.empty() || text.size() > 10) {
        return false;
    }
    for (char digit : text) {
        if (digit < '0' || digit > '9') {
            return false;
        }
    }
    value = std::strtol(text.c_str(), nullptr, 10);
    return value >= lowest && value <= highest;
}

// A key text that names a key as the player reads it, upper-cased.
bool readKey(std::string& text) {
    std::string copy = text;
    if (resolveKeyCombo(copy.data()) == 0) {
        return false;
    }
    text = copy;
    return true;
}

// A stop key is a keyboard key that the hook sees going down: no mouse button,
// no modifier on its own.
bool canStop(const std::string& text) {
    std::string copy = text;
    const std::uint8_t key = resolveKeyCombo(copy.data()) & 0xFF;
    return key != 0 && key != LeftButton && key != RightButton && key != MiddleButton &&
           modifierIndex(key) < 0;
}

} // namespace

ParsedRecordOptions parseRecordArguments(const std::vector<std::string>& arguments) {
    ParsedRecordOptions parsed;
    RecordOptions& options = parsed.options;
    TranslateOptions& translate = options.translate;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string value;
        auto next = [&]() {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                return false;
            }
            value = arguments[++i];
            return true;
        };
        auto number = [&](long lowest, long highest, long& into) {
            return next() && readWhole(value, lowest, highest, into);
        };
        long whole = 0;
        std::string exeError;
        if (takeExeOption(arguments, i, options.exe, exeError)) {
            if (!exeError.empty()) {
                return failure(exeError);
            }
        } else if (argument == "-h" || argument == "--help" || argument == "/?") {
            options.mode = RecordMode::Help;
            parsed.ok = true;
            return parsed;
        } else if (argument == "--version") {
            options.mode = RecordMode::Version;
            parsed.ok = true;
            return parsed;
        } else if (argument == "--stop-key") {
            if (!next() || !readKey(value) || !canStop(value)) {
                return failure("--stop-key needs a key the player knows, such as PAUSE or "
                               "CTRL+F12, that is no mouse button and no modifier alone");
            }
            options.stopKey = value;
        } else if (argument == "--seconds") {
            if (!number(1, 86400, whole)) {
                return failure("--seconds needs a whole number of seconds from 1 to 86400");
            }
            options.seconds = static_cast<std::uint32_t>(whole);
        } else if (argument == "--moves") {
            translate.moves = true;
        } else if (argument == "--rest") {
            if (!number(10, 600000, whole)) {
                return failure("--rest needs milliseconds from 10 to 600000");
            }
            translate.restTime = static_cast<std::uint32_t>(whole);
        } else if (argument == "--min-delay") {
            if (!number(10, 600000, whole)) {
                return failure("--min-delay needs milliseconds from 10 to 600000");
            }
            translate.threshold = static_cast<std::uint32_t>(whole);
        } else if (argument == "--max-delay") {
            if (!number(10, 2000000000, whole)) {
                return failure("--max-delay needs milliseconds from 10 to 2000000000");
            }
            translate.maxDelay = static_cast<std::uint32_t>(whole);
        } else if (argument == "--speed") {
            char* end = nullptr;
            errno = 0;
            const double speed = next() ? std::strtod(value.c_str(), &end) : 0.0;
            if (end == nullptr || *end != '\0' || errno != 0 || !std::isfinite(speed) ||
                speed < 0.01 || speed > 100.0) {
                return failure("--speed needs a factor from 0.01 to 100, such as 2 or 0.5");
            }
            translate.speed = speed;
        } else if (argument == "--no-window-waits") {
            translate.windowWaits = false;
        } else if (argument == "--ignore-injected") {
            translate.ignoreInjected = true;
        } else if (argument == "--start") {
            if (!next()) {
                return failure("--start needs box, nobox or key KEY");
            }
            if (value == "box") {
                translate.start = StartMode::Box;
            } else if (value == "nobox") {
                translate.start = StartMode::NoBox;
            } else if (value == "key") {
                if (!next() || !readKey(value)) {
                    return failure("--start key needs a key the player knows, such as F9");
                }
                translate.start = StartMode::Key;
                translate.startKey = value;
            } else {
                return failure("unknown start \"" + value + "\": use box, nobox or key KEY");
            }
        } else if (argument == "--loop") {
            if (!number(1, 2147483647, whole)) {
                return failure("--loop needs a number of passes from 1 to 2147483647");
            }
            translate.loopCount = static_cast<std::int32_t>(whole);
        } else if (argument == "--encoding") {
            if (!next()) {
                return failure("--encoding needs utf-8 or gbk");
            }
            if (value == "gbk" || value == "GBK" || value == "cp936") {
                options.gbk = true;
            } else if (value == "utf-8" || value == "UTF-8" || value == "utf8") {
                options.gbk = false;
            } else {
                return failure("unknown encoding \"" + value + "\": use utf-8 or gbk");
            }
        } else if (argument == "--form") {
            if (!next()) {
                return failure("--form needs english, chinese or code");
            }
            if (value == "english") {
                options.form = NameForm::English;
            } else if (value == "chinese") {
                options.form = NameForm::Chinese;
            } else if (value == "code") {
                options.form = NameForm::ShortCode;
            } else {
                return failure("unknown form \"" + value + "\": use english, chinese or code");
            }
        } else if (argument == "--pack") {
            if (!next()) {
                return failure("--pack needs the file name of the player to write");
            }
            options.pack = value;
        } else if (argument == "--lang") {
            if (!next() || !isUiLanguageOption(value)) {
                return failure("--lang needs zh or en");
            }
            options.language = value;
        } else if (argument == "--player") {
            if (!next()) {
                return failure("--player needs a file name");
            }
            options.player = value;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return failure("unknown option " + argument);
        } else if (options.output.empty()) {
            options.output = argument;
        } else {
            return failure("more than one script file: " + options.output + " and " + argument);
        }
    }
    if (!options.player.empty() && options.pack.empty()) {
        return failure("--player needs --pack OUT.exe");
    }
    std::string stop = options.stopKey;
    translate.stopKey = resolveKeyCombo(stop.data());
    if (translate.start == StartMode::Key && translate.startKey == options.stopKey) {
        return failure("the start key and the stop key are the same");
    }
    parsed.ok = true;
    return parsed;
}
