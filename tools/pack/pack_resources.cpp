// Embedding the script into a copy of the player, and reading it back.

#include "pack_windows.h"
#include "pe_image.h"
#include "program_version.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const WORD NeutralLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
char* const ScriptType = MAKEINTRESOURCEA(10); // RT_RCDATA
char* const ScriptName = MAKEINTRESOURCEA(1);
// What the studio adds to a player it starts for a run; never kept in a player
// the packer writes.
char* const TraceName = MAKEINTRESOURCEA(2);

// A module loaded for its resources only; freed with the record.
struct DataModule {
    HMODULE module = nullptr;
    explicit DataModule(const std::string& path)
        : module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;
    ~DataModule() {
        if (module != nullptr) {
            FreeLibrary(module);
        }
    }
};

BOOL CALLBACK collectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR into) {
    reinterpret_cast<std::vector<WORD>*>(into)->push_back(language);
    return TRUE;
}

// The languages under which the file already carries the resource `name`.
std::vector<WORD> resourceLanguages(const std::string& path, char* name) {
    std::vector<WORD> languages;
    DataModule data(path);
    if (data.module != nullptr) {
        EnumResourceLanguagesA(data.module, ScriptType, name, collectLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
    }
    return languages;
}

bool embeddedBytes(HMODULE module, std::string& bytes) {
    HRSRC found = FindResourceA(module, ScriptName, ScriptType);
    if (found == nullptr) {
        return false;
    }
    HGLOBAL loaded = LoadResource(module, found);
    DWORD size = SizeofResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr && size != 0) {
        return false;
    }
    bytes.assign(static_cast<const char*>(data), size);
    // The player reads the script up to its first NUL byte, and so does this.
    std::size_t nul = bytes.find('\0');
    if (nul != std::string::npos) {
        bytes.resize(nul);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    char full[MAX_PATH * 4];
    char* name = nullptr;
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, &name);
    if (length == 0 || length >= sizeof full) {
        return ".";
    }
    if (name == nullptr) {
        return std::string(full, length); // the path ends in a separator
    }
    return std::string(full, static_cast<std::size_t>(name - full));
}

// One resource of a module, copied out: its type and name are numbers or texts.
struct CopiedResource {
    std::string type;
    std::string name;
    bool typeIsNumber = false;
    bool nameIsNumber = false;
    WORD language = 0;
    std::string bytes;
};

// A resource's type or name as the enumeration gives it, kept past the module.
void keepId(LPCSTR id, std::string& text, bool& isNumber) {
    isNumber = IS_INTRESOURCE(id);
    text = isNumber ? std::to_string(reinterpret_cast<ULONG_PTR>(id)) : std::string(id);
}

LPCSTR idOf(const std::string& text, bool isNumber) {
    return isNumber ? MAKEINTRESOURCEA(std::stoul(text)) : text.c_str();
}

struct Collection {
    HMODULE module;
    std::vector<CopiedResource>* resources;
    CopiedResource current;
};

BOOL CALLBACK collectLanguageOf(HMODULE module, LPCSTR, LPCSTR, WORD language, LONG_PTR into) {
    auto* collection = reinterpret_cast<Collection*>(into);
    CopiedResource copy = collection->current;
    copy.language = language;
    HRSRC found = FindResourceExA(module, idOf(copy.type, copy.typeIsNumber),
                                  idOf(copy.name, copy.nameIsNumber), language);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data != nullptr) {
        copy.bytes.assign(static_cast<const char*>(data), SizeofResource(module, found));
        collection->resources->push_back(std::move(copy));
    }
    return TRUE;
}

BOOL CALLBACK collectName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR into) {
    auto* collection = reinterpret_cast<Collection*>(into);
    keepId(name, collection->current.name, collection->current.nameIsNumber);
    EnumResourceLanguagesA(module, type, name, collectLanguageOf, into);
    return TRUE;
}

BOOL CALLBACK collectType(HMODULE module, LPSTR type, LONG_PTR into) {
    auto* collection = reinterpret_cast<Collection*>(into);
    keepId(type, collection->current.type, collection->current.typeIsNumber);
    EnumResourceNamesA(module, type, collectName, into);
    return TRUE;
}

// Every resource of the file but the script and the trace: what a copy of a
// player keeps when its resources are written anew.
std::vector<CopiedResource> resourcesToKeep(const std::string& path) {
    std::vector<CopiedResource> resources;
    DataModule data(path);
    if (data.module == nullptr) {
        return resources;
    }
    Collection collection{data.module, &resources, {}};
    EnumResourceTypesA(data.module, collectType, reinterpret_cast<LONG_PTR>(&collection));
    std::erase_if(resources, [](const CopiedResource& resource) {
        return resource.typeIsNumber && resource.type == "10" && resource.nameIsNumber &&
               (resource.name == "1" || resource.name == "2");
    });
    return resources;
}

bool isType(const CopiedResource& resource, const char* type) {
    return resource.typeIsNumber && resource.type == type;
}

// Embeds the script into `temporary`, a fresh copy of the player, with the
// exe's own resources and the trace resource when one is given. The
// resources are written anew, from a copy of those the player keeps: a
// deleted resource can stay behind otherwise (Wine keeps it).
bool embedInto(const std::string& temporary, std::string_view script, std::string_view trace,
               const ExeResources& exe, std::string& error) {
    std::vector<CopiedResource> kept = resourcesToKeep(temporary);
    // The icon group takes the place of the player's first, under its name.
    CopiedResource group{"14", "101", true, true, NeutralLanguage, {}};
    for (const CopiedResource& resource : kept) {
        if (isType(resource, "14")) {
            group.name = resource.name;
            group.nameIsNumber = resource.nameIsNumber;
            group.language = resource.language;
            break;
        }
    }
    WORD versionLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    for (const CopiedResource& resource : kept) {
        if (isType(resource, "16")) {
            versionLanguage = resource.language;
            break;
        }
    }
    const bool newIcon = !exe.icons.empty();
    std::erase_if(kept, [&](const CopiedResource& resource) {
        return isType(resource, "16") ||
               (newIcon && (isType(resource, "3") || isType(resource, "14")));
    });
    HANDLE update = BeginUpdateResourceA(temporary.c_str(), TRUE);
    if (update == nullptr) {
        error = "cannot update the resources of the copy: " + errorText(GetLastError());
        return false;
    }
    auto put = [&](LPCSTR type, LPCSTR name, WORD language, std::string_view bytes) {
        return UpdateResourceA(update, type, name, language, const_cast<char*>(bytes.data()),
                               static_cast<DWORD>(bytes.size())) != 0;
    };
    bool ok = true;
    for (const CopiedResource& resource : kept) {
        ok = ok &&
             put(idOf(resource.type, resource.typeIsNumber),
                 idOf(resource.name, resource.nameIsNumber), resource.language, resource.bytes);
    }
    if (newIcon) {
        for (std::size_t i = 0; i < exe.icons.size(); ++i) {
            ok = ok && put(MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(i + 1), group.language,
                           exe.icons[i].bytes);
        }
        ok = ok && put(MAKEINTRESOURCEA(14), idOf(group.name, group.nameIsNumber), group.language,
                       iconGroupResource(exe.icons, 1));
    }
    if (!exe.version.empty()) {
        ok = ok && put(MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1), versionLanguage, exe.version);
    }
    if (!trace.empty()) {
        ok = ok && put(ScriptType, TraceName, NeutralLanguage, trace);
    }
    // A resource of size 0 cannot be added (Wine refuses it, and Windows takes a
    // size of 0 as a request to delete the resource): an empty script is stored
    // as one NUL byte, where the player stops reading, so it gets no lines.
    ok = ok && put(ScriptType, ScriptName, NeutralLanguage,
                   script.empty() ? std::string_view("", 1) : script);
    if (!ok) {
        error = "cannot add the resources: " + errorText(GetLastError());
        EndUpdateResourceA(update, TRUE);
        return false;
    }
    if (!EndUpdateResourceA(update, FALSE)) {
        error = "cannot write the resources of the copy: " + errorText(GetLastError());
        return false;
    }
    // Read it back as the player will, before the copy takes the output's name.
    DataModule data(temporary);
    std::string back;
    if (data.module == nullptr || !embeddedBytes(data.module, back) || back != script) {
        error = "the copy does not give the script back";
        return false;
    }
    return true;
}

bool writeExeFile(const std::string& player, const std::string& output, std::string_view script,
                  std::string_view trace, const ExeResources& resources, std::string& error);

std::u16string wide(const std::string& gbk) {
    if (gbk.empty()) {
        return {};
    }
    const int length = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, gbk.data(),
                                           static_cast<int>(gbk.size()), nullptr, 0);
    std::u16string text(static_cast<std::size_t>(std::max(length, 0)), u'\0');
    MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, gbk.data(), static_cast<int>(gbk.size()),
                        reinterpret_cast<wchar_t*>(text.data()), length);
    return text;
}

// Writes `bytes` over the file `path`.
bool writeFileBytes(const std::string& path, std::string_view bytes, std::string& error) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot write " + path + ": " + errorText(GetLastError());
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
        written == bytes.size();
    if (!ok) {
        error = "cannot write " + path + ": " + errorText(GetLastError());
    }
    CloseHandle(file);
    return ok;
}

// The copy as the system's resource update left it, made an unsigned image
// with the checksum of its own bytes.
bool finishCopy(const std::string& temporary, std::string& error) {
    FileRead copy = readWholeFile(temporary);
    if (!copy.ok) {
        error = "cannot read the copy back: " + copy.error;
        return false;
    }
    if (!executableProblem(copy.bytes).empty()) {
        error = "the copy is no executable after its resources were written";
        return false;
    }
    finishImage(copy.bytes);
    return writeFileBytes(temporary, copy.bytes, error);
}

} // namespace

std::string folderOfPath(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string nameOfPath(const std::string& path) {
    std::string name = path.substr(folderOfPath(path).size());
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

ExePreparation prepareExe(const ExeSettings& settings, const std::string& folder,
                          const std::string& name, UiLanguage language) {
    ExePreparation prepared;
    auto label = [&](ExeField field) {
        return std::string(uiText(ExeFields[static_cast<int>(field)].label, language));
    };
    const std::string& icon = settings[ExeField::Icon];
    if (!icon.empty()) {
        const bool absolute =
            icon.size() > 1 && (icon[1] == ':' || icon[0] == '\\' || icon[0] == '/');
        prepared.iconPath = absolute ? icon : folder + icon;
        FileRead file = readWholeFile(prepared.iconPath);
        if (!file.ok) {
            prepared.error = formatUiText(uiText(TextId::PackCannotRead, language),
                                          {prepared.iconPath, file.error});
            return prepared;
        }
        IconFile parsed = parseIconFile(file.bytes, language);
        if (!parsed.problem.empty()) {
            prepared.error = formatUiText(uiText(TextId::PackNotIcon, language),
                                          {prepared.iconPath, parsed.problem});
            return prepared;
        }
        prepared.resources.icons = std::move(parsed.images);
    }
    ExeSettings texts = settings;
    auto fill = [&](ExeField field, const std::string& value) {
        if (texts[field].empty()) {
            texts[field] = value;
        }
    };
    fill(ExeField::Description, name);
    fill(ExeField::Product, name);
    fill(ExeField::FileVersion, "1.0.0.0");
    fill(ExeField::ProductVersion, texts[ExeField::FileVersion]);
    fill(ExeField::OriginalName, name + ".exe");
    VersionTexts version;
    version.fileNumbers = versionNumbers(texts[ExeField::FileVersion]);
    version.productNumbers = versionNumbers(texts[ExeField::ProductVersion]);
    const std::pair<const char16_t*, ExeField> keys[] = {
        {u"CompanyName", ExeField::Company},           {u"FileDescription", ExeField::Description},
        {u"FileVersion", ExeField::FileVersion},       {u"LegalCopyright", ExeField::Copyright},
        {u"OriginalFilename", ExeField::OriginalName}, {u"ProductName", ExeField::Product},
        {u"ProductVersion", ExeField::ProductVersion},
    };
    for (const auto& [key, field] : keys) {
        if (texts[field].empty()) {
            continue;
        }
        const std::u16string value = wide(texts[field]);
        if (value.empty()) {
            prepared.error = formatUiText(uiText(TextId::ExeNotGbk, language), {label(field)});
            return prepared;
        }
        version.strings.emplace_back(key, value);
        if (key == std::u16string_view(u"FileDescription")) {
            version.strings.emplace_back(u"InternalName", wide(name.empty() ? "player" : name));
        }
    }
    // What tells a packed exe from any other program that carries the resource.
    version.strings.emplace_back(u"Player", wide(PROGRAM_PRODUCT_NAME " " PROGRAM_VERSION));
    prepared.resources.version = versionResource(version);
    if (prepared.resources.version.empty()) {
        prepared.error = formatUiText(uiText(TextId::ExeTextTooLong, language),
                                      {label(ExeField::Description), "1000"});
        return prepared;
    }
    for (const ExeFieldRow& row : ExeFields) {
        if (row.field != ExeField::Icon && !settings[row.field].empty()) {
            prepared.applied.emplace_back(label(row.field), settings[row.field]);
        }
    }
    prepared.ok = true;
    return prepared;
}

bool writePackedPlayer(const std::string& player, const std::string& output,
                       std::string_view script, std::string& error) {
    // The script's own setting lines, a relative icon beside the output.
    const ExeSettingsRead lines = readExeSettings(script);
    if (!lines.problems.empty()) {
        error = "line " + std::to_string(lines.problems.front().fileLine) + ": " +
                lines.problems.front().message;
        return false;
    }
    ExePreparation prepared =
        prepareExe(lines.settings, folderOfPath(output), nameOfPath(output), UiLanguage::English);
    if (!prepared.ok) {
        error = prepared.error;
        return false;
    }
    return writeExeFile(player, output, script, "", prepared.resources, error);
}

bool writeTracedPlayer(const std::string& player, const std::string& output,
                       std::string_view script, std::string_view trace, std::string& error) {
    ExePreparation prepared = prepareExe({}, "", nameOfPath(output), UiLanguage::English);
    if (!prepared.ok) {
        error = prepared.error;
        return false;
    }
    return writeExeFile(player, output, script, trace, prepared.resources, error);
}

bool writeExePlayer(const std::string& player, const std::string& output, std::string_view script,
                    const ExeResources& resources, std::string& error) {
    return writeExeFile(player, output, script, "", resources, error);
}

namespace {

bool writeExeFile(const std::string& player, const std::string& output, std::string_view script,
                  std::string_view trace, const ExeResources& resources, std::string& error) {
    const std::string folder = folderOf(output);
    char temporary[MAX_PATH * 4];
    if (GetTempFileNameA(folder.c_str(), "pck", 0, temporary) == 0) {
        error = "cannot create a temporary file in " + folder + ": " + errorText(GetLastError());
        return false;
    }
    // The copy starts without the player's certificate table: a signature
    // cannot survive new resources, and the system's resource update would
    // carry the stale table along.
    FileRead image = readWholeFile(player);
    bool ok = image.ok && executableProblem(image.bytes).empty();
    if (!ok) {
        error = "cannot copy the player " + player + ": " +
                (image.ok ? executableProblem(image.bytes) : image.error);
    }
    if (ok) {
        finishImage(image.bytes);
        ok = writeFileBytes(temporary, image.bytes, error);
    }
    ok = ok && embedInto(temporary, script, trace, resources, error);
    ok = ok && finishCopy(temporary, error);
    if (ok && !MoveFileExA(temporary, output.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        error = "cannot replace " + output + ": " + errorText(GetLastError());
        ok = false;
    }
    if (!ok) {
        if (error.empty()) {
            error = "cannot prepare the copy: " + errorText(GetLastError());
        }
        DeleteFileA(temporary);
    }
    return ok;
}

} // namespace

bool carriesTrace(const std::string& path) {
    return !resourceLanguages(path, TraceName).empty();
}

bool readEmbeddedScript(const std::string& packed, std::string& script, std::string& error) {
    DataModule data(packed);
    if (data.module == nullptr) {
        error = "cannot load " + packed + ": " + errorText(GetLastError());
        return false;
    }
    if (!embeddedBytes(data.module, script)) {
        error = packed + " carries no script";
        return false;
    }
    return true;
}

bool isPackedPlayer(const std::string& path) {
    FileRead file = readWholeFile(path);
    if (!file.ok || !executableProblem(file.bytes).empty()) {
        return false;
    }
    {
        DataModule data(path);
        std::string script;
        if (data.module == nullptr || !embeddedBytes(data.module, script)) {
            return false;
        }
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
        return false;
    }
    auto text = [&](const char* name) {
        void* value = nullptr;
        UINT length = 0;
        const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueA(block.data(), key.c_str(), &value, &length) || length == 0) {
            return std::string();
        }
        return std::string(static_cast<const char*>(value));
    };
    return text("Player").starts_with(PROGRAM_PRODUCT_NAME " ") ||
           (text("ProductName") == PROGRAM_PRODUCT_NAME &&
            text("FileDescription") == PROGRAM_PLAYER_DESCRIPTION);
}
