// A bare program that types its command line as raw key events: for each
// letter or digit a key-down and a key-up of the key that names it, by
// keybd_event, as fast as it can. The floor of the typing speed.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR text, int) {
    for (const char* at = text; *at != '\0'; ++at) {
        // The virtual keys of the letters are their capitals; digits are themselves.
        const char character = *at >= 'a' && *at <= 'z' ? static_cast<char>(*at - 'a' + 'A') : *at;
        const auto key = static_cast<BYTE>(character);
        keybd_event(key, 0, 0, 0);
        keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    }
    return 0;
}
