// A stand-in player for the tests of pack --run: it writes its own path to the
// file named by E2E_RUN_TRACE and ends with the size of its script resource
// (type 10, id 1) as its exit code, 1000 when it carries none.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

int main() {
    char self[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    char trace[MAX_PATH * 4];
    if (GetEnvironmentVariableA("E2E_RUN_TRACE", trace, sizeof trace) > 0) {
        HANDLE file = CreateFileA(trace, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, self, length, &written, nullptr);
        CloseHandle(file);
    }
    HRSRC script = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10));
    return script == nullptr ? 1000 : static_cast<int>(SizeofResource(nullptr, script));
}
