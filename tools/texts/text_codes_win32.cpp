// The code-page conversions through the system: GBK is always code page 936,
// never the ANSI code page, which is the user's setting.

#include "text_codes.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cwchar>

namespace {

constexpr UINT GbkCodePage = 936;

std::wstring toWide(UINT codePage, DWORD flags, std::string_view bytes, bool& ok) {
    ok = true;
    if (bytes.empty()) {
        return {};
    }
    const int length = MultiByteToWideChar(codePage, flags, bytes.data(),
                                           static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0) {
        ok = false;
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                        length);
    return wide;
}

// `lost` (when given) says whether a character had no exact form.
std::string toBytes(UINT codePage, DWORD flags, std::wstring_view text, BOOL* lost) {
    if (text.empty()) {
        return {};
    }
    const int length = WideCharToMultiByte(
        codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, lost);
    std::string bytes(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, lost);
    return bytes;
}

} // namespace

std::u16string toU16(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

std::wstring fromU16(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring fromGbk(std::string_view gbk) {
    bool ok = false;
    return toWide(GbkCodePage, 0, gbk, ok);
}

std::string toGbk(std::wstring_view text) {
    return toBytes(GbkCodePage, 0, text, nullptr);
}

std::wstring fromUtf8(std::string_view utf8) {
    bool ok = false;
    return toWide(CP_UTF8, 0, utf8, ok);
}

std::string toUtf8(std::wstring_view text) {
    return toBytes(CP_UTF8, 0, text, nullptr);
}

std::wstring fromAnsi(std::string_view ansi) {
    bool ok = false;
    return toWide(CP_ACP, 0, ansi, ok);
}

bool gbkToWide(std::string_view gbk, std::wstring& wide) {
    bool ok = false;
    wide = toWide(GbkCodePage, MB_ERR_INVALID_CHARS, gbk, ok);
    return ok;
}

bool wideToGbk(std::wstring_view text, std::string& out) {
    BOOL lost = FALSE;
    out = toBytes(GbkCodePage, WC_NO_BEST_FIT_CHARS, text, &lost);
    return !lost;
}

bool wideToAnsi(std::wstring_view text, std::string& out) {
    BOOL lost = FALSE;
    out = toBytes(CP_ACP, WC_NO_BEST_FIT_CHARS, text, &lost);
    return !lost;
}

bool gbkToUtf8(std::string_view gbk, std::string& utf8) {
    std::wstring wide;
    if (!gbkToWide(gbk, wide)) {
        return false;
    }
    utf8 = toUtf8(wide);
    return true;
}

bool utf8CharacterToGbk(std::string_view character, std::string& out) {
    wchar_t wide[4];
    const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, character.data(),
                                               static_cast<int>(character.size()), wide, 4);
    if (wideLength <= 0) {
        return false;
    }
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
    if (backLength != wideLength ||
        std::wmemcmp(back, wide, static_cast<std::size_t>(wideLength)) != 0) {
        return false;
    }
    out.append(bytes, static_cast<std::size_t>(length));
    return true;
}
