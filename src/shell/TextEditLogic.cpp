// Text rules of the survey data text editor.
#include "shell/TextEditLogic.h"

#include "model/Geometry.h"
#include "model/SurveyReader.h"

#include <charconv>

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The next blank-separated token of s, which loses it.
std::string_view NextToken(std::string_view& s) {
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    std::size_t j = i;
    while (j < s.size() && !IsBlank(s[j]))
        ++j;
    const std::string_view token = s.substr(i, j - i);
    s.remove_prefix(j);
    return token;
}

} // namespace

std::string ToMemoLines(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    std::size_t start = 0;
    for (std::size_t p = bytes.find("\r\n"); p != std::string_view::npos;
         start = p + 1, p = bytes.find("\r\n", start))
        text.append(bytes, start, p - start); // the LF is copied with the next piece
    text.append(bytes, start, std::string_view::npos);
    return text;
}

std::string ToFileLines(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    return bytes;
}

const std::array<std::string_view, 8>& HeadingTemplate() {
    static const std::array<std::string_view, 8> lines = {
        "Kvistenavn",
        ";",
        "; comments: who did what and When??",
        "400.00 400.00 0.00 1.00",
        "0.00 0.00 0.00",
        "A001 A001 0.00   0.00  0.00  0.00  0.00  0.00  0.00",
        ";Fra Til  komp   klino Lengd H     V     N     O",
        ";siste datasett"};
    return lines;
}

std::vector<std::string> ProfileScanLines() {
    std::vector<std::string> lines;
    lines.reserve(kScanTemplateLines);
    for (int i = 0; i < kScanTemplateLines; ++i)
        lines.push_back("# " + FormatReal(-15 + 5 * i, 5, 2) + " ");
    return lines;
}

std::string ProfileScanHeader(std::int64_t pointLines) {
    return "# " + std::to_string(pointLines) + "  000.00";
}

std::string CommentLine(std::string_view text) {
    return ";" + std::string(text);
}

std::vector<TCommaTypo> FindCommaTypos(std::string_view text) {
    std::vector<TCommaTypo> typos;
    std::int64_t lineNo = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.front() != ';') {
            for (std::size_t p = line.find(','); p != std::string_view::npos;
                 p = line.find(',', p + 1))
                typos.push_back({lineNo, static_cast<std::int64_t>(p) + 1, line});
        }
        start = end + 1;
        ++lineNo;
    }
    return typos;
}

std::string CommaTypoMessage(const TCommaTypo& typo) {
    // "\xE5" is the Windows-1252 byte of the a with a ring.
    return "Komma funnet p\xE5 plass(" + std::to_string(typo.Position) +
           "):" + std::string(typo.Text);
}

std::string CommaTypoSummary(std::size_t count) {
    return std::to_string(count) + " desimalkomma funnet!!!";
}

bool IsDataLine(std::string_view line) {
    if (line.empty())
        return true;
    const char c = line.front();
    // Photo lines are listed too: split as a shot they would be written back as one.
    return c != '#' && c != ';' && c != '@' && c != '$';
}

bool IsInstrumentLine(std::string_view line) {
    return !line.empty() && line.front() == '@';
}

TSplitDataLine SplitDataLine(std::string_view line) {
    TSplitDataLine split;
    split.FromName = std::string(line.substr(0, 4));
    line.remove_prefix(line.size() < 5 ? line.size() : 5);
    split.ToName = std::string(line.substr(0, 4));
    line.remove_prefix(line.size() < 5 ? line.size() : 5);
    for (std::string& field : split.Fields)
        field = std::string(NextToken(line));
    return split;
}

bool ReadEditorNumber(std::string_view text, double& value) {
    text = TrimBlanks(text);
    if (!IsNumberToken(text, false))
        return false;
    if (text.front() == '+')
        text.remove_prefix(1);
    double v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size())
        return false;
    value = v;
    return true;
}

std::string FormatEditorNumber(double value) {
    std::string s = FormatReal(value, 5, 2);
    double back = 0;
    if (ReadEditorNumber(s, back) && back == value)
        return s;
    // Rewriting a line must not round away what the surveyor typed.
    char buffer[400];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (r.ec != std::errc())
        return s;
    s.assign(buffer, r.ptr);
    if (s.size() < 5)
        s.insert(0, 5 - s.size(), ' ');
    return s;
}

double& ReadingField(Tdatalinje& line, int index) {
    switch (index) {
    case 0:
        return line.Compass;
    case 1:
        return line.Clino;
    case 2:
        return line.Length;
    case 3:
        return line.Right;
    case 4:
        return line.Left;
    case 5:
        return line.Down;
    default:
        return line.Up;
    }
}

double ReadingField(const Tdatalinje& line, int index) {
    return ReadingField(const_cast<Tdatalinje&>(line), index);
}

std::string_view ReadingFieldName(int index) {
    // Windows-1252: "\xF8" is o with a stroke.
    static constexpr std::array<std::string_view, kReadingFields> names = {
        "Komp", "Klino", "Lengd", "H\xF8yre", "Venstre", "Ned", "Opp"};
    return names[static_cast<std::size_t>(index < 0 || index >= kReadingFields ? 0 : index)];
}

std::string BuildDataLine(const Tdatalinje& line) {
    std::string s = line.FromName.Padded() + " " + line.ToName.Padded() + " ";
    for (int i = 0; i < kReadingFields; ++i)
        s += FormatEditorNumber(ReadingField(line, i)) + " ";
    return s;
}

TNameCheck CheckNameField(std::string_view text) {
    TNameCheck check;
    check.Cut = text.size() > 4;
    check.Text = std::string(text.substr(0, 4));
    return check;
}

bool ReadingFieldSuspect(std::string_view text, bool clino) {
    if (text.empty() || text == "0.00")
        return false;
    std::string_view rest = text;
    if (clino && rest.front() == '-')
        rest.remove_prefix(1);
    for (char c : rest)
        if (c != ' ' && c != '.' && (c < '0' || c > '9'))
            return true;
    return false;
}

TNameCommit CommitName(std::string_view typed, bool autoPrefix, std::string_view prefix) {
    std::string name(typed);
    if (autoPrefix && name.compare(0, prefix.size(), prefix) != 0)
        name.insert(0, prefix);
    TNameCommit commit;
    const auto lastShown = name.find_last_not_of(' ');
    commit.Beep = lastShown != std::string::npos && lastShown >= 4;
    name.resize(4, ' ');
    commit.Name = str4(name);
    return commit;
}

TPrefixChoice ChoosePrefix(std::string_view text) {
    return {std::string(text.substr(0, 2)), text.size() <= 2};
}

std::string_view TapeScaleText(TTape tape) {
    switch (tape) {
    case TTape::Centimetre:
        return "100";
    case TTape::Feet:
        return "3.2808"; // feet per metre
    default:
        return "1.00";
    }
}

bool BuildInstrumentLine(std::string_view compass, std::string_view clino,
                         std::string_view declination, TTape tape, std::string& line,
                         std::string& reason) {
    double value = 0;
    for (std::string_view circle : {compass, clino}) {
        if (!ReadEditorNumber(circle, value) || value <= 0) {
            reason = "The circle \"" + std::string(circle) + "\" is not a positive number.";
            return false;
        }
    }
    if (!ReadEditorNumber(declination, value)) {
        reason = "The declination \"" + std::string(declination) + "\" is not a number.";
        return false;
    }
    line = "@ " + std::string(TrimBlanks(compass)) + ".00 " + std::string(TrimBlanks(clino)) +
           ".00 " + std::string(TrimBlanks(declination)) + " " + std::string(TapeScaleText(tape));
    return true;
}

std::int64_t InstrumentLineFor(std::int64_t n,
                               const std::function<char(std::int64_t)>& firstCharAt) {
    for (std::int64_t i = n; i >= kFirstBodyLine; --i)
        if (firstCharAt(i) == '@')
            return i;
    return kHeadingInstrumentLine;
}

std::array<std::string, 3> InstrumentTexts(std::string_view line) {
    if (IsInstrumentLine(line))
        line.remove_prefix(1);
    std::array<std::string_view, 4> tokens;
    for (std::string_view& t : tokens)
        t = NextToken(line);
    std::array<std::string, 3> texts;
    const std::array<std::string_view, 3> shown = {tokens[0], tokens[1], tokens[3]};
    for (std::size_t i = 0; i < shown.size(); ++i) {
        double v = 0;
        texts[i] = ReadEditorNumber(shown[i], v) ? std::string(shown[i]) : kInstrumentError;
    }
    return texts;
}
