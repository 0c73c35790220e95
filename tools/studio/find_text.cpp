// Find and replace in the editor's text.

#include "find_text.h"

#include <cwctype>

bool matchesAt(const std::u16string& text, std::size_t at, const std::u16string& what,
               bool matchCase) {
    if (at > text.size() || what.size() > text.size() - at) {
        return false;
    }
    for (std::size_t i = 0; i < what.size(); ++i) {
        auto a = static_cast<std::wint_t>(text[at + i]);
        auto b = static_cast<std::wint_t>(what[i]);
        if (!matchCase) {
            a = std::towlower(a);
            b = std::towlower(b);
        }
        if (a != b) {
            return false;
        }
    }
    return true;
}

std::size_t findText(const std::u16string& text, const std::u16string& what, std::size_t from,
                     bool down, bool matchCase) {
    if (what.empty() || what.size() > text.size()) {
        return std::u16string::npos;
    }
    const std::size_t last = text.size() - what.size();
    for (std::size_t step = 0; step <= last; ++step) {
        const std::size_t at =
            down ? (from + step) % (last + 1) : (from + (last + 1) * 2 - 1 - step) % (last + 1);
        if (matchesAt(text, at, what, matchCase)) {
            return at;
        }
    }
    return std::u16string::npos;
}

Replacement replaceAllChange(const std::u16string& text, const std::u16string& what,
                             const std::u16string& with, bool matchCase) {
    Replacement result;
    if (what.empty()) {
        return result;
    }
    std::u16string replaced;
    std::size_t first = std::u16string::npos;
    std::size_t end = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (matchesAt(text, at, what, matchCase)) {
            if (first == std::u16string::npos) {
                first = at;
            } else {
                replaced += text.substr(end, at - end);
            }
            replaced += with;
            at += what.size();
            end = at;
            ++result.count;
        } else {
            ++at;
        }
    }
    if (result.count > 0) {
        result.change = TextChange{first, text.substr(first, end - first), replaced};
    }
    return result;
}
