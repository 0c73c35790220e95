#pragma once
// An owned GBK byte string: the buffer always ends in a NUL byte and the length
// is kept beside it. Bytes are never decoded.

#include <cstddef>
#include <memory>

class ByteString {
  public:
    ByteString();
    // Copies the bytes of `text` up to its first NUL; a null text gives the empty string.
    ByteString(const char* text);
    // Copies exactly `length` bytes (which must hold no NUL) and terminates them.
    ByteString(const char* bytes, std::size_t length);
    ByteString(const ByteString& other);
    ByteString(ByteString&& other) noexcept;
    ByteString& operator=(const ByteString& other);
    ByteString& operator=(ByteString&& other) noexcept;
    ~ByteString() = default;

    // Appends by building a new buffer of the summed length plus one.
    ByteString& append(const char* text);
    ByteString& append(const ByteString& text);

    const char* c_str() const { return buffer_ ? buffer_.get() : ""; }
    // The writable bytes; null only for a string that was moved from.
    char* data() { return buffer_.get(); }
    std::size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }

  private:
    void assign(const char* bytes, std::size_t length);
    void appendBytes(const char* bytes, std::size_t length);

    std::unique_ptr<char[]> buffer_;
    std::size_t length_ = 0;
};

ByteString operator+(const ByteString& left, const char* right);
ByteString operator+(const char* left, const ByteString& right);
bool operator==(const ByteString& left, const char* right);
