#include "exe_settings.h"

#include "pack_checks.h"

#include <algorithm>

const std::array<ExeFieldRow, ExeFieldCount> ExeFields = {{
    {ExeField::Icon, "Icon", "--icon", TextId::ExeLabelIcon},
    {ExeField::Description, "Description", "--description", TextId::ExeLabelDescription},
    {ExeField::Product, "Product", "--product", TextId::ExeLabelProduct},
    {ExeField::Company, "Company", "--company", TextId::ExeLabelCompany},
    {ExeField::Copyright, "Copyright", "--copyright", TextId::ExeLabelCopyright},
    {ExeField::FileVersion, "File Version", "--file-version", TextId::ExeLabelFileVersion},
    {ExeField::ProductVersion, "Product Version", "--product-version",
     TextId::ExeLabelProductVersion},
    {ExeField::OriginalName, "Original Name", "--original-name", TextId::ExeLabelOriginalName},
}};

namespace {

// Each text of the version resource at most this many bytes: eight of them
// in UTF-16 stay far below the 64 KB a resource's length can tell.
constexpr std::size_t LongestText = 1000;

char folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool startsFolded(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (folded(text[i]) != folded(prefix[i])) {
            return false;
        }
    }
    return true;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

std::string say(TextId id, UiLanguage language, std::initializer_list<std::string_view> args) {
    return formatUiText(uiText(id, language), args);
}

const char* label(ExeField field, UiLanguage language) {
    return uiText(ExeFields[static_cast<int>(field)].label, language);
}

bool isGbk(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            continue;
        }
        if (lead == 0x80 || lead == 0xFF || i + 1 >= text.size()) {
            return false;
        }
        const auto trail = static_cast<unsigned char>(text[++i]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF) {
            return false;
        }
    }
    return true;
}

bool readNumbers(std::string_view version, std::array<std::uint16_t, 4>& numbers) {
    std::size_t part = 0;
    std::uint32_t value = 0;
    std::size_t digits = 0;
    for (std::size_t i = 0; i <= version.size(); ++i) {
        const char c = i < version.size() ? version[i] : '.';
        if (c >= '0' && c <= '9') {
            value = value * 10 + static_cast<std::uint32_t>(c - '0');
            if (++digits > 5 || value > 0xFFFF) {
                return false;
            }
        } else if (c == '.' && digits > 0 && part < 4) {
            numbers[part++] = static_cast<std::uint16_t>(value);
            value = 0;
            digits = 0;
        } else {
            return false;
        }
    }
    return part == 4;
}

// The setting a line holds: its field, or -1 when the line is no setting line.
int settingOf(std::string_view line, std::string_view& value) {
    const LineParse parse = parseScriptLine(line);
    if (!parse.matched || parse.opcode != Opcode::Rem) {
        return -1;
    }
    // The parameter text ends the line; `value` points into the line itself.
    std::string_view rest = trimmed(line.substr(line.size() - parse.parameterText.size()));
    if (!startsFolded(rest, "exe ")) {
        return -1;
    }
    rest = trimmed(rest.substr(4));
    for (const ExeFieldRow& row : ExeFields) {
        const std::string_view name = row.lineName;
        if (!startsFolded(rest, name)) {
            continue;
        }
        std::string_view after = trimmed(rest.substr(name.size()));
        if (!after.empty() && after.front() == ':') {
            value = trimmed(after.substr(1));
            return static_cast<int>(row.field);
        }
    }
    return -1;
}

void putWord(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void putDword(std::string& out, std::uint32_t value) {
    putWord(out, value & 0xFFFF);
    putWord(out, value >> 16);
}

void putText(std::string& out, std::u16string_view text) {
    for (char16_t c : text) {
        putWord(out, c);
    }
    putWord(out, 0);
}

void align(std::string& out) {
    while (out.size() % 4 != 0) {
        out.push_back('\0');
    }
}

// One node of a version resource: length, value length, type, key, value,
// children, each on a 4-byte boundary.
std::string versionNode(std::u16string_view key, std::string_view value, std::uint16_t valueLength,
                        bool text, std::string_view children) {
    std::string node;
    putWord(node, 0); // the length, set below
    putWord(node, valueLength);
    putWord(node, text ? 1 : 0);
    putText(node, key);
    align(node);
    node += value;
    align(node);
    node += children;
    const std::size_t length = node.size();
    node[0] = static_cast<char>(length & 0xFF);
    node[1] = static_cast<char>((length >> 8) & 0xFF);
    return node;
}

std::uint32_t high(const std::array<std::uint16_t, 4>& n) {
    return static_cast<std::uint32_t>(n[0]) << 16 | n[1];
}

std::uint32_t low(const std::array<std::uint16_t, 4>& n) {
    return static_cast<std::uint32_t>(n[2]) << 16 | n[3];
}

std::uint32_t readLittle(std::string_view bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    }
    return value;
}

} // namespace

std::string exeSettingProblem(ExeField field, std::string_view value, UiLanguage language) {
    const std::string name = label(field, language);
    if (value.empty()) {
        return say(TextId::ExeNoValue, language, {name});
    }
    if (field == ExeField::FileVersion || field == ExeField::ProductVersion) {
        std::array<std::uint16_t, 4> numbers{};
        return readNumbers(value, numbers) ? ""
                                           : say(TextId::ExeBadVersion, language, {name, value});
    }
    if (std::any_of(value.begin(), value.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; })) {
        return say(TextId::ExeControlCharacter, language, {name});
    }
    if (value.size() > LongestText) {
        return say(TextId::ExeTextTooLong, language, {name, std::to_string(LongestText)});
    }
    if (!isGbk(value)) {
        return say(TextId::ExeNotGbk, language, {name});
    }
    if (field == ExeField::OriginalName && value.find_first_of("\\/:*?\"<>|") != value.npos) {
        return say(TextId::ExeNotFileName, language, {name, value});
    }
    return "";
}

std::array<std::uint16_t, 4> versionNumbers(std::string_view version) {
    std::array<std::uint16_t, 4> numbers{};
    if (!readNumbers(version, numbers)) {
        numbers = {};
    }
    return numbers;
}

ExeSettingsRead readExeSettings(std::string_view script, UiLanguage language) {
    ExeSettingsRead read;
    for (const ScriptLine& line : scriptLines(script)) {
        std::string_view value;
        const int field = settingOf(line.text, value);
        if (field < 0) {
            continue;
        }
        const std::string problem =
            exeSettingProblem(static_cast<ExeField>(field), value, language);
        if (!problem.empty()) {
            read.problems.push_back({line.fileLine, problem});
            continue;
        }
        read.settings.values[field] = std::string(value);
        read.lines[field] = line.fileLine;
    }
    return read;
}

std::string writeExeSettings(std::string_view script, const ExeSettings& settings) {
    // The script's lines, each with its line feed (the last one may have none).
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < script.size();) {
        const std::size_t end = script.find('\n', start);
        const std::size_t next = end == script.npos ? script.size() : end + 1;
        lines.push_back(script.substr(start, next - start));
        start = next;
    }
    const bool crlf = !lines.empty() && lines[0].ends_with("\r\n");
    const std::string lineEnd = crlf ? "\r\n" : "\n";
    auto fieldOf = [](std::string_view line) {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.remove_suffix(1);
        }
        std::string_view value;
        return settingOf(line, value);
    };
    std::array<bool, ExeFieldCount> present{};
    for (std::string_view line : lines) {
        const int field = fieldOf(line);
        if (field >= 0) {
            present[field] = true;
        }
    }
    std::string out;
    auto add = [&](std::string_view text) {
        if (!out.empty() && out.back() != '\n') {
            out += lineEnd;
        }
        out += text;
    };
    auto settingLine = [&](int field) {
        return std::string("REM Exe ") + ExeFields[field].lineName + ": " + settings.values[field] +
               lineEnd;
    };
    std::array<bool, ExeFieldCount> written{};
    for (std::size_t i = 0; i <= lines.size(); ++i) {
        if (i < lines.size()) {
            const int field = fieldOf(lines[i]);
            if (field < 0) {
                add(lines[i]);
            } else if (!written[field] && !settings.values[field].empty()) {
                add(settingLine(field));
                written[field] = true;
            }
        }
        if (i == 0) {
            // New settings come right after the first line.
            for (int field = 0; field < ExeFieldCount; ++field) {
                if (!present[field] && !settings.values[field].empty()) {
                    add(settingLine(field));
                    written[field] = true;
                }
            }
        }
    }
    return out;
}

IconFile parseIconFile(std::string_view bytes, UiLanguage language) {
    IconFile icon;
    if (bytes.size() < 6 || readLittle(bytes, 0, 2) != 0 || readLittle(bytes, 2, 2) != 1) {
        icon.problem = uiText(TextId::IconNoHeader, language);
        return icon;
    }
    const std::size_t count = readLittle(bytes, 4, 2);
    if (count == 0) {
        icon.problem = uiText(TextId::IconNoImages, language);
        return icon;
    }
    if (bytes.size() < 6 + 16 * count) {
        icon.problem = uiText(TextId::IconNoHeader, language);
        return icon;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        const std::size_t size = readLittle(bytes, entry + 8, 4);
        const std::size_t offset = readLittle(bytes, entry + 12, 4);
        const std::string number = std::to_string(i + 1);
        if (size < 8 || offset > bytes.size() || bytes.size() - offset < size) {
            icon.problem = say(TextId::IconImageOutside, language, {number});
            return {{}, icon.problem};
        }
        IconImage image;
        image.width = static_cast<std::uint8_t>(bytes[entry]);
        image.height = static_cast<std::uint8_t>(bytes[entry + 1]);
        image.colours = static_cast<std::uint8_t>(bytes[entry + 2]);
        image.planes = static_cast<std::uint16_t>(readLittle(bytes, entry + 4, 2));
        image.bitCount = static_cast<std::uint16_t>(readLittle(bytes, entry + 6, 2));
        image.bytes = std::string(bytes.substr(offset, size));
        const bool bitmap = readLittle(image.bytes, 0, 4) == 40;
        const bool png = image.bytes.starts_with("\x89PNG\r\n\x1A\n");
        if (!bitmap && !png) {
            icon.problem = say(TextId::IconImageKind, language, {number});
            return {{}, icon.problem};
        }
        icon.images.push_back(std::move(image));
    }
    return icon;
}

std::string iconGroupResource(const std::vector<IconImage>& images, std::uint16_t firstId) {
    std::string group;
    putWord(group, 0);
    putWord(group, 1);
    putWord(group, static_cast<std::uint32_t>(images.size()));
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        group.push_back(static_cast<char>(image.width));
        group.push_back(static_cast<char>(image.height));
        group.push_back(static_cast<char>(image.colours));
        group.push_back('\0');
        putWord(group, image.planes);
        putWord(group, image.bitCount);
        putDword(group, static_cast<std::uint32_t>(image.bytes.size()));
        putWord(group, static_cast<std::uint32_t>(firstId + i));
    }
    return group;
}

std::string versionResource(const VersionTexts& texts) {
    std::string strings;
    for (const auto& [key, value] : texts.strings) {
        std::string bytes;
        putText(bytes, value);
        strings += versionNode(key, bytes, static_cast<std::uint16_t>(value.size() + 1), true, "");
    }
    const std::string table = versionNode(u"040904B0", "", 0, true, strings);
    const std::string stringInfo = versionNode(u"StringFileInfo", "", 0, true, table);
    std::string translation;
    putWord(translation, 0x0409);
    putWord(translation, 1200);
    const std::string var = versionNode(u"Translation", translation, 4, false, "");
    const std::string varInfo = versionNode(u"VarFileInfo", "", 0, true, var);

    std::string fixed;
    putDword(fixed, 0xFEEF04BD); // the signature
    putDword(fixed, 0x00010000); // the structure's version
    putDword(fixed, high(texts.fileNumbers));
    putDword(fixed, low(texts.fileNumbers));
    putDword(fixed, high(texts.productNumbers));
    putDword(fixed, low(texts.productNumbers));
    putDword(fixed, 0x3F);    // the flags' mask
    putDword(fixed, 0);       // no flags
    putDword(fixed, 0x40004); // VOS_NT_WINDOWS32
    putDword(fixed, 1);       // VFT_APP
    putDword(fixed, 0);
    putDword(fixed, 0); // no date: the same settings give the same bytes
    putDword(fixed, 0);
    // Every node lies inside this one: when its length fits, all do.
    std::string whole =
        versionNode(u"VS_VERSION_INFO", fixed, static_cast<std::uint16_t>(fixed.size()), false,
                    stringInfo + varInfo);
    return whole.size() > 0xFFFF ? std::string() : whole;
}
