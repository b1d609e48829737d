// Reader of survey data files and its reading log.
#include "model/SurveyReader.h"

#include "model/FileIO.h"
#include "model/ReadingUnits.h"
#include "model/StringRoutines.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <filesystem>
#include <new>
#include <utility>

namespace {

bool IsBlankLine(std::string_view line) {
    for (char c : line)
        if (c != ' ' && c != '\t' && c != '\r')
            return false;
    return true;
}

bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

// Checks the file's number grammar: sign, digits, optional point with digits, optional exponent.
// from_chars alone would also take "inf", "nan" and ".5".
bool IsNumberToken(std::string_view t, bool integer) {
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i;
        return i > start;
    };
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    if (!digits())
        return false;
    if (integer)
        return i == t.size();
    if (i < t.size() && t[i] == '.') {
        ++i;
        if (!digits())
            return false;
    }
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        if (!digits())
            return false;
    }
    return i == t.size();
}

namespace {

class ReadError {
public:
    std::int64_t Line;
    std::string Reason;
};

// A cursor over the file's bytes that knows its 1-based line number.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    std::int64_t Line() const { return line_; }

    // The rest of the current line without its line end; moves to the next line. Past the end
    // of the file the line number still advances, so header lines keep their numbers.
    std::string_view RestOfLine() {
        const std::size_t start = pos_;
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) {
            pos_ = text_.size();
            end = text_.size();
        } else {
            pos_ = end + 1;
        }
        ++line_;
        if (end > start && text_[end - 1] == '\r')
            --end;
        return text_.substr(start, end - start);
    }

    // The current line's text from the cursor, without moving.
    std::string_view PeekLine() const {
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos)
            end = text_.size();
        if (end > pos_ && text_[end - 1] == '\r')
            --end;
        return text_.substr(pos_, end - pos_);
    }

    // Skips lines that hold nothing but blanks and tabs; true when a line with content follows.
    bool SkipBlankLines() {
        while (!AtEnd() && IsBlankLine(PeekLine()))
            RestOfLine();
        return !AtEnd();
    }

    // Takes up to n characters of the current line (never its line end).
    std::string_view TakeInLine(std::size_t n) {
        const std::string_view line = PeekLine();
        const std::size_t k = line.size() < n ? line.size() : n;
        pos_ += k;
        return line.substr(0, k);
    }

    // The next blank-separated token, crossing line ends; empty at the end of the file.
    std::string_view Token(std::int64_t& tokenLine) {
        while (pos_ < text_.size() && IsSeparator(text_[pos_])) {
            if (text_[pos_] == '\n')
                ++line_;
            ++pos_;
        }
        tokenLine = line_;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsSeparator(text_[pos_]))
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

    // Numbers missing at the end of the file read as 0.
    double Number() {
        std::int64_t tokenLine = 0;
        const std::string_view t = Token(tokenLine);
        return Parse(t, tokenLine);
    }

    // A number of the header, which must be complete: headerLine is the line it belongs to.
    double HeaderNumber(std::int64_t headerLine) {
        std::int64_t tokenLine;
        const std::string_view t = Token(tokenLine);
        if (t.empty())
            throw ReadError{headerLine, "the file ends inside its header"};
        return Parse(t, tokenLine);
    }

    // A reading converted into the model with the instrument in force. A conversion that
    // overflows would be stored as infinite and written as a text no reader takes.
    double Reading(TReadingKind kind, const TInstrument& ins) {
        std::int64_t tokenLine;
        const std::string_view t = Token(tokenLine);
        const double v = ReadingFromFile(kind, ins, Parse(t, tokenLine));
        if (!std::isfinite(v))
            throw ReadError{tokenLine, "the reading \"" + Shorten(t) +
                                           "\" is too large for the instrument in force"};
        return v;
    }

    std::int64_t Count() {
        std::int64_t tokenLine;
        const std::string_view t = Token(tokenLine);
        if (t.empty())
            return 0;
        if (!IsNumberToken(t, true))
            throw ReadError{tokenLine, "\"" + Shorten(t) + "\" is not a whole number"};
        const char* b = t.data() + (t[0] == '+' ? 1 : 0);
        std::int64_t v = 0;
        const auto r = std::from_chars(b, t.data() + t.size(), v);
        if (r.ec != std::errc() || v > INT32_MAX || v < INT32_MIN)
            throw ReadError{tokenLine, "\"" + Shorten(t) + "\" is out of range"};
        if (v < 0)
            throw ReadError{tokenLine, "a count may not be negative"};
        return v;
    }

    // Resumes at the start of the line after the one where the last number ended.
    void EndLine() { RestOfLine(); }

private:
    static double Parse(std::string_view t, std::int64_t tokenLine) {
        if (t.empty())
            return 0;
        if (!IsNumberToken(t, false))
            throw ReadError{tokenLine, "\"" + Shorten(t) + "\" is not a number"};
        // from_chars takes no "+", which the file's grammar allows.
        const char* b = t.data() + (t[0] == '+' ? 1 : 0);
        double v = 0;
        const auto r = std::from_chars(b, t.data() + t.size(), v);
        if (r.ec != std::errc() || r.ptr != t.data() + t.size())
            throw ReadError{tokenLine, "\"" + Shorten(t) + "\" is out of range"};
        return v;
    }

    static std::string Shorten(std::string_view t) {
        return t.size() <= 40 ? std::string(t) : std::string(t.substr(0, 40)) + "...";
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::int64_t line_ = 1;
};

// header: the instrument of header line 4, whose numbers may not be missing.
TInstrument ReadInstrument(Cursor& in, bool header) {
    const std::int64_t line = in.Line();
    auto number = [&] { return header ? in.HeaderNumber(line) : in.Number(); };
    TInstrument ins;
    ins.CompassCircle = number();
    ins.ClinoCircle = number();
    ins.Declination = number();
    ins.LengthUnit = number();
    in.EndLine();
    if (ins.CompassCircle == 0 || ins.ClinoCircle == 0 || ins.LengthUnit == 0)
        throw ReadError{line, "an instrument's compass circle, clino circle and length unit "
                              "must not be zero"};
    return ins;
}

void AppendLine(std::string& log, std::string_view text) {
    log.append(text);
    log.append("\r\n");
}

} // namespace

TCountResult CountDataLinesIn(std::string_view content) {
    TCountResult r;
    r.Ok = true;
    Cursor in(content);
    for (int h = 0; h < 5 && !in.AtEnd(); ++h)
        in.RestOfLine();
    while (in.SkipBlankLines()) {
        const std::string_view line = in.RestOfLine();
        switch (line[0]) {
        case '#':
        case '$':
        case '%':
        case '&':
        case ';':
        case '@':
            break;
        default:
            ++r.Count;
        }
    }
    return r;
}

TCountResult CountDataLines(const std::string& fileName) {
    std::string content, reason;
    if (!ReadWholeFile(fileName, content, reason))
        return {};
    return CountDataLinesIn(content);
}

namespace {

// reached follows the line being read, for the report of an allocation that failed.
TReadResult ReadText(std::string_view content, const std::string& fileName, TKviste& cave,
                     std::string& headerLine2, const TextClock& clock, std::string& log,
                     std::int64_t& reached) {
    TReadResult result;
    const TCountResult count = CountDataLinesIn(content);
    result.CountedLines = count.Count;

    log.clear();
    // A scan point's log line is longer than its file line; half as much again covers it.
    log.reserve(content.size() + content.size() / 2 + 4096);
    AdviseHugePages(log.data(), log.capacity());
    AppendLine(log, "File reading LogFile for : " + fileName);
    AppendInt(log, count.Count);
    AppendLine(log, "  data lines read; now logging for errors!");
    AppendLine(log, clock.Now());

    // Read into a fresh model so that a failed read leaves the caller's cave as it was.
    // Shots are built in place as they are read: a table of blank records filled afterwards
    // would write every byte of a million-shot model twice.
    TKviste c;
    c.Lines.clear();
    c.Lines.reserve(static_cast<std::size_t>(count.Count) + 1);
    AdviseHugePages(c.Lines.data(), c.Lines.capacity() * sizeof(Tdatalinje));
    c.Lines.emplace_back();
    ResetCave(c, 0);
    std::string line2;

    Cursor in(content);
    try {
        c.CaveName = std::string(in.RestOfLine());
        line2 = std::string(in.RestOfLine());
        c.SurveyInfo = std::string(in.RestOfLine());
        c.Instruments[0] = ReadInstrument(in, true);
        const std::int64_t startLine = in.Line();
        c.StartPos.X = in.HeaderNumber(startLine);
        c.StartPos.Y = in.HeaderNumber(startLine);
        c.StartPos.Z = in.HeaderNumber(startLine);
        in.EndLine();
        c.CommentCount = 1;

        std::int32_t current = 0; // instrument in force
        std::string text;
        while (in.SkipBlankLines()) {
            const std::int64_t kindLine = in.Line();
            reached = kindLine;
            const char kind = in.PeekLine()[0];
            Tdatalinje& last = c.Lines.back(); // the most recent data line, or entry 0
            if (kind == ';') {
                in.TakeInLine(1);
                text = "    ";
                text.append(in.RestOfLine());
                last.Comment = text;
                last.HasComment = true;
                ++c.CommentCount;
                AppendLine(log, text);
            } else if (kind == '@') {
                in.TakeInLine(1);
                c.Instruments.push_back(ReadInstrument(in, false));
                c.InstrumentCount = static_cast<std::int32_t>(c.Instruments.size());
                current = c.InstrumentCount - 1;
            } else if (kind == '#') {
                in.TakeInLine(1);
                const TInstrument& ins = c.Instruments[static_cast<std::size_t>(current)];
                const std::int64_t n = in.Count();
                const double plane = in.Reading(TReadingKind::Bearing, ins);
                in.EndLine();
                TProfArray points;
                for (std::int64_t k = 0; k < n && in.SkipBlankLines(); ++k) {
                    in.TakeInLine(1);
                    TProfil p;
                    p.Angle = in.Reading(TReadingKind::Angle, ins);
                    p.Distance = in.Reading(TReadingKind::Length, ins);
                    in.EndLine();
                    points.push_back(p);
                    ++c.ScanPointCount;
                    log.append("   ---> ");
                    AppendInt(log, k);
                    log.append(" av: ");
                    AppendInt(log, n);
                    log.push_back(' ');
                    AppendReal(log, plane, 5, 2);
                    log.push_back(' ');
                    AppendReal(log, p.Angle, 5, 2);
                    log.push_back(' ');
                    AppendReal(log, p.Distance, 5, 2);
                    AppendLine(log, "  OK");
                }
                last.ScanPoints = std::move(points);
                last.ScanCount = static_cast<std::int32_t>(last.ScanPoints.size());
                last.ScanPlane = plane;
                last.HasScan = true;
                last.Instrument = current;
            } else if (kind == '$') {
                in.TakeInLine(1);
                const std::int64_t n = in.Count();
                in.EndLine();
                TPhotoArray photos;
                for (std::int64_t k = 0; k < n && in.SkipBlankLines(); ++k) {
                    in.TakeInLine(1);
                    std::string name(in.RestOfLine());
                    TrimLeading(name);
                    log.append("  Foto-> ");
                    AppendInt(log, k);
                    log.append(" av: ");
                    AppendInt(log, n);
                    log.push_back(' ');
                    log.append(name);
                    AppendLine(log, "  OK");
                    photos.push_back(std::move(name));
                }
                last.Photos = std::move(photos);
                last.PhotoCount = static_cast<std::int32_t>(last.Photos.size());
                last.HasPhotos = true;
            } else {
                if (c.LineCount == INT32_MAX)
                    throw ReadError{kindLine, "too many data lines"};
                // Lines starting with "%" or "&" were not counted by the first pass: the
                // table simply grows.
                Tdatalinje& d = c.Lines.emplace_back();
                d.FromName = str4(in.TakeInLine(4));
                in.TakeInLine(1);
                d.ToName = str4(in.TakeInLine(4));
                const TInstrument& ins = c.Instruments[static_cast<std::size_t>(current)];
                d.Compass = in.Reading(TReadingKind::Bearing, ins);
                d.Clino = in.Reading(TReadingKind::Angle, ins);
                d.Length = in.Reading(TReadingKind::Length, ins);
                d.Right = in.Reading(TReadingKind::Length, ins);
                d.Left = in.Reading(TReadingKind::Length, ins);
                d.Down = in.Reading(TReadingKind::Length, ins);
                d.Up = in.Reading(TReadingKind::Length, ins);
                in.EndLine();
                d.Instrument = current;
                ++c.LineCount;
                AppendInt(log, c.LineCount);
                log.push_back(' ');
                log.append(d.FromName.view());
                log.append("...");
                log.append(d.ToName.view());
                AppendLine(log, "  OK");
            }
        }
    } catch (const ReadError& e) {
        result.ErrorLine = e.Line;
        result.Reason = e.Reason;
        result.Message = "File reading Error at line " + std::to_string(e.Line);
        return result;
    }
    AppendLine(log, "All is success!!!");

    cave = std::move(c);
    headerLine2 = std::move(line2);
    result.Ok = true;
    return result;
}

} // namespace

TReadResult ReadSurveyText(std::string_view content, const std::string& fileName, TKviste& cave,
                           std::string& headerLine2, const TextClock& clock, std::string& log) {
    std::int64_t reached = 1;
    try {
        return ReadText(content, fileName, cave, headerLine2, clock, log, reached);
    } catch (const std::bad_alloc&) {
        // The model under construction is gone with the exception; the caller's is untouched.
        TReadResult result;
        result.ErrorLine = reached;
        result.Reason = "there is not enough memory to read the file";
        result.Message = "File reading Error at line " + std::to_string(reached);
        return result;
    }
}

TReadResult ReadSurveyFile(const std::string& fileName, TKviste& cave, std::string& headerLine2,
                           const TextClock& clock) {
    TReadResult result;
    std::string content;
    bool got = false;
    try {
        got = ReadWholeFile(fileName, content, result.Reason);
    } catch (const std::bad_alloc&) {
        result.Reason = "not enough memory to hold the file";
    }
    if (!got) {
        result.FileMissing = true;
        return result;
    }
    std::string log;
    result = ReadSurveyText(content, fileName, cave, headerLine2, clock, log);
    std::string reason;
    const std::string logName = JoinPath(DirectoryOf(fileName), kReadingLogName);
    std::error_code ec;
    if (std::filesystem::equivalent(logName, fileName, ec))
        result.Notices.push_back("The reading log was not written: " + fileName +
                                 " is the survey data file itself");
    else if (WriteFileAtomically(logName, log, reason, false))
        result.LogWritten = true;
    else
        result.Notices.push_back("Could not write the reading log " + logName + ": " + reason);
    return result;
}
