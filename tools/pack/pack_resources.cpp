// Embedding the script into a copy of the player, and reading it back.

#include "pack_windows.h"
#include "pe_image.h"
#include "program_version.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

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

// Embeds the script into `temporary`, a fresh copy of the player, and the
// trace resource when one is given; a trace resource the copy carried goes.
bool embedInto(const std::string& temporary, std::string_view script, std::string_view trace,
               std::string& error) {
    const std::vector<WORD> old = resourceLanguages(temporary, ScriptName);
    // A copy of a traced player has its resources written anew without the
    // trace: a deleted resource can stay behind otherwise (Wine keeps it).
    const bool dropTrace = !resourceLanguages(temporary, TraceName).empty();
    const std::vector<CopiedResource> kept =
        dropTrace ? resourcesToKeep(temporary) : std::vector<CopiedResource>{};
    HANDLE update = BeginUpdateResourceA(temporary.c_str(), dropTrace);
    if (update == nullptr) {
        error = "cannot update the resources of the copy: " + errorText(GetLastError());
        return false;
    }
    bool ok = true;
    for (const CopiedResource& resource : kept) {
        ok = ok && UpdateResourceA(update, idOf(resource.type, resource.typeIsNumber),
                                   idOf(resource.name, resource.nameIsNumber), resource.language,
                                   const_cast<char*>(resource.bytes.data()),
                                   static_cast<DWORD>(resource.bytes.size()));
    }
    for (WORD language : dropTrace ? std::vector<WORD>{} : old) {
        if (language != NeutralLanguage) {
            ok = ok && UpdateResourceA(update, ScriptType, ScriptName, language, nullptr, 0);
        }
    }
    if (!trace.empty()) {
        ok = ok &&
             UpdateResourceA(update, ScriptType, TraceName, NeutralLanguage,
                             const_cast<char*>(trace.data()), static_cast<DWORD>(trace.size()));
    }
    // A resource of size 0 cannot be added (Wine refuses it, and Windows takes a
    // size of 0 as a request to delete the resource): an empty script is stored
    // as one NUL byte, where the player stops reading, so it gets no lines.
    static char emptyScript = '\0';
    const bool empty = script.empty();
    void* bytes = empty ? &emptyScript : const_cast<char*>(script.data());
    ok = ok && UpdateResourceA(update, ScriptType, ScriptName, NeutralLanguage, bytes,
                               empty ? 1 : static_cast<DWORD>(script.size()));
    if (!ok) {
        error = "cannot add the script resource: " + errorText(GetLastError());
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

bool writePackedPlayer(const std::string& player, const std::string& output,
                       std::string_view script, std::string& error) {
    return writeTracedPlayer(player, output, script, "", error);
}

bool writeTracedPlayer(const std::string& player, const std::string& output,
                       std::string_view script, std::string_view trace, std::string& error) {
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
    ok = ok && embedInto(temporary, script, trace, error);
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
    return text("ProductName") == PROGRAM_PRODUCT_NAME &&
           text("FileDescription") == PROGRAM_PLAYER_DESCRIPTION;
}
