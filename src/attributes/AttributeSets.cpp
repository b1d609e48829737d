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

// The shot records are large: fetching them this far ahead keeps a pass over the shots from
// waiting on memory for every one.
constexpr std::int32_t kAhead = 16;

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
    // One pass: the slot of every name's own prefix is marked, and the names are counted under
    // their first character and their first two, which is what a row's matches are (AB12 counts
    // under A and AB, even when no name has the prefix A itself).
    std::array<bool, kPrefixSlots> seen{};
    std::array<std::int64_t, kPrefixSlots> matches{};
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        if (i + kAhead <= cave.LineCount)
            __builtin_prefetch(&cave.Lines[static_cast<std::size_t>(i + kAhead)]);
        const std::string_view v = cave.Lines[static_cast<std::size_t>(i)].FromName.view();
        if (v.empty() || !IsAsciiLetter(v[0]))
            continue;
        const int one = SlotOf(v.substr(0, 1));
        ++matches[static_cast<std::size_t>(one)];
        if (v.size() >= 2 && IsAsciiLetter(v[1])) {
            const int two = SlotOf(v.substr(0, 2));
            ++matches[static_cast<std::size_t>(two)];
            seen[static_cast<std::size_t>(two)] = true;
        } else {
            seen[static_cast<std::size_t>(one)] = true;
        }
    }
    std::vector<TPrefixRow> rows;
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    // Ascending character codes: A, AA .. Az, B, ... (the letters are listed in code order).
    for (char a : letters) {
        const std::string one(1, a);
        if (seen[static_cast<std::size_t>(SlotOf(one))])
            rows.push_back({one, matches[static_cast<std::size_t>(SlotOf(one))]});
        for (char b : letters) {
            const std::string two{a, b};
            if (seen[static_cast<std::size_t>(SlotOf(two))])
                rows.push_back({two, matches[static_cast<std::size_t>(SlotOf(two))]});
        }
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
        if (i + kAhead <= cave.LineCount)
            __builtin_prefetch(&cave.Lines[static_cast<std::size_t>(i + kAhead)]);
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
