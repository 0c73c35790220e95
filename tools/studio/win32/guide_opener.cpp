// Help > User's guide: the guide in the studio's language, opened by the
// program the system opens such files with, or by Notepad where none is set
// (Windows has none for .md files out of the box).

#include "front_end.h"

#include "guide_place.h"
#include "pack_windows.h"

#include <shellapi.h>

namespace {

bool isFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// ShellExecute's result: above 32 when the program started.
bool opened(HINSTANCE result) {
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

void openGuide() {
    const std::vector<std::u16string> candidates =
        guideCandidates(toU16(directoryOfProgram()), studio.workspace.language);
    for (const std::u16string& candidate : candidates) {
        const std::wstring path = fromU16(candidate);
        if (!isFile(path)) {
            continue;
        }
        HINSTANCE result =
            ShellExecuteW(studio.window, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        if (!opened(result)) {
            const std::wstring quoted = L"\"" + path + L"\"";
            result = ShellExecuteW(studio.window, L"open", L"notepad.exe", quoted.c_str(), nullptr,
                                   SW_SHOWNORMAL);
        }
        if (opened(result)) {
            setState(fromGbk(formatUiText(text(TextId::StudioGuideOpened), {toGbk(path)})));
        } else {
            const std::wstring message = fromGbk(formatUiText(
                text(TextId::StudioGuideNotOpened),
                {toGbk(path),
                 errorText(static_cast<unsigned long>(reinterpret_cast<INT_PTR>(result)))}));
            setState(message);
            showBox(message, MB_OK | MB_ICONERROR);
        }
        return;
    }
    std::string places;
    for (const std::u16string& candidate : candidates) {
        places += "\r\n" + toGbk(fromU16(candidate));
    }
    const std::wstring message = fromGbk(formatUiText(text(TextId::StudioGuideNotFound), {places}));
    setState(fromGbk(text(TextId::StudioGuideMissing)));
    showBox(message, MB_OK | MB_ICONINFORMATION);
}
