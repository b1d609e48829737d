// The four listings: cartesian data, comments, statistics and profile scans.
#include "reduction/Listings.h"

#include "model/FileIO.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

void AppendReal2(std::string& out, double x, int width) {
    // Beyond this, 100 * |x| no longer fits the integer below; rare enough for the slow path.
    if (!(std::fabs(x) < 1e15)) {
        AppendReal(out, x, width, 2);
        return;
    }
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    const bool negative = (bits >> 63) != 0;
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    int exponent = -1074;
    if (biased != 0) {
        mantissa |= std::uint64_t{1} << 52;
        exponent = biased - 1075;
    }
    // |x| * 100 = mantissa * 100 * 2^exponent, rounded to an integer, ties to even, as printf
    // rounds the exact value.
    const std::uint64_t product = mantissa * 100; // below 2^60
    std::uint64_t hundredths;
    if (exponent >= 0) {
        hundredths = product << exponent; // below 1e17 because |x| < 1e15
    } else if (exponent <= -64) {
        hundredths = 0; // product / 2^64 < 1/16
    } else {
        const int shift = -exponent;
        hundredths = product >> shift;
        const std::uint64_t rest = product & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        if (rest > half || (rest == half && (hundredths & 1) != 0))
            ++hundredths;
    }

    char buf[24];
    char* end = buf + sizeof buf;
    char* p = end;
    std::uint64_t whole = hundredths / 100;
    const unsigned frac = static_cast<unsigned>(hundredths % 100);
    *--p = static_cast<char>('0' + frac % 10);
    *--p = static_cast<char>('0' + frac / 10);
    *--p = '.';
    do {
        *--p = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (negative)
        *--p = '-';
    const std::size_t len = static_cast<std::size_t>(end - p);
    if (width > 0 && len < static_cast<std::size_t>(width))
        out.append(static_cast<std::size_t>(width) - len, ' ');
    out.append(p, len);
}

namespace {

constexpr const char* kEol = "\r\n";

// "Ø" is the Windows-1252 byte, whatever the encoding of this source file.
const std::string kLongHeader = "Fra Til   Komp     Klin    Lengd    Dx     Dy     Dz    \xD8st"
                                "      Nord     Opp     Lenket";
const std::string kShortHeader =
    "Fra Til  Komp   Klin    Lengd  Dx     Dy     Dz    \xD8st    Nord   Opp   Lenket";

void AppendBool(std::string& out, bool b) {
    out += b ? "TRUE" : "FALSE";
}

void AppendLine(std::string& out, std::string_view text) {
    out += text;
    out += kEol;
}

void AppendStamp(std::string& out, const TextClock& clock) {
    out += "File created at : ";
    out += clock.Now();
    out += kEol;
}

// x, y, z each right-aligned in width with 2 decimals, one blank between them.
void AppendTriple(std::string& out, const TVec3& v, int width) {
    AppendReal2(out, v.X, width);
    out += ' ';
    AppendReal2(out, v.Y, width);
    out += ' ';
    AppendReal2(out, v.Z, width);
}

void AppendScanBlock(std::string& out, const Tdatalinje& line) {
    out += "--> Cross- section scan from station ";
    out += line.ToName.view();
    out += " in Plane: ";
    AppendReal2(out, line.ScanPlane, 5);
    out += ' ';
    AppendInt(out, line.ScanCount);
    out += "Stations";
    out += kEol;
    AppendLine(out, "           Inclination  Distance    dPositions        Total  XYZ");
    for (const TProfil& p : line.ScanPoints) {
        out += "    --> ";
        AppendReal2(out, p.Angle, 5);
        out += ' ';
        AppendReal2(out, p.Distance, 5);
        out += ' ';
        AppendTriple(out, p.Offset, 6);
        out += ' ';
        AppendTriple(out, p.World, 8);
        out += kEol;
    }
    out += " <---->  End of profile scan from station ";
    out += line.ToName.view();
    out += kEol;
}

bool Write(const std::string& fileName, const std::string& text, std::string& reason) {
    return WriteFileAtomically(fileName, text, reason, /*sync=*/false);
}

} // namespace

std::string CartesianListingText(const std::string& fileName, const TKviste& cave,
                                 const TextClock& clock) {
    std::string out;
    // One allocation: growing a string of a hundred megabytes copies it and touches twice the
    // memory. A shot row takes about 90 bytes, a scan point line about 70 and the lines around
    // a scan about 250. Reserved pages that stay unused cost nothing.
    const std::size_t lines = static_cast<std::size_t>(cave.LineCount > 0 ? cave.LineCount : 0);
    const std::size_t points =
        static_cast<std::size_t>(cave.ScanPointCount > 0 ? cave.ScanPointCount : 0);
    out.reserve(400 + lines * 112 + points * 90 + std::min(lines, points) * 300);
    AdviseLargeBuffer(out.data(), out.capacity());
    AppendLine(out, cave.CaveName + "    [Fil : " + fileName + "]");
    AppendLine(out, cave.SurveyInfo + " Cartesian generated by Kvistrel");
    AppendStamp(out, clock);
    AppendLine(out, kLongHeader);

    // A survey without shots still gets its start row, from a blank line record.
    static const Tdatalinje kBlank;
    const Tdatalinje& first = cave.LineCount >= 1 ? cave.Lines[1] : kBlank;
    out += "    ";
    out += first.FromName.view();
    out.append(44, ' ');
    AppendTriple(out, cave.StartPos, 8);
    out += "  ";
    AppendBool(out, first.Linked);
    out += kEol;

    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        const Tdatalinje& line = cave.Lines[i];
        out += line.FromName.view();
        out += '-';
        out += line.ToName.view();
        out += ' ';
        AppendReal2(out, line.Compass, 6);
        out += ' ';
        AppendReal2(out, line.Clino, 7);
        out += ' ';
        AppendReal2(out, line.Length, 6);
        out += ' ';
        AppendTriple(out, line.Delta, 6);
        out += ' ';
        AppendTriple(out, line.Pos, 8);
        out += ' ';
        AppendBool(out, line.Linked);
        out += kEol;
        if (line.HasScan) {
            AppendScanBlock(out, line);
            if (i != cave.LineCount)
                AppendLine(out, kShortHeader);
        }
    }
    out += "Ferdig!";
    return out;
}

std::string CommentsListingText(const std::string& dataFile, const TKviste& cave,
                                const TextClock& clock) {
    std::string out;
    AppendLine(out, " List of Comments in  " + dataFile);
    AppendLine(out, cave.CaveName);
    AppendLine(out, cave.SurveyInfo);
    AppendStamp(out, clock);
    // Entry 0 holds a comment that stands before the first shot.
    for (std::int32_t i = 0; i <= cave.LineCount; ++i) {
        const Tdatalinje& line = cave.Lines[i];
        if (!line.HasComment)
            continue;
        AppendInt(out, i);
        out += " : ";
        out += line.Comment;
        out += kEol;
    }
    return out;
}

std::string StatisticsText(const TKviste& cave, const TSummaryValues& s, const TextClock& clock) {
    std::string out;
    AppendLine(out, "      S T A T I S T I C S");
    AppendLine(out, "     " + cave.CaveName);
    out += kEol;
    out += " Total length    : ";
    AppendReal2(out, s.TotalLength, 10);
    AppendLine(out, "m");
    out += " Depth           : ";
    AppendReal2(out, s.MinZ, 8);
    AppendLine(out, "m");
    out += " Total elevation : ";
    AppendReal2(out, s.MaxZ - s.MinZ, 8);
    AppendLine(out, "m");
    out += kEol;
    AppendInt(out, static_cast<long long>(cave.LineCount) - cave.ZeroLegCount, 4);
    out += " PolygonLegs : ";
    AppendReal2(out, s.MeanLeg, 6);
    out += "m  [";
    AppendReal2(out, s.LongestLeg, 6);
    out += "--";
    AppendReal2(out, s.ShortestLeg, 6);
    AppendLine(out, "]");
    out += kEol;
    const auto range = [&out](const char* caption, double max, double min) {
        out += caption;
        AppendReal2(out, max, 9);
        out += " ...";
        AppendReal2(out, min, 10);
        AppendLine(out, ") m");
    };
    range(" Max/min North   : (", s.MaxNorth, s.MinNorth);
    range(" Max/min East    : (", s.MaxEast, s.MinEast);
    range(" Elevation (Z)   : (", s.MaxZ, s.MinZ);
    for (int k = 0; k < 4; ++k)
        out += kEol;
    AppendStamp(out, clock);
    return out;
}

std::string ScanListText(const TKviste& cave, const TextClock& clock) {
    std::string out;
    AppendLine(out, "Laser profile scans");
    AppendStamp(out, clock);
    AppendLine(out, cave.CaveName);
    AppendLine(out, "line From shots plane");
    long long found = 0;
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        const Tdatalinje& line = cave.Lines[i];
        if (!line.HasScan)
            continue;
        ++found;
        AppendInt(out, i);
        out += ' ';
        out += line.ToName.view();
        out += ' ';
        AppendInt(out, line.ScanCount);
        out += ' ';
        AppendReal2(out, line.ScanPlane, 5);
        out += kEol;
    }
    AppendInt(out, found);
    AppendLine(out, "  profile scans found");
    return out;
}

bool WriteCartesianListing(const std::string& fileName, const TKviste& cave, const TextClock& clock,
                           std::string& reason) {
    return Write(fileName, CartesianListingText(fileName, cave, clock), reason);
}

bool WriteCommentsListing(const std::string& fileName, const std::string& dataFile,
                          const TKviste& cave, const TextClock& clock, std::string& reason) {
    return Write(fileName, CommentsListingText(dataFile, cave, clock), reason);
}

bool WriteStatistics(const std::string& fileName, const TKviste& cave,
                     const TSummaryValues& summary, const TextClock& clock, std::string& reason) {
    return Write(fileName, StatisticsText(cave, summary, clock), reason);
}

bool WriteScanList(const std::string& fileName, const TKviste& cave, const TextClock& clock,
                   std::string& reason) {
    return Write(fileName, ScanListText(cave, clock), reason);
}
