// Survey generator: byte layout of the writer, determinism, names, loops, and that the reader takes
// what it makes.
#include "SurveyGenerator.h"

#include "model/SurveyReader.h"
#include "reduction/Loops.h"
#include "reduction/Reduction.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace {

// The generated file cut into lines and sorted by kind, checking the layout on the way.
struct Survey {
    std::vector<std::string_view> Lines; // without CR LF
    std::vector<std::string_view> DataLines;
    std::int64_t Comments = 0;
    std::int64_t Scans = 0;
    std::int64_t ScanPoints = 0;
    std::int64_t PhotoLists = 0;
    std::int64_t RepeatedToNames = 0; // shots ending at a station reached before: loop closures
};

bool IsName(std::string_view s) {
    return s.size() == 4 && std::all_of(s.begin(), s.end(), [](char c) {
               return std::isalnum(static_cast<unsigned char>(c)) != 0;
           });
}

// " " followed by the value as the writer formats it: width 6, two decimals.
::testing::AssertionResult WriterNumber(std::string_view field, int width) {
    const std::string text(field);
    const double v = std::strtod(text.c_str(), nullptr);
    const std::string expected = " " + FormatReal(v, width, 2);
    if (text != expected || text.find("-0.00") != std::string::npos)
        return ::testing::AssertionFailure()
               << "field \"" << text << "\" is not \"" << expected << '"';
    return ::testing::AssertionSuccess();
}

// Splits and checks the file; failures are reported through gtest with the line.
void Parse(const std::string& text, const TGeneratorOptions& o, Survey& s) {
    EXPECT_TRUE(text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t nl = text.find('\n', pos);
        if (nl == std::string::npos || nl == pos || text[nl - 1] != '\r') {
            ADD_FAILURE() << "line not ended by CR LF at byte " << pos;
            break;
        }
        s.Lines.push_back(std::string_view(text).substr(pos, nl - 1 - pos));
        pos = nl + 1;
    }
    ASSERT_GE(s.Lines.size(), 5u) << "no header";
    EXPECT_EQ(s.Lines[2].find('#'), std::string_view::npos);
    EXPECT_EQ(s.Lines[3], o.Grads ? "400.00 400.00   0.00   1.00" : "360.00 360.00   0.00   1.00");
    EXPECT_EQ(s.Lines[4], "  0.00   0.00   0.00 ");

    const double circle = o.Grads ? 400 : 360;
    std::unordered_set<std::string_view> reached;
    for (std::size_t i = 5; i < s.Lines.size(); ++i) {
        const std::string_view line = s.Lines[i];
        SCOPED_TRACE("line " + std::to_string(i + 1) + ": " + std::string(line));
        if (line.empty()) {
            ADD_FAILURE() << "empty line";
            continue;
        }
        switch (line[0]) {
        case ';':
            EXPECT_GT(line.size(), 5u);
            ++s.Comments;
            break;
        case '#': {
            ASSERT_EQ(line.substr(0, 5), "#    ");
            const int n = std::atoi(std::string(line.substr(5)).c_str());
            EXPECT_EQ(n, o.ScanPoints);
            const std::size_t blank = line.find(' ', 5);
            ASSERT_NE(blank, std::string_view::npos);
            EXPECT_TRUE(WriterNumber(line.substr(blank), 5));
            for (int k = 0; k < n; ++k) {
                ASSERT_LT(++i, s.Lines.size());
                const std::string_view p = s.Lines[i];
                ASSERT_EQ(p.substr(0, 3), "#  ") << p;
                const std::size_t split = p.find(' ', p.find_first_not_of(' ', 1));
                ASSERT_NE(split, std::string_view::npos) << p;
                EXPECT_TRUE(WriterNumber(p.substr(3, split - 3), 5)) << p;
                EXPECT_TRUE(WriterNumber(p.substr(split), 6)) << p;
                EXPECT_LT(std::strtod(std::string(p.substr(3, split - 3)).c_str(), nullptr),
                          circle);
                ++s.ScanPoints;
            }
            ++s.Scans;
            break;
        }
        case '$': {
            ASSERT_EQ(line.substr(0, 5), "$    ");
            const int n = std::atoi(std::string(line.substr(5)).c_str());
            EXPECT_TRUE(n >= 1 && n <= 3);
            for (int k = 0; k < n; ++k) {
                ASSERT_LT(++i, s.Lines.size());
                EXPECT_EQ(s.Lines[i].substr(0, 4), "$   ");
                EXPECT_EQ(s.Lines[i].substr(s.Lines[i].size() - 4), ".jpg");
            }
            ++s.PhotoLists;
            break;
        }
        case '@':
        case '%':
        case '&':
            ADD_FAILURE() << "unexpected line kind";
            break;
        default: {
            s.DataLines.push_back(line);
            ASSERT_EQ(line.size(), 9u + 7 * 7);
            const std::string_view from = line.substr(0, 4), to = line.substr(5, 4);
            EXPECT_TRUE(IsName(from));
            EXPECT_TRUE(IsName(to));
            EXPECT_EQ(line[4], ' ');
            for (int f = 0; f < 7; ++f)
                EXPECT_TRUE(WriterNumber(line.substr(9 + 7 * f, 7), 6));
            const double compass = std::strtod(std::string(line.substr(9, 7)).c_str(), nullptr);
            const double length = std::strtod(std::string(line.substr(23, 7)).c_str(), nullptr);
            EXPECT_TRUE(compass >= 0 && compass < circle);
            if (s.DataLines.size() == 1) {
                EXPECT_EQ(line.substr(0, 9), "A001 A001");
                EXPECT_EQ(line.substr(9, 21), std::string(3, ' ') + "0.00" + "   0.00   0.00");
            } else {
                EXPECT_TRUE(length >= 0.5 && length <= 30) << length;
                // Surveyed in file order: every shot starts at a station already reached.
                EXPECT_TRUE(reached.count(from)) << "from-station not reached before";
            }
            if (!reached.insert(to).second)
                ++s.RepeatedToNames;
        }
        }
    }
}

struct MixCase {
    const char* Name;
    TGeneratorOptions Options;
};
void PrintTo(const MixCase& c, std::ostream* os) {
    *os << c.Name;
}

TGeneratorOptions Mix(std::int64_t shots, double loops, double scans, double comments,
                      double photos, std::uint64_t seed, bool grads = false, double branches = 0.02,
                      int scanPoints = 12) {
    TGeneratorOptions o;
    o.Shots = shots;
    o.LoopShare = loops;
    o.ScanShare = scans;
    o.CommentShare = comments;
    o.PhotoShare = photos;
    o.Seed = seed;
    o.Grads = grads;
    o.BranchShare = branches;
    o.ScanPoints = scanPoints;
    return o;
}

const MixCase kMixes[] = {
    {"Defaults", TGeneratorOptions{}},
    {"StartShotOnly", Mix(1, 0.02, 0.05, 0.05, 0.01, 1)},
    {"TwoShots", Mix(2, 0.5, 1, 1, 1, 2)},
    {"Plain", Mix(3000, 0, 0, 0, 0, 3)},
    {"ManyLoopsEverything", Mix(4000, 0.2, 0.3, 0.3, 0.1, 4)},
    {"Grads", Mix(3000, 0.05, 0.1, 0.05, 0.02, 5, true)},
    {"BushyFewScanPoints", Mix(5000, 0.03, 0.2, 0.02, 0.01, 6, false, 0.4, 3)},
};

class GeneratedSurvey : public ::testing::TestWithParam<MixCase> {};

TEST_P(GeneratedSurvey, HasTheWritersLayoutAndTheAskedShares) {
    const TGeneratorOptions& o = GetParam().Options;
    const std::string text = GenerateSurvey(o);
    Survey s;
    Parse(text, o, s);
    ASSERT_EQ(static_cast<std::int64_t>(s.DataLines.size()), o.Shots);
    EXPECT_EQ(s.ScanPoints, s.Scans * o.ScanPoints);

    const double body = static_cast<double>(o.Shots - 1);
    if (body >= 1000) {
        // Closures run a little behind schedule only while a passage is too young for one.
        const double wanted = std::round(o.LoopShare * body);
        EXPECT_NEAR(static_cast<double>(s.RepeatedToNames), wanted, 0.1 * wanted + 2);
        auto roughly = [&](std::int64_t got, double share) {
            EXPECT_NEAR(static_cast<double>(got), share * body, 0.25 * share * body + 10);
        };
        roughly(s.Scans, o.ScanShare);
        roughly(s.Comments, o.CommentShare);
        roughly(s.PhotoLists, o.PhotoShare);
    }
}

TEST_P(GeneratedSurvey, ReadsWithoutErrorLineForLine) {
    const TGeneratorOptions& o = GetParam().Options;
    const std::string text = GenerateSurvey(o);
    Survey s;
    Parse(text, o, s);
    TKviste cave;
    std::string line2, log;
    const TReadResult r =
        ReadSurveyText(text, "gen.grt", cave, line2, FixedClock("01.02.2026 10:00:00"), log);
    ASSERT_TRUE(r.Ok) << r.Message << ": " << r.Reason;
    EXPECT_EQ(cave.LineCount, o.Shots);
    EXPECT_EQ(cave.CommentCount, s.Comments + 1);
    EXPECT_EQ(cave.ScanPointCount, s.ScanPoints);
    EXPECT_EQ(cave.InstrumentCount, 1);
    EXPECT_EQ(cave.Instruments[0].CompassCircle, o.Grads ? 400 : 360);
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        const Tdatalinje& l = cave.Lines[static_cast<std::size_t>(i)];
        ASSERT_TRUE(l.Compass >= 0 && l.Compass < 360) << "line " << i;
        ASSERT_LE(std::fabs(l.Clino), 90) << "line " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Mixes, GeneratedSurvey, ::testing::ValuesIn(kMixes),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(GenerateSurvey, SameSeedSameBytesOtherSeedOtherBytes) {
    TGeneratorOptions o = Mix(5000, 0.05, 0.1, 0.1, 0.05, 42);
    const std::string a = GenerateSurvey(o);
    EXPECT_TRUE(SameBytes(a, GenerateSurvey(o)));
    o.Seed = 43;
    const std::string b = GenerateSurvey(o);
    EXPECT_NE(a, b);
    EXPECT_EQ(a.substr(a.find("\r\nA001 A001")).substr(0, 60),
              b.substr(b.find("\r\nA001 A001")).substr(0, 60));
}

TEST(GenerateSurvey, LoopsAreSmallAndCloseWithinDecimetres) {
    const TGeneratorOptions o = Mix(20000, 0.05, 0, 0, 0, 7);
    const std::string text = GenerateSurvey(o);
    TKviste cave;
    std::string line2, log;
    ASSERT_TRUE(ReadSurveyText(text, "gen.grt", cave, line2, FixedClock("x"), log).Ok);
    ComputeLegVectors(cave);
    EXPECT_TRUE(LinkStations(cave).empty()) << "every shot starts at a placed station";
    TLoopTable loops;
    std::string loopLog;
    FindLoops(cave, loops, loopLog);
    ASSERT_GT(loops.LoopCount(), 800);
    double sum = 0, worst = 0;
    for (std::int64_t k = 1; k <= loops.LoopCount(); ++k) {
        const TVec3& m = loops.Loops[static_cast<std::size_t>(k)].Misclosure;
        const double d = std::sqrt(m.X * m.X + m.Y * m.Y + m.Z * m.Z);
        sum += d;
        worst = std::max(worst, d);
    }
    EXPECT_LT(sum / static_cast<double>(loops.LoopCount()), 0.5); // metres
    EXPECT_LT(worst, 2.5);
}

TEST(GenerateSurvey, NamesStayUniquePastTheHandMadeSeries) {
    // Short passages use up the A001 and AB01 series quickly; no loops, so no name may repeat.
    const TGeneratorOptions o = Mix(40000, 0, 0, 0, 0, 9, false, 0.5);
    const std::string text = GenerateSurvey(o);
    Survey s;
    Parse(text, o, s);
    EXPECT_EQ(s.RepeatedToNames, 0);
    const std::string_view last = s.DataLines.back().substr(5, 4);
    EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(last[2])) &&
                std::isdigit(static_cast<unsigned char>(last[3])))
        << "expected a name of the third tier, got " << last;
}

TEST(GenerateSurvey, RejectsOptionsOutOfRange) {
    auto bad = [](auto change) {
        TGeneratorOptions o;
        change(o);
        EXPECT_THROW(GenerateSurvey(o), std::invalid_argument);
    };
    bad([](TGeneratorOptions& o) { o.Shots = -1; });
    bad([](TGeneratorOptions& o) { o.Shots = kMaxGeneratedShots + 1; });
    bad([](TGeneratorOptions& o) { o.LoopShare = 1.5; });
    bad([](TGeneratorOptions& o) { o.ScanShare = -0.1; });
    bad([](TGeneratorOptions& o) { o.PhotoShare = std::nan(""); });
    bad([](TGeneratorOptions& o) { o.ScanPoints = 0; });
    TGeneratorOptions none;
    none.Shots = 0;
    const std::string headerOnly = GenerateSurvey(none);
    EXPECT_EQ(std::count(headerOnly.begin(), headerOnly.end(), '\n'), 5);
}

TEST(StationNamer, EveryNameOnceAcrossAllTiersThenRunsOut) {
    TStationNamer namer;
    std::vector<std::uint32_t> keys;
    keys.reserve(static_cast<std::size_t>(kStationNameCapacity));
    std::vector<std::string> names; // the first of each tier and the very last
    const std::int64_t firsts[] = {
        0, 998, 999, 51947, 51948, 319644, 1725724, 3870676, kStationNameCapacity - 1};
    char n[4];
    for (std::int64_t i = 0; i < kStationNameCapacity; ++i) {
        namer.Next(n, false);
        if (std::find(std::begin(firsts), std::end(firsts), i) != std::end(firsts))
            names.emplace_back(n, 4);
        std::uint32_t k;
        std::memcpy(&k, n, 4);
        keys.push_back(k);
        if (!IsName(std::string_view(n, 4)))
            FAIL() << "name " << i << " is \"" << std::string(n, 4) << '"';
    }
    EXPECT_EQ(names, (std::vector<std::string>{"A001", "A999", "B001", "z999", "AA01", "AAA0",
                                               "1000", "AAAA", "zzzz"}));
    EXPECT_THROW(namer.Next(n, false), std::length_error);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
}

TEST(StationNamer, NewPassageOpensASeriesOnlyWhenTheOldOneIsUsed) {
    TStationNamer namer;
    char n[4];
    auto next = [&](bool fresh) {
        namer.Next(n, fresh);
        return std::string(n, 4);
    };
    EXPECT_EQ(next(false), "A001");
    EXPECT_EQ(next(false), "A002");
    EXPECT_EQ(next(true), "B001");
    EXPECT_EQ(next(true), "B002"); // B had only one name: a series is not wasted on it
    EXPECT_EQ(next(false), "B003");
    EXPECT_EQ(next(true), "C001");
}

} // namespace
