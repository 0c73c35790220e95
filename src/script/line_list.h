#pragma once
// The kept lines of a script: slices of one owned copy of the script text.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

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
    // splits the copy at line feeds, dropping lines of length 0. Replaces any
    // lines held before. A text of 4 GiB or more throws std::bad_alloc.
    void split(const char* text);

    std::size_t size() const { return slices_.size(); }
    bool empty() const { return slices_.empty(); }
    LineText operator[](std::size_t index) const {
        const Slice& slice = slices_[index];
        return {text_.get() + slice.offset, slice.length};
    }

  private:
    struct Slice {
        std::uint32_t offset;
        std::uint32_t length;
    };

    std::unique_ptr<char[]> text_;
    std::vector<Slice> slices_;
};
