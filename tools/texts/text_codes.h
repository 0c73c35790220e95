#pragma once
// The tools' text conversions in one place: UTF-8 and UTF-16 (std::u16string,
// as the studio's core keeps the editor's text), and on Windows GBK (code page
// 936) and the ANSI code page to and from the system's UTF-16 (std::wstring).
// The UTF-8 and UTF-16 part needs no Windows and is tested on the host.

#include <string>
#include <string_view>

// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD, as Windows converts it.
std::string utf16ToUtf8(std::u16string_view text);
// UTF-8 to UTF-16. A byte that starts no valid sequence becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);

#ifdef _WIN32
// The same between std::wstring (Windows' UTF-16) and std::u16string.
std::u16string toU16(std::wstring_view text);
std::wstring fromU16(std::u16string_view text);

// Lenient: what does not convert becomes the code page's default character.
std::wstring fromGbk(std::string_view gbk);
std::string toGbk(std::wstring_view text);
std::wstring fromUtf8(std::string_view utf8);
std::string toUtf8(std::wstring_view text);
std::wstring fromAnsi(std::string_view ansi);

// Strict: false when a byte is not GBK (MB_ERR_INVALID_CHARS).
bool gbkToWide(std::string_view gbk, std::wstring& wide);
// Strict: false when a character has no exact form in the code page (no
// best fit, WC_NO_BEST_FIT_CHARS); `out` then holds what the system gave.
bool wideToGbk(std::wstring_view text, std::string& out);
bool wideToAnsi(std::wstring_view text, std::string& out);
// One UTF-8 character as GBK, exactly or not at all: false for a character
// GBK has no form for or one that would not come back as itself (the
// GbkConverter of pack_text.h).
bool utf8CharacterToGbk(std::string_view character, std::string& out);
// A whole GBK text as UTF-8; false when the bytes are not valid GBK.
bool gbkToUtf8(std::string_view gbk, std::string& utf8);
#endif
