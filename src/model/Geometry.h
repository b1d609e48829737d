// Vector arithmetic, angle conversions and the fixed-point number format shared by every writer.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

struct TVec3 {
    double X = 0, Y = 0, Z = 0;
    friend bool operator==(const TVec3&, const TVec3&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const TVec3& v) {
    return os << '(' << v.X << ", " << v.Y << ", " << v.Z << ')';
}

// A plan point (wall points): X east, Y north, metres.
struct TPlanPoint {
    double X = 0, Y = 0;
    friend bool operator==(const TPlanPoint&, const TPlanPoint&) = default;
};

// A point on the screen in pixels.
struct TScreenPoint {
    std::int32_t X = 0, Y = 0;
    friend bool operator==(const TScreenPoint&, const TScreenPoint&) = default;
};

double DegToRad(double a);
double RadToDeg(double r);

void AddVec(const TVec3& a, const TVec3& b, TVec3& r);
void SubVec(const TVec3& a, const TVec3& b, TVec3& r);
void ScaleVec(const TVec3& a, TVec3& r, double s);
void ZeroVec(TVec3& a);

// East-north-up vector of a shot: bearing and inclination in degrees, length in metres.
void ShotVector(TVec3& d, double bearing, double inclination, double length);

// View rotation: turn about the vertical axis, then tilt about the new X axis (degrees).
void RotateVec(const TVec3& a, TVec3& r, double turn, double tilt);

// Counter-clockwise angle of (x, y) from +X in radians, 0 .. 2 pi; 999999.0 when undefined.
double BearingOf(double& x, double& y);
inline constexpr double kNoBearing = 999999.0;

// x in fixed point with the given decimals, right-aligned in at least width
// characters, never cut; "." whatever the locale; rounding as printf("%*.*f").
void RealToStr(int width, int decimals, std::string& s, double x);
// Appends the same text to out, for writers that build a whole file.
void AppendReal(std::string& out, double x, int width, int decimals);
std::string FormatReal(double x, int width, int decimals);
// x with the fewest decimals, at least two, whose text reads back as exactly x (finite x).
void AppendRealRoundTrip(std::string& out, double x, int width);
// Appends X, Y and Z, each with two decimals in at least width characters, one blank apart.
void AppendVec(std::string& out, const TVec3& v, int width);
// Appends an integer right-aligned in at least width characters.
void AppendInt(std::string& out, long long n, int width = 0);

// Round to the nearest integer, halves to even: every real-to-pixel and real-to-plotter conversion.
long long RoundEven(double x);
