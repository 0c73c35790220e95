#pragma once
// The packed exe's own icon and version texts: the settings, the script lines
// that keep them with the script, and the icon and version resources made of
// them. Nothing here needs Windows.
//
// A setting line is a comment line, which the player skips:
//
//   REM Exe Icon: logo.ico
//   REM Exe File Version: 1.2.0.0
//
// ("注释 " works as "REM " does). Their order and place do not matter; a new
// one is written right after the first line, which chooses how the script
// starts, so the first and last lines stay what they were.

#include "ui_text.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class ExeField {
    Icon,
    Description,
    Product,
    Company,
    Copyright,
    FileVersion,
    ProductVersion,
    OriginalName,
};
constexpr int ExeFieldCount = 8;

struct ExeFieldRow {
    ExeField field;
    const char* lineName; // after "REM Exe ", before the colon
    const char* option;   // pack.exe's and the recorder's option
    TextId label;         // what pack.exe's report calls it
};
extern const std::array<ExeFieldRow, ExeFieldCount> ExeFields;

// The values as given (GBK bytes); an empty value is not given. The icon is a
// path, relative paths taken from the script's folder.
struct ExeSettings {
    std::array<std::string, ExeFieldCount> values;
    std::string& operator[](ExeField field) { return values[static_cast<int>(field)]; }
    const std::string& operator[](ExeField field) const { return values[static_cast<int>(field)]; }
};

// Why `value` cannot be the field's value, or the empty text: a version that
// is not four numbers up to 65535, a text with control bytes or longer than
// the resource holds.
std::string exeSettingProblem(ExeField field, std::string_view value,
                              UiLanguage language = UiLanguage::English);

struct ExeSettingProblem {
    int fileLine = 0; // 1-based, every line of the file counted
    std::string message;
};

struct ExeSettingsRead {
    ExeSettings settings;
    std::array<int, ExeFieldCount> lines{}; // the file line each value came from, 0 for none
    std::vector<ExeSettingProblem> problems;
};

// The setting lines of `script` (GBK bytes); a later line for a field wins.
ExeSettingsRead readExeSettings(std::string_view script, UiLanguage language = UiLanguage::English);

// `script` with its setting lines made to say `settings`: a line for a field
// that is given is rewritten in place, or added after the first line; lines
// for fields not given go. Every other byte stays; a script with CR LF line
// ends gets CR LF lines.
std::string writeExeSettings(std::string_view script, const ExeSettings& settings);

// The numbers of a version that exeSettingProblem accepts.
std::array<std::uint16_t, 4> versionNumbers(std::string_view version);

// One image of an .ico file.
struct IconImage {
    std::uint8_t width = 0; // 0 for 256
    std::uint8_t height = 0;
    std::uint8_t colours = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::string bytes; // a BITMAPINFOHEADER image or a PNG
};

struct IconFile {
    std::vector<IconImage> images;
    std::string problem; // why it is no icon file; empty when it is one
};

IconFile parseIconFile(std::string_view bytes, UiLanguage language = UiLanguage::English);

// The RT_GROUP_ICON resource for `images`, stored as RT_ICON ids firstId on.
std::string iconGroupResource(const std::vector<IconImage>& images, std::uint16_t firstId);

// The version texts, UTF-16, as the resource holds them.
struct VersionTexts {
    std::array<std::uint16_t, 4> fileNumbers{};
    std::array<std::uint16_t, 4> productNumbers{};
    // Key and value pairs of the string table, in this order.
    std::vector<std::pair<std::u16string, std::u16string>> strings;
};

// The VS_VERSIONINFO resource: fixed file information, one string table for
// US English in UTF-16 (040904B0) and its translation. Empty when it would
// be longer than a resource's 16-bit length can tell.
std::string versionResource(const VersionTexts& texts);
