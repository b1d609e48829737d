// The grid editor's cells: text of a shot's readings and back, and the cells typed but not stored.
#pragma once

#include "model/CaveModel.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Columns of the grid; data row i shows line i of the cave.
enum TGridColumn : int {
    kColIndex = 0,
    kColFrom = 1,
    kColTo = 2,
    kColCompass = 3,
    kColClino = 4,
    kColLength = 5,
    kColUp = 6,
    kColDown = 7,
    kColRight = 8,
    kColLeft = 9,
};
inline constexpr int kGridColumns = 10;
inline constexpr int kGridFirstRows = 11; // the heading row included
inline constexpr int kGridRowStep = 5;

const char* GridHeading(int col);
// The word a conversion error names a number column by.
const char* GridColumnWord(int col);
bool IsNumberColumn(int col);

// Rows of a grid that holds a heading row and a row for each of lineCount lines: 11, growing by
// 5 at a time.
std::int64_t GridRowCount(std::int64_t lineCount);

// The field a number column shows.
double& GridReading(Tdatalinje& line, int col);
double GridReading(const Tdatalinje& line, int col);

// A cell as the grid shows it, in the file's bytes; row is the line's number.
std::string GridCellText(const Tdatalinje& line, std::int64_t row, int col);

// A number typed into a cell: blanks around it are allowed, "." is the decimal point, and the
// value must be finite. False leaves value untouched.
bool CellToReal(std::string_view text, double& value);

// A station name typed into a cell: its first four characters, padded with blanks to four so
// it matches the names the reader makes. Control characters become blanks. A from-station may not
// begin with a character that would make its file line read back as something else; then
// reason says why and false is returned.
bool CellToName(std::string_view text, bool fromStation, str4& name, std::string& reason);

// Cell texts typed into the grid (or emptied by deleting a row) and not yet stored in the
// model, in the file's bytes. Only changed cells are held, so a grid over a million lines costs
// nothing until it is edited.
class TGridEdits {
public:
    void Set(std::int64_t row, int col, std::string text);
    const std::string* Find(std::int64_t row, int col) const;
    // Drops every cell but these, in one pass.
    void Retain(const std::vector<std::pair<std::int64_t, int>>& cells);
    void Clear() { cells_.clear(); }
    bool Empty() const { return cells_.empty(); }
    std::size_t Size() const { return cells_.size(); }
    // Every held cell as (row, col), rows ascending and columns ascending within a row.
    std::vector<std::pair<std::int64_t, int>> Cells() const;

private:
    static std::uint64_t Key(std::int64_t row, int col) {
        return (static_cast<std::uint64_t>(row) << 4) | static_cast<std::uint64_t>(col);
    }
    std::unordered_map<std::uint64_t, std::string> cells_;
};

struct TGridUpdateResult {
    std::vector<std::string> Errors; // one message per cell that did not convert, in grid order
    std::int64_t Stored = 0;         // cells written into the model
};

// Writes the held cells of rows 1 .. rows (and no further than the cave's lines) into the cave.
// Cells that do not convert keep the line's previous value, stay held and are reported;
// the others are stored and dropped from edits. Cells that were not changed already hold what
// the model holds, so they are left as they are.
TGridUpdateResult UpdateCaveFromGrid(TKviste& cave, std::int64_t rows, TGridEdits& edits);
