// Attribute sets: leg colour, pen style, width and visibility by station-name prefix.
#pragma once

#include "model/CaveModel.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A station name's first two characters, cut before the first that is not an ASCII letter:
// AB12 gives AB, A1B2 gives A, 1ABC gives the empty prefix.
std::string_view StationPrefix(const str4& name);

// The name of a pen style code in the grid and the style list; "UnKnown" above 4.
const char* PenStyleName(std::uint8_t code);
inline constexpr int kPenStyleCount = 5; // codes 0 .. 4 have names

// One row of the prefix grid: a prefix of the survey and the shots whose from-station begins
// with it (AB12 counts under A and under AB).
struct TPrefixRow {
    std::string Prefix;
    std::int64_t Matches = 0;
};

// The distinct non-empty prefixes of the shots' from-stations in ascending byte order, each
// with its matches. Linear in the number of shots.
std::vector<TPrefixRow> GetLetters(const TKviste& cave);

// The current set becomes the default set of the grid's prefixes: one yellow, solid, 1 pixel,
// visible item per prefix, then a blank item (empty prefix, colour 0, code 0, width 0,
// invisible), named "Default".
void GetdefaultSetting(TAttributs& set, const std::vector<TPrefixRow>& rows);
TAttributs DefaultSet(const std::vector<TPrefixRow>& rows);
inline constexpr const char* kDefaultSetName = "Default";
inline constexpr std::uint32_t kDefaultAttributeColour = 0x0000FFFF; // yellow

// Copies the set into every shot 1 .. LineCount whose from-station's prefix equals an item's
// prefix; a later item wins over an earlier one. With exclusionsOnly an invisible item hides its
// shots and nothing else changes. One table lookup per shot, whatever the size of the set.
// Returns the number of shots that some item matched.
std::int64_t ApplyAttributes(TKviste& cave, const TAttributs& set, bool exclusionsOnly);

// The items a set really holds: ItemCount is trusted only as far as Items reaches.
std::size_t UsableItems(const TAttributs& set);
