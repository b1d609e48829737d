// Reading and writing the attribute file; a damaged file is reported and changes nothing.
#include "attributes/AttributeFile.h"

#include "model/FileIO.h"
#include "model/TextLines.h"

#include <charconv>
#include <vector>

namespace {

struct TFault {
    std::int64_t Line;
    std::string Reason;
};

// The blank-separated tokens of a line.
std::vector<std::string_view> Tokens(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t pos = 0;
    for (std::string_view t = NextToken(line, pos); !t.empty(); t = NextToken(line, pos))
        out.push_back(t);
    return out;
}

// A whole number with an optional sign and nothing else; out of range counts as not a number.
bool ParseInteger(std::string_view token, std::int64_t& value) {
    std::string_view digits = token;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-'))
        digits.remove_prefix(1);
    if (digits.empty())
        return false;
    for (char c : digits)
        if (c < '0' || c > '9')
            return false;
    if (token[0] == '+')
        token.remove_prefix(1);
    const auto r = std::from_chars(token.data(), token.data() + token.size(), value);
    return r.ec == std::errc() && r.ptr == token.data() + token.size();
}

class TParser {
public:
    explicit TParser(std::string_view text) : cursor_(text) {}

    // Throws TFault.
    TAttriButList Parse() {
        TAttriButList sets;
        const std::int64_t count = NumberLine("the set count", 0, kMaxAttributeSets);
        for (std::int64_t s = 1; s <= count; ++s) {
            TAttributs set;
            set.SetName = std::string(Line("the name of set " + std::to_string(s)));
            const std::int64_t last =
                NumberLine("the index of the last item of set " + std::to_string(s), -1,
                           kMaxAttributeItems - 1);
            for (std::int64_t k = 0; k <= last; ++k)
                set.Items.push_back(Item(s, k + 1));
            set.ItemCount = static_cast<std::int32_t>(set.Items.size());
            sets.push_back(std::move(set));
        }
        return sets;
    }

private:
    std::string_view Line(const std::string& what) {
        std::string_view line;
        if (!cursor_.Next(line))
            throw TFault{cursor_.Number() + 1, "the file ends where " + what + " should stand"};
        return line;
    }

    std::int64_t NumberLine(const std::string& what, std::int64_t lo, std::int64_t hi) {
        const std::string_view line = Line(what);
        const std::vector<std::string_view> t = Tokens(line);
        std::int64_t value = 0;
        if (t.size() != 1 || !ParseInteger(t[0], value))
            throw TFault{cursor_.Number(),
                         what + " is not a whole number: \"" + std::string(line) + "\""};
        if (value < lo || value > hi)
            throw TFault{cursor_.Number(), what + " " + std::to_string(value) + " is outside " +
                                               std::to_string(lo) + " .. " + std::to_string(hi)};
        return value;
    }

    TAttribut Item(std::int64_t set, std::int64_t item) {
        const std::string name = "item " + std::to_string(item) + " of set " + std::to_string(set);
        TAttribut a;
        a.Prefix = std::string(Line("the prefix of " + name));
        const std::string_view line = Line("the colour, style, width and visibility of " + name);
        const std::vector<std::string_view> t = Tokens(line);
        std::int64_t v[4] = {};
        bool numbers = t.size() == 4;
        for (std::size_t i = 0; numbers && i < 4; ++i)
            numbers = ParseInteger(t[i], v[i]);
        if (!numbers)
            throw TFault{cursor_.Number(), "the colour, style, width and visibility of " + name +
                                               " are not four whole numbers: \"" +
                                               std::string(line) + "\""};
        auto check = [&](std::int64_t value, std::int64_t hi, const char* what) {
            if (value < 0 || value > hi)
                throw TFault{cursor_.Number(), std::string(what) + " " + std::to_string(value) +
                                                   " of " + name + " is outside 0 .. " +
                                                   std::to_string(hi)};
        };
        check(v[0], 0x00FFFFFF, "the colour");
        check(v[1], 255, "the pen style");
        check(v[2], kMaxAttributePenWidth, "the pen width");
        a.Colour = static_cast<std::uint32_t>(v[0]);
        a.PenStyle = static_cast<std::uint8_t>(v[1]);
        a.PenWidth = static_cast<std::int32_t>(v[2]);
        a.Visible = v[3] == 1;
        return a;
    }

    TLineCursor cursor_;
};

TAttributeFileResult Failed(const std::string& fileName, std::int64_t line, std::string reason) {
    TAttributeFileResult r;
    r.Line = line;
    r.Reason = std::move(reason);
    r.Message = "Could not read the attribute file " + fileName +
                (line > 0 ? ", line " + std::to_string(line) : std::string()) + ": " + r.Reason +
                ". The attribute sets were not changed.";
    return r;
}

} // namespace

std::string AttributeFileName(const std::string& surveyFile) {
    return ChangeExtension(surveyFile, kAttributeExtension);
}

TAttributeFileResult ParseAttributeText(std::string_view text, const std::string& fileName,
                                        TAttriButList& sets) {
    try {
        TParser parser(text);
        TAttriButList read = parser.Parse();
        sets = std::move(read);
    } catch (const TFault& f) {
        return Failed(fileName, f.Line, f.Reason);
    }
    TAttributeFileResult r;
    r.Ok = true;
    return r;
}

std::string AttributeFileText(const TAttriButList& sets) {
    std::string out;
    auto line = [&out](const std::string& s) {
        out += s;
        out += "\r\n";
    };
    line(std::to_string(sets.size()));
    for (const TAttributs& set : sets) {
        const std::size_t n = UsableItems(set);
        line(set.SetName);
        line(std::to_string(static_cast<std::int64_t>(n) - 1));
        for (std::size_t k = 0; k < n; ++k) {
            const TAttribut& a = set.Items[k];
            line(a.Prefix);
            line(std::to_string(a.Colour) + " " + std::to_string(a.PenStyle) + " " +
                 std::to_string(a.PenWidth) + " " + (a.Visible ? "1" : "0"));
        }
    }
    return out;
}

TAttributeFileResult GetAttributFile(const std::string& fileName,
                                     const std::vector<TPrefixRow>& rows, TAttriButList& sets,
                                     std::int32_t& currentSet) {
    TAttributeFileResult r;
    TAttriButList read;
    if (!FileExists(fileName)) {
        r.Ok = true;
        r.FileMissing = true;
    } else {
        std::string text, reason;
        if (!ReadWholeFile(fileName, text, reason))
            return Failed(fileName, 0, reason);
        r = ParseAttributeText(text, fileName, read);
        if (!r.Ok)
            return r;
    }
    // No file and a file of no sets alike leave the one default set.
    if (read.empty())
        read.push_back(DefaultSet(rows));
    sets = std::move(read);
    if (currentSet < 0 || static_cast<std::size_t>(currentSet) >= sets.size())
        currentSet = 0;
    return r;
}

TAttributeFileResult SaveAttributFile(const std::string& fileName, const TAttriButList& sets) {
    TAttributeFileResult r;
    std::string reason;
    if (!WriteFileAtomically(fileName, AttributeFileText(sets), reason)) {
        r.Reason = reason;
        r.Message = "Could not write the attribute file " + fileName + ": " + reason +
                    ". The old file is unchanged.";
        return r;
    }
    r.Ok = true;
    return r;
}
