#pragma once
// GBK conversions for the studio's tests, over glibc's iconv: they stand in for
// code page 936, which the studio uses on Windows.

#include <iconv.h>

#include <string>
#include <string_view>

namespace studio_test {

// The whole of `input` converted between two iconv encodings; false when
// iconv refuses any of it.
inline bool convertWith(const char* to, const char* from, std::string_view input,
                        std::string& output) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    std::string buffer(input.size() * 4 + 8, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* out = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0) {
        return false;
    }
    output.append(buffer.data(), buffer.size() - outLeft);
    return true;
}

// A GbkConverter: one UTF-8 character to GBK.
inline bool utf8CharacterToGbk(std::string_view character, std::string& out) {
    return convertWith("GBK", "UTF-8", character, out);
}

// A GbkToUtf8: a whole GBK text to UTF-8.
inline bool gbkToUtf8(std::string_view gbk, std::string& utf8) {
    utf8.clear();
    return convertWith("UTF-8", "GBK", gbk, utf8);
}

inline std::string utf8ToGbk(std::string_view utf8) {
    std::string gbk;
    convertWith("GBK", "UTF-8", utf8, gbk);
    return gbk;
}

inline std::string toUtf8(std::string_view gbk) {
    std::string utf8;
    gbkToUtf8(gbk, utf8);
    return utf8;
}

} // namespace studio_test
