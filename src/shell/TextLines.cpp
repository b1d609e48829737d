// The lines of a text file, read once and indexed, for a view that shows a few of them at a time.
#include "shell/TextLines.h"

#include "model/FileIO.h"

#include <algorithm>
#include <cstring>
#include <new>

bool TTextLines::Load(const std::string& path, std::string& reason) {
    // A file larger than the memory can hold is a message, not the end of the program.
    try {
        std::string bytes;
        if (!ReadWholeFile(path, bytes, reason))
            return false;
        TTextLines loaded;
        loaded.bytes_ = std::move(bytes);
        loaded.Index();
        *this = std::move(loaded);
        return true;
    } catch (const std::bad_alloc&) {
        reason = "Not enough memory to show the file.";
        return false;
    }
}

void TTextLines::Assign(std::string bytes) {
    bytes_ = std::move(bytes);
    Index();
}

void TTextLines::Index() {
    starts_.clear();
    // Listings run near 100 bytes a line; one reservation saves the regrowth on large files.
    starts_.reserve(bytes_.size() / 64 + 1);
    starts_.push_back(0);
    const char* const data = bytes_.data();
    const std::size_t size = bytes_.size();
    std::size_t widest = 0;
    const bool tabs = std::memchr(data, '\t', size) != nullptr;
    std::size_t pos = 0;
    for (;;) {
        const void* lf = std::memchr(data + pos, '\n', size - pos);
        const std::size_t end =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : size;
        std::size_t length = end - pos;
        if (lf && length > 0 && data[end - 1] == '\r')
            --length;
        const std::size_t columns = tabs ? Columns(std::string_view(data + pos, length)) : length;
        widest = std::max(widest, columns);
        if (!lf)
            break;
        pos = end + 1;
        starts_.push_back(pos);
    }
    maxColumns_ = widest;
}

std::string_view TTextLines::Line(std::size_t index) const {
    if (index >= starts_.size())
        return {};
    const std::size_t begin = starts_[index];
    std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] - 1 : bytes_.size();
    if (index + 1 < starts_.size() && end > begin && bytes_[end - 1] == '\r')
        --end;
    return std::string_view(bytes_).substr(begin, end - begin);
}

TTextPos TTextLines::End() const {
    const std::size_t last = starts_.size() - 1;
    return {last, Line(last).size()};
}

TTextPos TTextLines::Clamp(TTextPos pos) const {
    if (pos.Line >= starts_.size())
        return End();
    pos.Byte = std::min(pos.Byte, Line(pos.Line).size());
    return pos;
}

std::string TTextLines::Slice(TTextPos from, TTextPos to) const {
    from = Clamp(from);
    to = Clamp(to);
    if (to < from)
        std::swap(from, to);
    std::string out;
    for (std::size_t line = from.Line; line <= to.Line; ++line) {
        const std::string_view text = Line(line);
        const std::size_t begin = line == from.Line ? from.Byte : 0;
        const std::size_t end = line == to.Line ? to.Byte : text.size();
        out.append(text.substr(begin, end - begin));
        if (line != to.Line)
            out.push_back('\n');
    }
    return out;
}

std::string TTextLines::Expanded(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (const char c : line) {
        if (c == '\t')
            out.append(kTabWidth - out.size() % kTabWidth, ' ');
        else
            out.push_back(c);
    }
    return out;
}

std::size_t TTextLines::Columns(std::string_view line) {
    std::size_t columns = 0;
    for (const char c : line)
        columns = c == '\t' ? (columns / kTabWidth + 1) * kTabWidth : columns + 1;
    return columns;
}
