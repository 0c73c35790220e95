#include "spy_options.h"

#include "ui_text.h"

#include <climits>
#include <cstdlib>

namespace {

bool readCoordinate(const std::string& text, std::int32_t& value) {
    if (text.empty() || text.size() > 11) {
        return false;
    }
    char* end = nullptr;
    const long long number = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || text[0] == ' ' || text[0] == '+' || number < INT32_MIN ||
        number > INT32_MAX) {
        return false;
    }
    value = static_cast<std::int32_t>(number);
    return true;
}

SpyOptions failed(std::string error) {
    SpyOptions options;
    options.ok = false;
    options.error = std::move(error);
    return options;
}

} // namespace

SpyOptions parseSpyOptions(const std::vector<std::string>& arguments) {
    SpyOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h" || argument == "/?") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--utf8") {
            options.utf8 = true;
        } else if (argument == "--lang") {
            if (i + 1 >= arguments.size() || !isUiLanguageOption(arguments[i + 1])) {
                return failed("--lang needs zh or en");
            }
            options.language = arguments[++i];
        } else if (argument == "--at") {
            if (i + 2 >= arguments.size() || !readCoordinate(arguments[i + 1], options.x) ||
                !readCoordinate(arguments[i + 2], options.y)) {
                return failed("--at needs two whole numbers, X and Y");
            }
            options.at = true;
            i += 2;
        } else if (argument == "--form") {
            if (i + 1 >= arguments.size()) {
                return failed("--form needs chinese, english or code");
            }
            const std::string& form = arguments[++i];
            if (form == "chinese") {
                options.form = NameForm::Chinese;
            } else if (form == "english") {
                options.form = NameForm::English;
            } else if (form == "code") {
                options.form = NameForm::ShortCode;
            } else {
                return failed("--form needs chinese, english or code, not \"" + form + "\"");
            }
        } else {
            return failed("unknown argument \"" + argument + "\"");
        }
    }
    return options;
}
