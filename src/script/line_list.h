#pragma once
// The kept lines of a script: slices of one owned copy of the script text.

#include <cstddef>
#include <cstdint>
#include <memory>

// One line where it lies in the copy: writable (the parser upper-cases key
// texts in place) and NUL-terminated, since the copy holds a NUL where the
// line's line feed was.
struct LineText {
    char* bytes;
    std::size_t length;

    char* data() const { return bytes; }
    const char* c_str() const { return bytes; }
    std::size_t size() const { return length; }
};

class LineList {
  public:
    // Copies `text` up to its first NUL (a null text is the empty text) and
    // splits the copy as splitOwned does.
    void split(const char* text);
    // Takes over `text`, a writable text of `size` bytes and a NUL after them
    // (null is the empty text), which ends at its first NUL (at `size` or
    // sooner), and splits it in place at line feeds, writing a NUL
    // over each feed and dropping lines of length 0. Replaces any lines held
    // before. The lines are kept as their offsets in the text, in one
    // allocation of exactly their number. A text of 4 GiB or more throws
    // std::bad_alloc.
    void splitOwned(std::unique_ptr<char[]> text, std::size_t size);

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    LineText operator[](std::size_t index) const {
        char* const text = text_.get();
        const std::uint32_t start = starts_[index];
        // Up to the next line, or to the end of the text, less the NULs that
        // stand where the feeds were: a kept line itself holds no NUL and does
        // not end in one.
        std::size_t length = (index + 1 < count_ ? starts_[index + 1] : textLength_) - start;
        while (text[start + length - 1] == '\0') {
            --length;
        }
        return {text + start, length};
    }

  private:
    std::unique_ptr<char[]> text_;
    std::unique_ptr<std::uint32_t[]> starts_; // the offset of each kept line in text_
    std::size_t count_ = 0;
    std::size_t textLength_ = 0;
};

// How much of a text the script is and how many lines it keeps.
struct TextShape {
    std::size_t length;    // the bytes before the first NUL
    std::size_t keptLines; // lines of non-zero length between the line feeds of those bytes
};

// The shape of `text`, which holds `size` bytes and then a NUL (and may hold
// one sooner, where it then ends).
TextShape shapeOfText(const char* text, std::size_t size);
