// Reading and writing of the clip polygon file, line by line with the faults named.
#include "plot/ClipPolygonFile.h"

#include "model/FileIO.h"
#include "model/TextLines.h"

#include <charconv>
#include <string_view>
#include <vector>

namespace {

bool ParseInt(std::string_view t, std::int32_t& v) {
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    if (t.empty())
        return false;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    return r.ec == std::errc{} && r.ptr == t.data() + t.size();
}

// Digits with an optional sign, point and exponent; from_chars alone would take "inf".
bool ParseReal(std::string_view t, double& v) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9')
        ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        std::size_t exp = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i, ++exp;
        if (exp == 0)
            return false;
    }
    if (i != t.size())
        return false;
    const char* b = t.data();
    if (*b == '+')
        ++b;
    const auto r = std::from_chars(b, t.data() + t.size(), v);
    return r.ec == std::errc{} && r.ptr == t.data() + t.size();
}

TClipFileResult Fault(std::int32_t line, std::string reason) {
    return {false, line, std::move(reason)};
}

// Built by appending: GCC 12 at -O3 sees a false overlap in '"' + std::string.
std::string Quoted(std::string_view t) {
    std::string q;
    q.reserve(t.size() + 2);
    q += '"';
    q.append(t);
    q += '"';
    return q;
}

// A world coordinate in its field of 10; one that fills the field gets a blank in front, or it
// would run into the number before it and not read back.
void AppendField(std::string& out, double v) {
    const std::string f = FormatReal(v, 10, 2);
    if (f.front() != ' ' && !out.empty() && out.back() != ' ')
        out += ' ';
    out += f;
}

} // namespace

std::string ClipPolyFileName(const std::string& dataFile) {
    return ChangeExtension(dataFile, kClipPolyExtension);
}

TClipFileResult ReadClipPolyText(const std::string& text, TPolyGon& poly) {
    TLineCursor cursor(text);
    std::string_view line;
    if (!cursor.Next(line))
        return Fault(1, "the file is empty; the first line should hold the number of polygons");
    std::size_t pos = 0;
    std::string_view tok = NextToken(line, pos);
    std::int32_t polygons = 0;
    if (!ParseInt(tok, polygons) || polygons < 0)
        return Fault(1, "the number of polygons " + Quoted(tok) +
                            " is not a whole number of 0 or more");

    // Nothing is reserved from a count: the nodes grow with the lines actually there.
    TPolyGon read;
    bool any = false;
    for (std::int32_t p = 0; p < polygons; ++p) {
        if (!cursor.Next(line))
            return Fault(cursor.Number() + 1, "the file ends where polygon " +
                                                  std::to_string(p + 1) + " of " +
                                                  std::to_string(polygons) + " should begin");
        const std::int32_t headerLine = cursor.Number();
        pos = 0;
        std::int32_t count = 0;
        double area = 0, perimeter = 0;
        tok = NextToken(line, pos);
        if (!ParseInt(tok, count) || count < 0)
            return Fault(headerLine,
                         "the node count " + Quoted(tok) + " is not a whole number of 0 or more");
        tok = NextToken(line, pos);
        if (!ParseReal(tok, area))
            return Fault(headerLine, "the area " + Quoted(tok) + " is not a number");
        tok = NextToken(line, pos);
        if (!ParseReal(tok, perimeter))
            return Fault(headerLine, "the perimeter " + Quoted(tok) + " is not a number");
        // The one blank after the perimeter separates; the name is the rest of the line.
        if (pos < line.size())
            ++pos;
        std::string name(line.substr(pos));

        TPoints pts;
        TWPoints wpts;
        for (std::int32_t k = 0; k < count; ++k) {
            if (!cursor.Next(line))
                return Fault(cursor.Number() + 1, "the file ends after " + std::to_string(k) +
                                                      " of " + std::to_string(count) +
                                                      " node lines");
            pos = 0;
            TScreenPoint s;
            TWPoint w;
            const char* what[5] = {"screen X", "screen Y", "world X", "world Y", "world Z"};
            for (int f = 0; f < 5; ++f) {
                tok = NextToken(line, pos);
                const bool ok = f == 0   ? ParseInt(tok, s.X)
                                : f == 1 ? ParseInt(tok, s.Y)
                                : f == 2 ? ParseReal(tok, w.X)
                                : f == 3 ? ParseReal(tok, w.Y)
                                         : ParseReal(tok, w.Z);
                if (!ok)
                    return Fault(cursor.Number(), std::string("the ") + what[f] + " " +
                                                      Quoted(tok) + " of a node is not " +
                                                      (f < 2 ? "a whole number" : "a number"));
            }
            pts.push_back(s);
            wpts.push_back(w);
        }
        read.Count = count;
        read.Area = area;
        read.Perimeter = perimeter;
        read.Name = std::move(name);
        read.Pts = std::move(pts);
        read.WPts = std::move(wpts);
        any = true;
    }
    if (any) {
        poly.Count = read.Count;
        poly.Area = read.Area;
        poly.Perimeter = read.Perimeter;
        poly.Name = std::move(read.Name);
        poly.Pts = std::move(read.Pts);
        poly.WPts = std::move(read.WPts);
        poly.Closed = true;
        poly.Loaded = true;
    }
    UpdatePolyGon(poly);
    return {};
}

TClipFileResult ReadClipPolyFile(const std::string& path, TPolyGon& poly) {
    std::string text, reason;
    if (!ReadWholeFile(path, text, reason))
        return Fault(0, reason);
    return ReadClipPolyText(text, poly);
}

std::string ClipPolyText(const TPolyGon& poly, const std::string& caveName) {
    const std::size_t n =
        std::min(static_cast<std::size_t>(std::max(poly.Count, 0)), poly.Pts.size());
    std::string out = "1  Clip Polygon File for " + caveName + "\r\n";
    AppendInt(out, static_cast<long long>(n));
    out += ' ';
    AppendReal(out, poly.Area, 6, 1);
    out += ' ';
    AppendReal(out, poly.Perimeter, 6, 1);
    out += ' ';
    out += poly.Name;
    out += "\r\n";
    for (std::size_t i = 0; i < n; ++i) {
        const TWPoint w = i < poly.WPts.size() ? poly.WPts[i] : TWPoint{};
        AppendInt(out, poly.Pts[i].X);
        out += ' ';
        AppendInt(out, poly.Pts[i].Y);
        out += ' ';
        AppendField(out, w.X);
        AppendField(out, w.Y);
        AppendField(out, w.Z);
        out += "\r\n";
    }
    return out;
}

TClipFileResult WriteClipPolyFile(const std::string& path, const TPolyGon& poly,
                                  const std::string& caveName) {
    std::string reason;
    if (!WriteFileAtomically(path, ClipPolyText(poly, caveName), reason))
        return Fault(0, reason);
    return {};
}

std::string ClipFileMessage(const std::string& path, const TClipFileResult& result) {
    if (result.Line > 0)
        return path + ": line " + std::to_string(result.Line) + ": " + result.Reason;
    return path + ": " + result.Reason;
}
