// A bare window of ours with the rich edit control the studio uses, holding a
// file in the studio's font: the floor of what opening, showing and scrolling
// a script costs under Wine, for the studio's benchmark. The title says
// "loaded" once the text is in the control and shown.
//
//   bench_rich_edit FILE

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <richedit.h>

#include <cstdio>
#include <string>

namespace {

HWND edit = nullptr;

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFOCUS && edit != nullptr) {
        SetFocus(edit);
        return 0;
    }
    if (message == WM_SIZE && edit != nullptr) {
        MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    }
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring readUtf8(const char* path) {
    std::string bytes;
    if (FILE* file = std::fopen(path, "rb")) {
        char buffer[65536];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            bytes.append(buffer, got);
        std::fclose(file);
    }
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        length);
    return text;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const std::wstring text = readUtf8(commandLine);
    LoadLibraryW(L"msftedit.dll");
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"BenchRichEdit";
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowExW(0, L"BenchRichEdit", L"bench rich edit", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        100, 100, 1100, 760, nullptr, nullptr, instance, nullptr);
    RECT client;
    GetClientRect(window, &client);
    edit = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                               ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN,
                           0, 0, client.right, client.bottom, window, reinterpret_cast<HMENU>(1),
                           instance, nullptr);
    SendMessageW(edit, EM_SETTARGETDEVICE, 0, 1);
    SendMessageW(edit, EM_EXLIMITTEXT, 0, 64 << 20);
    SendMessageW(edit, EM_SETUNDOLIMIT, 0, 0);
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET;
    format.yHeight = 200;
    format.bCharSet = GB2312_CHARSET;
    lstrcpyW(format.szFaceName, L"Consolas");
    // As the studio sets it: Wine's control takes the font for text still to
    // come only as its default format.
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SETTEXTEX setting{ST_DEFAULT, 1200};
    SendMessageW(edit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&setting),
                 reinterpret_cast<LPARAM>(text.c_str()));
    SetFocus(edit);
    UpdateWindow(window);
    SetWindowTextW(window, L"bench rich edit loaded");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
