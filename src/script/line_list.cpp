#include "script/line_list.h"

#include <bit>
#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr std::uint64_t EveryByte = 0x0101010101010101;
constexpr std::uint64_t HighBits = 0x8080808080808080;

// 0x80 in each byte of `word` that is zero, 0 in every other byte. Adding
// 0x7F to a byte's low seven bits sets its high bit unless they are all zero,
// without a carry into the next byte.
std::uint64_t zeroBytes(std::uint64_t word) {
    return ~(((word & ~HighBits) + ~HighBits) | word) & HighBits;
}

// 0x80 in each byte of `word` that is a line feed.
std::uint64_t feedBytes(std::uint64_t word) {
    return zeroBytes(word ^ (EveryByte * '\n'));
}

std::uint64_t loadWord(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

} // namespace

TextShape shapeOfText(const char* text, std::size_t size) {
    // A kept line ends at a byte that is no feed and is followed by a feed or
    // by the end of the text. Eight bytes are tested at a time while the next
    // eight are within `size` and hold no NUL; the rest byte by byte.
    std::size_t count = 0;
    std::size_t at = 0;
    if (size >= 8 && zeroBytes(loadWord(text)) == 0) {
        std::uint64_t feeds = feedBytes(loadWord(text));
        for (; at + 16 <= size; at += 8) {
            const std::uint64_t next = loadWord(text + at + 8);
            if (zeroBytes(next) != 0) {
                break;
            }
            const std::uint64_t nextFeeds = feedBytes(next);
            // The feed bit of each byte's successor, the next word's first byte
            // for the last byte.
            const std::uint64_t followedByFeed = (feeds >> 8) | (nextFeeds << 56);
            const std::uint64_t ends = ~feeds & followedByFeed & HighBits;
            count += static_cast<std::size_t>(((ends >> 7) * EveryByte) >> 56);
            feeds = nextFeeds;
        }
    }
    std::size_t length = at;
    while (length < size && text[length] != '\0') {
        ++length;
    }
    for (; at < length; ++at) {
        const bool followedByEnd = at + 1 == length || text[at + 1] == '\n';
        count += text[at] != '\n' && followedByEnd ? 1 : 0;
    }
    return {length, count};
}

void LineList::split(const char* text) {
    if (text == nullptr) {
        text = "";
    }
    const std::size_t length = std::strlen(text); // a NUL byte ends the script
    auto copy = std::make_unique_for_overwrite<char[]>(length + 1);
    std::memcpy(copy.get(), text, length + 1);
    splitOwned(std::move(copy), length);
}

void LineList::splitOwned(std::unique_ptr<char[]> text, std::size_t size) {
    starts_.reset();
    count_ = 0;
    textLength_ = 0;
    text_ = std::move(text);
    if (text_ == nullptr) {
        text_ = std::make_unique<char[]>(1);
        size = 0;
    }
    char* const copy = text_.get();
    const TextShape shape = shapeOfText(copy, size);
    const std::size_t length = shape.length;
    const std::size_t kept = shape.keptLines;
    // Offsets are 32-bit; a resource is smaller than 4 GiB anyway.
    if (length >= std::numeric_limits<std::uint32_t>::max()) {
        throw std::bad_alloc();
    }
    starts_ = std::make_unique_for_overwrite<std::uint32_t[]>(kept);
    std::uint32_t* lineStarts = starts_.get();
    std::size_t lineStart = 0;
    // Ends the line that runs up to `lineEnd`, a feed or the end of the text.
    const auto endLine = [&](std::size_t lineEnd) {
        if (lineEnd > lineStart) {
            *lineStarts++ = static_cast<std::uint32_t>(lineStart);
        }
        lineStart = lineEnd + 1;
    };
    // The feeds are found eight bytes at a time, then each one in its word.
    std::size_t at = 0;
    for (; at + 8 <= length; at += 8) {
        for (std::uint64_t feeds = feedBytes(loadWord(copy + at)); feeds != 0; feeds &= feeds - 1) {
            const std::size_t feed = at + static_cast<std::size_t>(std::countr_zero(feeds)) / 8;
            copy[feed] = '\0';
            endLine(feed);
        }
    }
    for (; at < length; ++at) {
        if (copy[at] == '\n') {
            copy[at] = '\0';
            endLine(at);
        }
    }
    endLine(length);
    count_ = kept;
    textLength_ = length;
}
