// Station name: up to four bytes, trailing blanks kept, compared exactly.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

class str4 {
public:
    str4() = default;
    // Keeps at most the first four bytes of text.
    str4(std::string_view text) { Assign(text); }
    str4(const char* text) { Assign(text); }

    void Assign(std::string_view text) {
        len_ = static_cast<std::uint8_t>(text.size() < 4 ? text.size() : 4);
        std::memset(bytes_, 0, sizeof bytes_);
        std::memcpy(bytes_, text.data(), len_);
    }

    std::size_t size() const { return len_; }
    bool empty() const { return len_ == 0; }
    const char* data() const { return bytes_; }
    std::string_view view() const { return {bytes_, len_}; }
    std::string str() const { return std::string(bytes_, len_); }
    // The name filled with blanks to four columns, as the file's name fields hold it.
    std::string Padded() const {
        std::string s(bytes_, len_);
        s.resize(4, ' ');
        return s;
    }

    // Same length and the same bytes: "A1" differs from "A1  ".
    friend bool operator==(const str4& a, const str4& b) {
        return a.len_ == b.len_ && std::memcmp(a.bytes_, b.bytes_, a.len_) == 0;
    }
    friend bool operator!=(const str4& a, const str4& b) { return !(a == b); }

    std::uint64_t Key() const {
        std::uint32_t b;
        std::memcpy(&b, bytes_, 4);
        return (std::uint64_t(len_) << 32) | b;
    }

private:
    char bytes_[4] = {0, 0, 0, 0};
    std::uint8_t len_ = 0;
};

inline std::ostream& operator<<(std::ostream& os, const str4& s) {
    return os << '"' << s.view() << '"';
}

template <> struct std::hash<str4> {
    std::size_t operator()(const str4& s) const noexcept {
        std::uint64_t k = s.Key() * 0x9E3779B97F4A7C15ull;
        return static_cast<std::size_t>(k ^ (k >> 29));
    }
};
