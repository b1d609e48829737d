// Prefix analysis, the default set and the application of a set to the shots.
#include "attributes/AttributeSets.h"

#include <algorithm>
#include <array>

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int LetterIndex(char c) {
    return c <= 'Z' ? c - 'A' : 26 + (c - 'a');
}

// Every prefix a station name can have (none, one or two ASCII letters) has a slot of its own,
// so the lookup per shot is one array access.
constexpr int kLetters = 52;
constexpr int kPrefixSlots = 1 + kLetters + kLetters * kLetters;

int SlotOf(std::string_view prefix) {
    switch (prefix.size()) {
    case 0:
        return 0;
    case 1:
        return 1 + LetterIndex(prefix[0]);
    default:
        return 1 + kLetters + LetterIndex(prefix[0]) * kLetters + LetterIndex(prefix[1]);
    }
}

// The slot of an item's prefix, or -1 when no station name can have it (a hand-written file
// may hold "A1" or "ABC"): such an item matches no shot.
int ItemSlot(const std::string& prefix) {
    if (prefix.size() > 2 || !std::all_of(prefix.begin(), prefix.end(), IsAsciiLetter))
        return -1;
    return SlotOf(prefix);
}

} // namespace

std::string_view StationPrefix(const str4& name) {
    const std::string_view v = name.view();
    std::size_t n = 0;
    while (n < 2 && n < v.size() && IsAsciiLetter(v[n]))
        ++n;
    return v.substr(0, n);
}

const char* PenStyleName(std::uint8_t code) {
    static const char* const kNames[kPenStyleCount] = {"psSolid", "psDash", "psDot", "psDashDot",
                                                       "psDashDotDot"};
    return code < kPenStyleCount ? kNames[code] : "UnKnown";
}

std::vector<TPrefixRow> GetLetters(const TKviste& cave) {
    std::array<bool, kPrefixSlots> seen{};
    std::vector<TPrefixRow> rows;
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        const std::string_view p = StationPrefix(cave.Lines[static_cast<std::size_t>(i)].FromName);
        if (p.empty() || seen[static_cast<std::size_t>(SlotOf(p))])
            continue;
        seen[static_cast<std::size_t>(SlotOf(p))] = true;
        rows.push_back({std::string(p), 0});
    }
    // Prefixes are ASCII letters, so the strings' order is that of the character codes.
    std::sort(rows.begin(), rows.end(),
              [](const TPrefixRow& a, const TPrefixRow& b) { return a.Prefix < b.Prefix; });

    // A name matches a row when its first characters equal the row's prefix, whatever follows
    // them: both the first character and the first two of every name are looked up.
    std::array<std::int32_t, kPrefixSlots> rowOf;
    rowOf.fill(-1);
    for (std::size_t r = 0; r < rows.size(); ++r)
        rowOf[static_cast<std::size_t>(SlotOf(rows[r].Prefix))] = static_cast<std::int32_t>(r);
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        const std::string_view v = cave.Lines[static_cast<std::size_t>(i)].FromName.view();
        if (v.empty() || !IsAsciiLetter(v[0]))
            continue;
        if (const std::int32_t r = rowOf[static_cast<std::size_t>(SlotOf(v.substr(0, 1)))]; r >= 0)
            ++rows[static_cast<std::size_t>(r)].Matches;
        if (v.size() >= 2 && IsAsciiLetter(v[1]))
            if (const std::int32_t r = rowOf[static_cast<std::size_t>(SlotOf(v.substr(0, 2)))];
                r >= 0)
                ++rows[static_cast<std::size_t>(r)].Matches;
    }
    return rows;
}

void GetdefaultSetting(TAttributs& set, const std::vector<TPrefixRow>& rows) {
    // The blank item closes the set afresh every time: an item left over from an older, longer
    // set would otherwise survive the reset and win over the default of its prefix.
    set.Items.assign(rows.size() + 1, TAttribut{});
    for (std::size_t r = 0; r < rows.size(); ++r) {
        TAttribut& a = set.Items[r];
        a.Prefix = rows[r].Prefix;
        a.Colour = kDefaultAttributeColour;
        a.PenStyle = 0;
        a.PenWidth = 1;
        a.Visible = true;
    }
    TAttribut& blank = set.Items.back();
    blank.Prefix.clear();
    blank.Colour = 0;
    blank.PenStyle = 0;
    blank.PenWidth = 0;
    blank.Visible = false;
    set.ItemCount = static_cast<std::int32_t>(set.Items.size());
    set.SetName = kDefaultSetName;
}

TAttributs DefaultSet(const std::vector<TPrefixRow>& rows) {
    TAttributs set;
    GetdefaultSetting(set, rows);
    return set;
}

std::size_t UsableItems(const TAttributs& set) {
    return std::min(set.Items.size(), static_cast<std::size_t>(std::max(set.ItemCount, 0)));
}

std::int64_t ApplyAttributes(TKviste& cave, const TAttributs& set, bool exclusionsOnly) {
    // The last item of each prefix decides; with exclusionsOnly any invisible item hides.
    std::array<std::int32_t, kPrefixSlots> itemOf;
    itemOf.fill(-1);
    std::array<bool, kPrefixSlots> hides{};
    const std::size_t n = UsableItems(set);
    for (std::size_t k = 0; k < n; ++k) {
        const int slot = ItemSlot(set.Items[k].Prefix);
        if (slot < 0)
            continue;
        itemOf[static_cast<std::size_t>(slot)] = static_cast<std::int32_t>(k);
        if (!set.Items[k].Visible)
            hides[static_cast<std::size_t>(slot)] = true;
    }
    std::int64_t matched = 0;
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        Tdatalinje& line = cave.Lines[static_cast<std::size_t>(i)];
        const auto slot = static_cast<std::size_t>(SlotOf(StationPrefix(line.FromName)));
        const std::int32_t k = itemOf[slot];
        if (k < 0)
            continue;
        ++matched;
        if (exclusionsOnly) {
            if (hides[slot])
                line.Visible = false;
            continue;
        }
        const TAttribut& a = set.Items[static_cast<std::size_t>(k)];
        line.Visible = a.Visible;
        line.Colour = a.Colour;
        line.PenStyle = a.PenStyle;
        line.PenWidth = a.PenWidth;
    }
    return matched;
}
