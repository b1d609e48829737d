// The lines of a text file, read once and indexed, for a view that shows a few of them at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A place in the text: a line and a byte within it (bytes are characters in Windows-1252).
struct TTextPos {
    std::size_t Line = 0;
    std::size_t Byte = 0;
    friend bool operator==(const TTextPos&, const TTextPos&) = default;
    friend auto operator<=>(const TTextPos&, const TTextPos&) = default;
};

class TTextLines {
public:
    static constexpr std::size_t kTabWidth = 8;

    TTextLines() { Assign({}); }

    // Replaces the text only when the whole file could be read; otherwise keeps it and gives
    // the reason.
    bool Load(const std::string& path, std::string& reason);
    void Assign(std::string bytes);

    // Lines end at LF; a CR before it belongs to the line end. Text after the last LF, even
    // none, is one more line, so an empty text has one empty line.
    std::size_t LineCount() const { return starts_.size(); }
    std::string_view Line(std::size_t index) const;
    // The widest line in columns, tabs expanded.
    std::size_t MaxColumns() const { return maxColumns_; }

    // The bytes from one place to another with every line end as a bare LF.
    std::string Slice(TTextPos from, TTextPos to) const;
    std::string All() const { return Slice({}, End()); }
    TTextPos End() const;
    // The place clamped into the text.
    TTextPos Clamp(TTextPos pos) const;

    // A line as shown: tabs expanded to the next multiple of kTabWidth.
    static std::string Expanded(std::string_view line);
    static std::size_t Columns(std::string_view line);

private:
    void Index();

    std::string bytes_;
    std::vector<std::size_t> starts_; // first byte of each line
    std::size_t maxColumns_ = 0;
};
