// The grid editor's cells: text of a shot's readings and back, and the cells typed but not stored.
#include "shell/GridCells.h"

#include "model/Geometry.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>

namespace {

constexpr const char* kHeadings[kGridColumns] = {"Index",  "From", "To",   "Decl",  "Incl",
                                                 "Length", "Up",   "Down", "Right", "Left"};
constexpr const char* kWords[kGridColumns] = {"index",  "from", "to",   "theta", "phi",
                                              "length", "up",   "down", "right", "left"};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A line whose first character is one of these is a comment, an instrument, a scan or a photo
// list, never a shot.
bool StartsOtherLine(char c) {
    return c == ';' || c == '@' || c == '#' || c == '$';
}

} // namespace

const char* GridHeading(int col) {
    assert(col >= 0 && col < kGridColumns);
    return kHeadings[col];
}

const char* GridColumnWord(int col) {
    assert(col >= 0 && col < kGridColumns);
    return kWords[col];
}

bool IsNumberColumn(int col) {
    return col >= kColCompass && col <= kColLeft;
}

std::int64_t GridRowCount(std::int64_t lineCount) {
    const std::int64_t needed = std::max<std::int64_t>(lineCount, 0) + 1;
    if (needed <= kGridFirstRows)
        return kGridFirstRows;
    const std::int64_t steps = (needed - kGridFirstRows + kGridRowStep - 1) / kGridRowStep;
    return kGridFirstRows + steps * kGridRowStep;
}

namespace {

// One switch for the readable and the writable field.
template <class Line> auto& ReadingOf(Line& line, int col) {
    switch (col) {
    case kColCompass:
        return line.Compass;
    case kColClino:
        return line.Clino;
    case kColLength:
        return line.Length;
    case kColUp:
        return line.Up;
    case kColDown:
        return line.Down;
    case kColRight:
        return line.Right;
    case kColLeft:
        return line.Left;
    default:
        assert(false && "bug: not a number column");
        return line.Length;
    }
}

} // namespace

double& GridReading(Tdatalinje& line, int col) {
    return ReadingOf(line, col);
}

double GridReading(const Tdatalinje& line, int col) {
    return ReadingOf(line, col);
}

std::string GridCellText(const Tdatalinje& line, std::int64_t row, int col) {
    switch (col) {
    case kColIndex:
        return std::to_string(row);
    case kColFrom:
        return line.FromName.str();
    case kColTo:
        return line.ToName.str();
    default:
        return FormatReal(GridReading(line, col), 8, 2);
    }
}

bool CellToReal(std::string_view text, double& value) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    // from_chars takes no "+" of its own.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-'))
            return false;
    }
    if (text.empty())
        return false;
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    // "inf" and "nan" parse, but no reading is infinite.
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool CellToName(std::string_view text, bool fromStation, str4& name, std::string& reason) {
    std::string bytes(text.substr(0, 4));
    for (char& c : bytes)
        if (static_cast<unsigned char>(c) < ' ')
            c = ' ';
    bytes.resize(4, ' ');
    if (fromStation && StartsOtherLine(bytes[0])) {
        reason = std::string("a station name may not begin with \"") + bytes[0] +
                 "\": its line would read back as no shot";
        return false;
    }
    name = str4(bytes);
    return true;
}

void TGridEdits::Set(std::int64_t row, int col, std::string text) {
    cells_[Key(row, col)] = std::move(text);
}

const std::string* TGridEdits::Find(std::int64_t row, int col) const {
    if (cells_.empty())
        return nullptr;
    const auto it = cells_.find(Key(row, col));
    return it == cells_.end() ? nullptr : &it->second;
}

void TGridEdits::Retain(const std::vector<std::pair<std::int64_t, int>>& cells) {
    std::unordered_map<std::uint64_t, std::string> kept;
    kept.reserve(cells.size());
    for (const auto& [row, col] : cells) {
        const auto it = cells_.find(Key(row, col));
        if (it != cells_.end())
            kept.emplace(it->first, std::move(it->second));
    }
    cells_.swap(kept);
}

std::vector<std::pair<std::int64_t, int>> TGridEdits::Cells() const {
    std::vector<std::uint64_t> keys;
    keys.reserve(cells_.size());
    for (const auto& cell : cells_)
        keys.push_back(cell.first);
    std::sort(keys.begin(), keys.end());
    std::vector<std::pair<std::int64_t, int>> cells;
    cells.reserve(keys.size());
    for (std::uint64_t k : keys)
        cells.emplace_back(static_cast<std::int64_t>(k >> 4), static_cast<int>(k & 15));
    return cells;
}

TGridUpdateResult UpdateCaveFromGrid(TKviste& cave, std::int64_t rows, TGridEdits& edits) {
    TGridUpdateResult result;
    const std::int64_t last = std::min<std::int64_t>(rows, cave.LineCount);
    std::vector<std::pair<std::int64_t, int>> kept;
    for (const auto& [row, col] : edits.Cells()) {
        if (row < 1 || row > last || col == kColIndex) {
            kept.emplace_back(row, col);
            continue;
        }
        Tdatalinje& line = cave.Lines[static_cast<std::size_t>(row)];
        const std::string& text = *edits.Find(row, col);
        std::string reason;
        bool stored = false;
        if (col == kColFrom || col == kColTo) {
            str4& field = col == kColFrom ? line.FromName : line.ToName;
            stored = CellToName(text, col == kColFrom, field, reason);
        } else {
            stored = CellToReal(text, GridReading(line, col));
        }
        if (!stored) {
            std::string message = "Conversion error at col " + std::string(GridColumnWord(col)) +
                                  " & row " + std::to_string(row);
            if (!reason.empty())
                message += ": " + reason;
            result.Errors.push_back(std::move(message));
            kept.emplace_back(row, col);
            continue;
        }
        ++result.Stored;
    }
    edits.Retain(kept);
    return result;
}
