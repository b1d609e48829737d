// Vector arithmetic, angle conversions and number formatting.
#include "model/Geometry.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <numbers>

double DegToRad(double a) {
    return std::numbers::pi * a / 180;
}
double RadToDeg(double r) {
    return r / std::numbers::pi * 180;
}

void AddVec(const TVec3& a, const TVec3& b, TVec3& r) {
    r = {a.X + b.X, a.Y + b.Y, a.Z + b.Z};
}
void SubVec(const TVec3& a, const TVec3& b, TVec3& r) {
    r = {a.X - b.X, a.Y - b.Y, a.Z - b.Z};
}
void ScaleVec(const TVec3& a, TVec3& r, double s) {
    r = {s * a.X, s * a.Y, s * a.Z};
}
void ZeroVec(TVec3& a) {
    a = {};
}

void ShotVector(TVec3& d, double bearing, double inclination, double length) {
    const double b = DegToRad(bearing);
    const double c = DegToRad(inclination);
    const double h = std::cos(c) * length;
    d.X = std::sin(b) * h;
    d.Y = std::cos(b) * h;
    d.Z = std::sin(c) * length;
}

void RotateVec(const TVec3& a, TVec3& r, double turn, double tilt) {
    const double t = DegToRad(turn);
    const double s = DegToRad(tilt);
    const double x = std::cos(t) * a.X + std::sin(t) * a.Y;
    const double y = -std::sin(t) * a.X + std::cos(t) * a.Y;
    const double z = a.Z;
    r.X = x;
    r.Y = std::cos(s) * y + std::sin(s) * z;
    r.Z = -std::sin(s) * y + std::cos(s) * z;
}

double BearingOf(double& x, double& y) {
    const double c = x / std::sqrt(x * x + y * y);
    // NaN (a zero vector) fails both comparisons below; treat it like rounding overflow.
    if (!(std::fabs(c) <= 1))
        return kNoBearing;
    if (y >= 0)
        return std::acos(c);
    return std::acos(-c) + std::numbers::pi;
}

static void AppendRealExact(std::string& out, double x, int width, int decimals);

// Two decimals is what every file of the program uses; this path is three times faster than
// to_chars and gives the same bytes (the tests compare it with printf).
static void AppendReal2(std::string& out, double x, int width) {
    // Beyond this, 100 * |x| no longer fits the integer below; rare enough for the slow path.
    if (!(std::fabs(x) < 1e15)) {
        AppendRealExact(out, x, width, 2);
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

static void AppendRealExact(std::string& out, double x, int width, int decimals) {
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
    std::size_t len;
    if (res.ec == std::errc()) {
        len = static_cast<std::size_t>(res.ptr - buf);
    } else {
        // Only reachable for absurd decimal counts; fall back to the shortest form.
        res = std::to_chars(buf, buf + sizeof buf, x);
        len = static_cast<std::size_t>(res.ptr - buf);
    }
    if (width > 0 && len < static_cast<std::size_t>(width))
        out.append(static_cast<std::size_t>(width) - len, ' ');
    out.append(buf, len);
}

void AppendReal(std::string& out, double x, int width, int decimals) {
    if (decimals == 2)
        AppendReal2(out, x, width);
    else
        AppendRealExact(out, x, width, decimals);
}

void AppendRealRoundTrip(std::string& out, double x, int width) {
    // The shortest fixed text that reads back as x tells how many decimals are needed; the
    // check below covers the rare case where rounding the exact value to as many decimals
    // lands on another double.
    char buf[400];
    const auto shortest = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed);
    int decimals = 2;
    if (shortest.ec == std::errc()) {
        const std::string_view text(buf, static_cast<std::size_t>(shortest.ptr - buf));
        const auto point = text.find('.');
        if (point != std::string_view::npos)
            decimals = std::max(decimals, static_cast<int>(text.size() - point - 1));
    }
    std::string s;
    for (;; ++decimals) {
        s.clear();
        AppendRealExact(s, x, width, decimals);
        double back = 0;
        const char* b = s.data() + s.find_first_not_of(' ');
        const auto r = std::from_chars(b, s.data() + s.size(), back);
        if (!std::isfinite(x) || decimals >= 400 || (r.ec == std::errc() && back == x))
            break;
    }
    out += s;
}

void RealToStr(int width, int decimals, std::string& s, double x) {
    s.clear();
    AppendReal(s, x, width, decimals);
}

std::string FormatReal(double x, int width, int decimals) {
    std::string s;
    AppendReal(s, x, width, decimals);
    return s;
}

void AppendVec(std::string& out, const TVec3& v, int width) {
    AppendReal2(out, v.X, width);
    out += ' ';
    AppendReal2(out, v.Y, width);
    out += ' ';
    AppendReal2(out, v.Z, width);
}

void AppendInt(std::string& out, long long n, int width) {
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, n);
    const std::size_t len = static_cast<std::size_t>(res.ptr - buf);
    if (width > 0 && len < static_cast<std::size_t>(width))
        out.append(static_cast<std::size_t>(width) - len, ' ');
    out.append(buf, len);
}

long long RoundEven(double x) {
    // Out-of-range values would be undefined for llrint; pin them to the ends.
    if (!(x > -9.0e18))
        return std::isnan(x) ? 0 : -9000000000000000000LL;
    if (x > 9.0e18)
        return 9000000000000000000LL;
    return std::llrint(x);
}
