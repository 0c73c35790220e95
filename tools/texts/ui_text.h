#pragma once
// The texts the tools show (the studio, the spy, the recorder and the packer's
// boxes), in English and Chinese, from one table. The texts are GBK bytes, as
// everything else this system keeps; a Unicode window turns them into UTF-16
// with code page 936, never with the system's ANSI code page. Nothing here
// needs Windows.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

enum class UiLanguage { English, Chinese };

enum class TextId {
#define UI_TEXT(id, english, chinese) id,
#include "ui_texts.inc"
#undef UI_TEXT
    Count
};

// The text in `language` (GBK bytes).
const char* uiText(TextId id, UiLanguage language);

// The language a tool speaks: `option` is what followed --lang ("zh" or "en";
// empty when none was given); otherwise Chinese when the user's UI language
// (a Windows LANGID) is Chinese, else English.
UiLanguage chooseUiLanguage(std::string_view option, unsigned short userUiLanguage);

// Whether `option` is a language --lang takes.
bool isUiLanguageOption(std::string_view option);

// `text` with each {1}, {2}, ... replaced by the argument of that number.
std::string formatUiText(std::string_view text, std::initializer_list<std::string_view> arguments);

// What follows --lang in a tool's `arguments` when it is a language --lang
// takes, else empty: a tool knows its language before it reads the rest of its
// command line, so that it tells about a fault there in that language too.
std::string_view languageArgument(const std::vector<std::string>& arguments);
