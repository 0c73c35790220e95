#include "script/byte_string.h"

#include <cstring>

ByteString::ByteString() {
    assign("", 0);
}

ByteString::ByteString(const char* text) {
    if (text == nullptr) {
        assign("", 0);
    } else {
        assign(text, std::strlen(text));
    }
}

ByteString::ByteString(const char* bytes, std::size_t length) {
    assign(bytes, length);
}

ByteString::ByteString(const ByteString& other) {
    assign(other.c_str(), other.length_);
}

ByteString::ByteString(ByteString&& other) noexcept
    : buffer_(std::move(other.buffer_)), length_(other.length_) {
    other.length_ = 0;
}

ByteString& ByteString::operator=(const ByteString& other) {
    if (this != &other) {
        assign(other.c_str(), other.length_);
    }
    return *this;
}

ByteString& ByteString::operator=(ByteString&& other) noexcept {
    if (this != &other) {
        buffer_ = std::move(other.buffer_);
        length_ = other.length_;
        other.length_ = 0;
    }
    return *this;
}

ByteString& ByteString::append(const char* text) {
    if (text != nullptr) {
        appendBytes(text, std::strlen(text));
    }
    return *this;
}

ByteString& ByteString::append(const ByteString& text) {
    appendBytes(text.c_str(), text.size());
    return *this;
}

void ByteString::assign(const char* bytes, std::size_t length) {
    auto fresh = std::make_unique<char[]>(length + 1);
    if (length > 0) {
        std::memcpy(fresh.get(), bytes, length);
    }
    fresh[length] = '\0';
    buffer_ = std::move(fresh);
    length_ = length;
}

void ByteString::appendBytes(const char* bytes, std::size_t length) {
    auto fresh = std::make_unique<char[]>(length_ + length + 1);
    std::memcpy(fresh.get(), c_str(), length_);
    if (length > 0) {
        std::memcpy(fresh.get() + length_, bytes, length);
    }
    fresh[length_ + length] = '\0';
    buffer_ = std::move(fresh);
    length_ += length;
}

ByteString operator+(const ByteString& left, const char* right) {
    ByteString joined(left);
    joined.append(right);
    return joined;
}

ByteString operator+(const char* left, const ByteString& right) {
    ByteString joined(left);
    joined.append(right);
    return joined;
}

bool operator==(const ByteString& left, const char* right) {
    return right != nullptr && std::strcmp(left.c_str(), right) == 0;
}
