// Writer of survey data files.
#include "model/SurveyWriter.h"

#include "model/FileIO.h"
#include "model/ReadingUnits.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <string_view>

namespace {

const std::string kStampStart = " #(File written by";

void EndLine(std::string& out) {
    out.append("\r\n");
}

// Instrument values go out with as many decimals as they need to read back unchanged: a
// length unit of 3.28084 or 0.001 cut to two decimals would change every length of the file.
void AppendInstrument(std::string& out, const TInstrument& ins) {
    AppendRealRoundTrip(out, ins.CompassCircle, 6);
    out.push_back(' ');
    AppendRealRoundTrip(out, ins.ClinoCircle, 6);
    out.push_back(' ');
    AppendRealRoundTrip(out, ins.Declination, 6);
    out.push_back(' ');
    AppendRealRoundTrip(out, ins.LengthUnit, 6);
}

bool SameDouble(double a, double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

// Doubles in ascending order as unsigned keys, so that a search can bisect them.
std::uint64_t OrderKey(double d) {
    const auto u = std::bit_cast<std::uint64_t>(d);
    return (u >> 63) != 0 ? ~u : u | (std::uint64_t{1} << 63);
}

double FromOrderKey(std::uint64_t k) {
    return std::bit_cast<double>((k >> 63) != 0 ? k & ~(std::uint64_t{1} << 63) : ~k);
}

// A file value that the reader turns into exactly v, when there is one. The conversion is
// monotonic in the file value, so the doubles can be bisected.
bool ExactFileValue(TReadingKind kind, const TInstrument& ins, double v, double& y) {
    const double guess = ReadingToFile(kind, ins, v);
    if (std::isfinite(guess) && SameDouble(ReadingFromFile(kind, ins, guess), v)) {
        y = guess;
        return true;
    }
    const bool grows = ReadingGrows(kind, ins);
    const auto reached = [&](std::uint64_t k) {
        const double f = ReadingFromFile(kind, ins, FromOrderKey(k));
        return grows ? f >= v : f <= v;
    };
    std::uint64_t lo = OrderKey(-std::numeric_limits<double>::max());
    std::uint64_t hi = OrderKey(std::numeric_limits<double>::max());
    if (!reached(hi))
        return false;
    while (lo < hi) {
        const std::uint64_t mid = lo + (hi - lo) / 2;
        if (reached(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    // Both zeros compare equal; the sign of a zero reading must survive as well.
    for (int step = 0; step < 4 && lo <= OrderKey(std::numeric_limits<double>::max());
         ++step, ++lo) {
        const double candidate = FromOrderKey(lo);
        if (SameDouble(ReadingFromFile(kind, ins, candidate), v)) {
            y = candidate;
            return true;
        }
    }
    return false;
}

// The common case of the check below without formatting anything: a text of at most 13
// digits reads back as hundredths / 100 exactly rounded, and a value converted there and back
// that stays within 0.004 of it rounds to the same two decimals (its last place is worth less
// than 0.0005 below 4e12). A zero must also keep its sign.
bool StableFast(TReadingKind kind, const TInstrument& ins, std::string_view text) {
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.size() < 4 || text.size() > 16 || text[text.size() - 3] != '.')
        return false;
    std::uint64_t hundredths = 0;
    for (const char c : text)
        if (c != '.')
            hundredths = hundredths * 10 + static_cast<std::uint64_t>(c - '0');
    double y = static_cast<double>(hundredths) / 100;
    if (negative)
        y = -y;
    if (!(std::fabs(y) < 4e12))
        return false;
    const double again = ReadingFromFile(kind, ins, y);
    if (!std::isfinite(again))
        return false;
    const double t = ReadingToFile(kind, ins, again);
    return std::fabs(t - y) < 0.004 && (hundredths != 0 || std::signbit(t) == negative);
}

// A reading in the file's units with two decimals, as long as reading that text back and
// writing it again gives the same text. Near the limits of a double, or where the instrument's
// conversion loses digits, two decimals are not stable: the value is then written with as many
// digits as it takes to read back as exactly v, so a second save repeats the first.
void AppendReading(std::string& out, TReadingKind kind, const TInstrument& ins, double v,
                   int width) {
    const std::size_t start = out.size();
    AppendReal(out, ReadingToFile(kind, ins, v), width, 2);
    const std::size_t digits = out.find_first_not_of(' ', start);
    if (StableFast(kind, ins, std::string_view(out).substr(digits)))
        return;
    double y = 0;
    const auto parsed = std::from_chars(out.data() + digits, out.data() + out.size(), y);
    if (parsed.ec == std::errc()) {
        const double again = ReadingFromFile(kind, ins, y);
        if (std::isfinite(again)) {
            char buf[24];
            const double t = ReadingToFile(kind, ins, again);
            // Texts of more than 20 characters are rare enough to format the slow way.
            const auto r =
                std::fabs(t) < 1e15
                    ? std::to_chars(buf, buf + sizeof buf, t, std::chars_format::fixed, 2)
                    : std::to_chars_result{buf, std::errc::value_too_large};
            if (r.ec == std::errc()) {
                if (std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)) ==
                    std::string_view(out).substr(digits))
                    return;
            } else if (FormatReal(t, 0, 2) == std::string_view(out).substr(digits)) {
                return;
            }
        }
    }
    double exact = 0;
    if (ExactFileValue(kind, ins, v, exact)) {
        out.resize(start);
        AppendRealRoundTrip(out, exact, width);
    }
}

void AppendStartCoordinate(std::string& out, double x) {
    AppendReal(out, x, 6, 2);
    out.push_back(' ');
}

// Text edited in a window may hold line breaks; in the file they would start new lines.
void AppendOneLine(std::string& out, std::string_view text) {
    for (char c : text)
        out.push_back(c == '\r' || c == '\n' ? ' ' : c);
}

} // namespace

std::string SurveyFileText(TKviste& cave, const std::string& headerLine2, const TextClock& clock) {
    // Only the stamp of an earlier write is dropped, so the user's own text on the line
    // (a "#" of his own included) survives and the line does not grow from save to save.
    const auto stamp = cave.SurveyInfo.find(kStampStart);
    if (stamp != std::string::npos)
        cave.SurveyInfo.erase(stamp);

    std::string out;
    out.reserve(static_cast<std::size_t>(cave.LineCount) * 56 + 512);
    out.append(cave.CaveName);
    EndLine(out);
    out.append(headerLine2);
    EndLine(out);
    out.append(cave.SurveyInfo);
    out.append(kStampStart);
    out.append(" Kvistrel");
    out.append(kProgramVersion);
    out.append(" win)");
    out.append(clock.Now());
    EndLine(out);
    AppendInstrument(out, cave.Instruments[0]);
    EndLine(out);
    AppendStartCoordinate(out, cave.StartPos.X);
    AppendStartCoordinate(out, cave.StartPos.Y);
    AppendStartCoordinate(out, cave.StartPos.Z);
    EndLine(out);

    std::int32_t current = 0;
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        const Tdatalinje& l = cave.Lines[static_cast<std::size_t>(i)];
        std::int32_t insIndex = l.Instrument;
        if (insIndex < 0 || insIndex >= static_cast<std::int32_t>(cave.Instruments.size()))
            insIndex = 0;
        // Any change, down as well as up, so each line reads back with its own instrument.
        if (insIndex != current) {
            current = insIndex;
            out.append("@     ");
            AppendInstrument(out, cave.Instruments[static_cast<std::size_t>(current)]);
            EndLine(out);
        }
        const TInstrument& ins = cave.Instruments[static_cast<std::size_t>(current)];

        out.append(l.FromName.Padded());
        out.push_back(' ');
        out.append(l.ToName.Padded());
        const double lengths[5] = {l.Length, l.Right, l.Left, l.Down, l.Up};
        out.push_back(' ');
        AppendReading(out, TReadingKind::Bearing, ins, l.Compass, 6);
        out.push_back(' ');
        AppendReading(out, TReadingKind::Angle, ins, l.Clino, 6);
        for (double v : lengths) {
            out.push_back(' ');
            AppendReading(out, TReadingKind::Length, ins, v, 6);
        }
        EndLine(out);

        if (l.HasComment) {
            // The reader puts four blanks before every comment; they are not the user's.
            out.push_back(';');
            AppendOneLine(out, l.Comment.compare(0, 4, "    ") == 0
                                   ? std::string_view(l.Comment).substr(4)
                                   : std::string_view(l.Comment));
            EndLine(out);
        }
        if (l.HasScan) {
            out.append("#    ");
            AppendInt(out, static_cast<long long>(l.ScanPoints.size()));
            out.push_back(' ');
            AppendReading(out, TReadingKind::Bearing, ins, l.ScanPlane, 5);
            EndLine(out);
            for (const TProfil& p : l.ScanPoints) {
                out.append("#   ");
                AppendReading(out, TReadingKind::Angle, ins, p.Angle, 5);
                out.push_back(' ');
                AppendReading(out, TReadingKind::Length, ins, p.Distance, 6);
                EndLine(out);
            }
        }
        if (l.HasPhotos) {
            out.append("$    ");
            AppendInt(out, static_cast<long long>(l.Photos.size()));
            EndLine(out);
            for (const std::string& photo : l.Photos) {
                out.append("$   ");
                // As the reader will take it: without the blanks that lead the name.
                const std::size_t name = out.size();
                AppendOneLine(out, photo);
                const std::size_t first = out.find_first_not_of(' ', name);
                out.erase(name, (first == std::string::npos ? out.size() : first) - name);
                EndLine(out);
            }
        }
    }
    return out;
}

TWriteResult WriteSurveyFile(const std::string& fileName, TKviste& cave,
                             const std::string& headerLine2, const TextClock& clock) {
    TWriteResult result;
    std::string text;
    try {
        text = SurveyFileText(cave, headerLine2, clock);
    } catch (const std::bad_alloc&) {
        result.Reason = "not enough memory to build the file";
        return result;
    }
    if (!WriteFileAtomically(fileName, text, result.Reason))
        return result;
    result.Ok = true;
    result.Message = std::to_string(cave.LineCount) + " lines saved in: " + fileName + " ! ";
    return result;
}
