// Geometry routines and the number format.
#include "model/Geometry.h"
#include "support/TestSupport.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

TEST(RealToStr, RightAlignsRoundsAndNeverCuts) {
    std::string s;
    RealToStr(5, 2, s, 3.14159);
    EXPECT_EQ(s, " 3.14");
    EXPECT_EQ(FormatReal(-5, 8, 2), "   -5.00");
    EXPECT_EQ(FormatReal(1000000, 6, 2), "1000000.00");
    EXPECT_EQ(FormatReal(7, 6, 2), "  7.00");
    EXPECT_EQ(FormatReal(-0.001, 6, 2), " -0.00");
    EXPECT_EQ(FormatReal(0.125, 0, 2), "0.12"); // exact binary value, ties to even
    EXPECT_EQ(FormatReal(0.375, 0, 2), "0.38");
    EXPECT_EQ(FormatReal(2.675, 0, 2), "2.67"); // 2.67499999... in binary
}

TEST(ShotVector, VerticalAndZeroShots) {
    TVec3 d;
    ShotVector(d, 123, 90, 5);
    EXPECT_NEAR(d.X, 0, kPosTol);
    EXPECT_NEAR(d.Y, 0, kPosTol);
    EXPECT_DOUBLE_EQ(d.Z, 5);
    ShotVector(d, 45, 10, 0);
    EXPECT_EQ(d, (TVec3{0, 0, 0}));
    ShotVector(d, 90, 0, 2);
    EXPECT_NEAR(d.X, 2, kPosTol);
    EXPECT_NEAR(d.Y, 0, kPosTol);
}

TEST(BearingOf, QuadrantsAndUndefined) {
    double x = 0, y = -1;
    EXPECT_DOUBLE_EQ(BearingOf(x, y), 3 * std::numbers::pi / 2);
    x = 1, y = 0;
    EXPECT_DOUBLE_EQ(BearingOf(x, y), 0);
    x = -1, y = 0;
    EXPECT_DOUBLE_EQ(BearingOf(x, y), std::numbers::pi);
    x = 0, y = 0;
    EXPECT_EQ(BearingOf(x, y), kNoBearing);
}

TEST(RotateVec, TurnThenTilt) {
    TVec3 r;
    RotateVec({0, 1, 0}, r, 90, 0);
    EXPECT_NEAR(r.X, 1, kPosTol);
    EXPECT_NEAR(r.Y, 0, kPosTol);
    RotateVec({0, 0, 1}, r, 0, 90);
    EXPECT_NEAR(r.Y, 1, kPosTol);
    EXPECT_NEAR(r.Z, 0, kPosTol);
}

TEST(RoundEven, HalvesToEven) {
    EXPECT_EQ(RoundEven(0.5), 0);
    EXPECT_EQ(RoundEven(1.5), 2);
    EXPECT_EQ(RoundEven(-2.5), -2);
    EXPECT_EQ(RoundEven(2.4999), 2);
    EXPECT_EQ(RoundEven(1e300), 9000000000000000000LL);
}

// The fast two-decimal path gives exactly what printf gives, ties, signs, NaN and infinities
// included.
TEST(AppendReal, TwoDecimalsMatchPrintf) {
    std::vector<double> values = {0.0,    -0.0,         0.005,    -0.005,      0.125,
                                  0.375,  2.675,        -2.675,   1.005,       0.001,
                                  -0.001, 999.995,      1e15,     -1e15,       999999999999999.9,
                                  1e300,  -1e-300,      4.9e-324, 1234567.125, -5,
                                  1e6,    std::nan(""), INFINITY, -INFINITY,   0.045};
    for (int k = -4000; k <= 4000; ++k)
        values.push_back(k / 8.0 + 0.005 * (k % 3)); // exact binary ties and near misses
    std::uint64_t state = 12345;
    for (int k = 0; k < 200000; ++k) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        const double mantissa = static_cast<double>(state >> 11) * 0x1.0p-53;
        const int scale = static_cast<int>((state >> 3) % 40) - 20;
        values.push_back((state & 1 ? -1 : 1) * mantissa * std::pow(10.0, scale));
    }
    for (const double x : values) {
        for (const int width : {0, 5, 8, 10}) {
            std::string expected, actual;
            char buf[400];
            std::snprintf(buf, sizeof buf, "%*.*f", width, 2, x);
            expected = buf;
            AppendReal(actual, x, width, 2);
            ASSERT_EQ(expected, actual) << "x = " << x << ", width " << width;
        }
    }
}

// Instrument values: the fewest decimals, at least two, that read back as the same double.
TEST(AppendRealRoundTrip, FewestDecimalsThatReadBackExactly) {
    auto text = [](double x, int width) {
        std::string s;
        AppendRealRoundTrip(s, x, width);
        return s;
    };
    EXPECT_EQ(text(3.28084, 6), "3.28084");
    EXPECT_EQ(text(0.001, 6), " 0.001");
    EXPECT_EQ(text(1, 6), "  1.00");
    EXPECT_EQ(text(400, 6), "400.00");
    EXPECT_EQ(text(-2.5, 6), " -2.50");
    EXPECT_EQ(text(-0.0, 6), " -0.00");
    EXPECT_EQ(text(0.1 + 0.2, 0), "0.30000000000000004");
    EXPECT_EQ(text(1e22, 0), "10000000000000000000000.00");

    std::vector<double> values = {
        4.9e-324, -2.2250738585072014e-308, 1.7976931348623157e308, 1e-7, 0.125, 123456.789};
    std::uint64_t state = 99;
    for (int k = 0; k < 20000; ++k) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        values.push_back(std::bit_cast<double>(state));
    }
    for (const double x : values) {
        if (!std::isfinite(x))
            continue;
        const std::string s = text(x, 6);
        const std::size_t point = s.find('.');
        ASSERT_NE(point, std::string::npos) << s;
        EXPECT_GE(s.size() - point - 1, 2u) << s;
        double back = 0;
        const char* b = s.data() + s.find_first_not_of(' ');
        std::from_chars(b, s.data() + s.size(), back);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(back), std::bit_cast<std::uint64_t>(x)) << s;
        // One decimal fewer would not do, unless two is the floor.
        if (s.size() - point - 1 > 2) {
            std::string shorter;
            AppendReal(shorter, x, 0, static_cast<int>(s.size() - point - 2));
            double other = 0;
            std::from_chars(shorter.data(), shorter.data() + shorter.size(), other);
            EXPECT_NE(other, x) << s;
        }
    }
}
