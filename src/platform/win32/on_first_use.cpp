#include "platform/win32/on_first_use.h"

namespace platform::win32 {

namespace {

constexpr WORD CommonControlsManifest = 2;

HMODULE shellLibrary() {
    // shell32.dll is one of the system's known DLLs: it always comes from the
    // system folder. Loaded once, for the rest of the process.
    static const HMODULE library = LoadLibraryA("shell32.dll");
    return library;
}

HANDLE commonControlsContext() {
    static const HANDLE context = [] {
        ACTCTXA request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.hModule = GetModuleHandleA(nullptr);
        request.lpResourceName = MAKEINTRESOURCEA(CommonControlsManifest);
        return CreateActCtxA(&request);
    }();
    return context;
}

} // namespace

FARPROC shellProcedure(const char* name) {
    HMODULE library = shellLibrary();
    return library != nullptr ? GetProcAddress(library, name) : nullptr;
}

ULONG_PTR enterCommonControls() {
    HANDLE context = commonControlsContext();
    ULONG_PTR cookie = 0;
    if (context == INVALID_HANDLE_VALUE || !ActivateActCtx(context, &cookie))
        return 0;
    return cookie;
}

void leaveCommonControls(ULONG_PTR cookie) {
    if (cookie != 0)
        DeactivateActCtx(0, cookie);
}

} // namespace platform::win32
