#include "ui_text.h"

namespace {

struct UiTextRow {
    const char* english;
    const char* chinese;
};

constexpr UiTextRow UiTexts[] = {
#define UI_TEXT(id, english, chinese) {english, chinese},
#include "ui_texts.inc"
#undef UI_TEXT
};
static_assert(sizeof(UiTexts) / sizeof(UiTexts[0]) == static_cast<int>(TextId::Count));

// LANG_CHINESE, the primary language of every Chinese LANGID.
constexpr unsigned short PrimaryChinese = 0x04;

} // namespace

const char* uiText(TextId id, UiLanguage language) {
    const UiTextRow& row = UiTexts[static_cast<int>(id)];
    return language == UiLanguage::Chinese ? row.chinese : row.english;
}

bool isUiLanguageOption(std::string_view option) {
    return option == "zh" || option == "en";
}

std::string_view languageArgument(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "--lang") {
            return isUiLanguageOption(arguments[i + 1]) ? arguments[i + 1] : std::string_view();
        }
    }
    return {};
}

UiLanguage chooseUiLanguage(std::string_view option, unsigned short userUiLanguage) {
    if (option == "zh") {
        return UiLanguage::Chinese;
    }
    if (option == "en") {
        return UiLanguage::English;
    }
    return (userUiLanguage & 0x3FF) == PrimaryChinese ? UiLanguage::Chinese : UiLanguage::English;
}

std::string formatUiText(std::string_view text, std::initializer_list<std::string_view> arguments) {
    std::string out;
    out.reserve(text.size() + 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{' && i + 2 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9' &&
            text[i + 2] == '}') {
            std::size_t index = static_cast<std::size_t>(text[i + 1] - '1');
            if (index < arguments.size()) {
                out += *(arguments.begin() + index);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}
