// Vector arithmetic, angle conversions and number formatting.
#include "model/Geometry.h"

#include <charconv>
#include <cmath>
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

void AppendReal(std::string& out, double x, int width, int decimals) {
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

void RealToStr(int width, int decimals, std::string& s, double x) {
    s.clear();
    AppendReal(s, x, width, decimals);
}

std::string FormatReal(double x, int width, int decimals) {
    std::string s;
    AppendReal(s, x, width, decimals);
    return s;
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
