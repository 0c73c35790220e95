// UTF-8 to GBK through the system's code page 936.

#include "pack_windows.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cwchar>

namespace {

constexpr UINT GbkCodePage = 936;

} // namespace

bool utf8CharacterToGbk(std::string_view character, std::string& out) {
    wchar_t wide[4];
    int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, character.data(),
                                         static_cast<int>(character.size()), wide, 4);
    if (wideLength <= 0) {
        return false;
    }
    char bytes[8];
    BOOL usedDefault = FALSE;
    // No best fit: a character GBK lacks must not turn into a look-alike or '?'.
    int length = WideCharToMultiByte(GbkCodePage, WC_NO_BEST_FIT_CHARS, wide, wideLength, bytes,
                                     sizeof bytes, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) {
        return false;
    }
    // The way back must give the same character, or the mapping is not exact.
    wchar_t back[4];
    int backLength = MultiByteToWideChar(GbkCodePage, MB_ERR_INVALID_CHARS, bytes, length, back, 4);
    if (backLength != wideLength || std::wmemcmp(back, wide, wideLength) != 0) {
        return false;
    }
    out.append(bytes, static_cast<std::size_t>(length));
    return true;
}
