// UTF-16 to GBK through the system's code page 936.

#include "platform/platform.h"
#include "platform/win32/handles.h"

#include <cwchar>

namespace platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

bool utf16CharacterToGbk(std::u16string_view character, std::string& out) {
    constexpr UINT GbkCodePage = 936;
    if (character.empty() || character.size() > 2) {
        return false;
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(character.data());
    const int wideLength = static_cast<int>(character.size());
    char bytes[8];
    BOOL usedDefault = FALSE;
    // No best fit: a character GBK lacks must not turn into a look-alike or '?'.
    const int length = WideCharToMultiByte(GbkCodePage, WC_NO_BEST_FIT_CHARS, wide, wideLength,
                                           bytes, sizeof bytes, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) {
        return false;
    }
    // The way back must give the same character, or the mapping is not exact.
    wchar_t back[4];
    const int backLength =
        MultiByteToWideChar(GbkCodePage, MB_ERR_INVALID_CHARS, bytes, length, back, 4);
    if (backLength != wideLength || std::wmemcmp(back, wide, wideLength) != 0) {
        return false;
    }
    out.append(bytes, static_cast<std::size_t>(length));
    return true;
}

} // namespace platform
