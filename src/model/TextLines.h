// Line by line through the text of a small file (attribute, clip polygon): CR LF or lone LF.
#pragma once

#include <cstdint>
#include <string_view>

// The text's lines without their line ends, with their 1-based numbers.
class TLineCursor {
public:
    explicit TLineCursor(std::string_view text) : text_(text) {}

    // False at the end of the text.
    bool Next(std::string_view& line) {
        if (pos_ >= text_.size())
            return false;
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos)
            end = text_.size();
        line = text_.substr(pos_, end - pos_);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        pos_ = end + 1;
        ++number_;
        return true;
    }
    // The number of the line Next gave last; 0 before the first.
    std::int64_t Number() const { return number_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::int64_t number_ = 0;
};

inline bool IsBlankChar(char c) {
    return c == ' ' || c == '\t';
}

// The next blank-separated token of the line from pos on; empty at the end of the line.
inline std::string_view NextToken(std::string_view line, std::size_t& pos) {
    while (pos < line.size() && IsBlankChar(line[pos]))
        ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && !IsBlankChar(line[pos]))
        ++pos;
    return line.substr(start, pos - start);
}
