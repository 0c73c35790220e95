#include "script/line_list.h"

#include <cstring>
#include <limits>
#include <new>

void LineList::split(const char* text) {
    slices_.clear();
    text_.reset();
    if (text == nullptr) {
        text = "";
    }
    const std::size_t length = std::strlen(text); // a NUL byte ends the script
    // Offsets and lengths are 32-bit; a resource is smaller than 4 GiB anyway.
    if (length >= std::numeric_limits<std::uint32_t>::max()) {
        throw std::bad_alloc();
    }
    text_ = std::make_unique_for_overwrite<char[]>(length + 1);
    char* const copy = text_.get();
    std::memcpy(copy, text, length + 1);
    char* const end = copy + length;
    char* start = copy;
    for (;;) {
        char* feed =
            static_cast<char*>(std::memchr(start, '\n', static_cast<std::size_t>(end - start)));
        char* lineEnd = feed != nullptr ? feed : end;
        if (lineEnd > start) {
            slices_.push_back({static_cast<std::uint32_t>(start - copy),
                               static_cast<std::uint32_t>(lineEnd - start)});
        }
        if (feed == nullptr) {
            break;
        }
        *feed = '\0';
        start = feed + 1;
    }
}
