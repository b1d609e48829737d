// Survey generator: a random but plausible cave, written in the layout of the survey file writer.
//
// The cave is walked passage by passage. Every station keeps its true position; readings are the
// true shot plus small instrument errors, so a loop's misclosure is the error gathered along it.
// Loops are closed from the passage being surveyed to one of its own recent stations, which
// keeps them small (misclosures of decimetres) and lets neighbouring loops share at most one
// station.
#include "SurveyGenerator.h"

#include "model/Geometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

// splitmix64: tiny, fast and identical on every platform, unlike the standard distributions.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; } // [0, 1)
    double Range(double a, double b) { return a + (b - a) * Uniform(); }
    bool Chance(double p) { return Uniform() < p; }
    // Sum of four uniforms scaled to unit variance: close enough to a normal error and cheap.
    double Normal() {
        return (Uniform() + Uniform() + Uniform() + Uniform() - 2.0) * 1.7320508075688772;
    }
    std::uint64_t Below(std::uint64_t n) {
        return static_cast<std::uint64_t>((static_cast<unsigned __int128>(Next()) * n) >> 64);
    }

private:
    std::uint64_t state_;
};

constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";         // 52
constexpr char kAlnum[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"; // 62

// Name tiers of TStationNamer: how many series each has and the numbers within a series.
struct NameTier {
    std::int64_t Series;
    int First, Last; // numbers within a series
};
constexpr NameTier kTiers[] = {
    {52, 1, 999},         {52 * 52, 1, 99},      {52 * 52 * 52, 0, 9},
    {9 * 62 * 62, 0, 61}, {52 * 52 * 52, 0, 51},
};
constexpr int kTierCount = sizeof kTiers / sizeof kTiers[0];

constexpr std::int64_t TotalNames() {
    std::int64_t n = 0;
    for (const NameTier& t : kTiers)
        n += t.Series * (t.Last - t.First + 1);
    return n;
}
static_assert(TotalNames() == kStationNameCapacity);

struct Station {
    double X, Y, Z; // true position, metres east, north, up
    char Name[4];
};

// The passage being surveyed: where the next shot starts and how the passage runs.
struct Passage {
    std::vector<std::int64_t> History;    // its stations in order, the one it started from first
    std::size_t LoopFloor = 0;            // closures end at History[LoopFloor] or later
    double Heading = 0;                   // degrees
    double Slope = 0;                     // degrees, the passage's mean inclination
    double Width = 3, Height = 2;         // metres, at the last station
    double BaseWidth = 3, BaseHeight = 2; // metres, typical for the passage
    std::int64_t HomingTarget = -1;       // a station the passage is turning back to, or -1
    int HomingSteps = 0;
};

constexpr const char* kComments[] = {
    "Stor blokk midt i gangen",
    "Leire p\xE5 gulvet",
    "Sump, vann til kn\xE6rne",
    "Stasjon p\xE5 sinterkant",
    "Trang passasje, m\xE5 krype",
    "Tak med rotter\xF8tter",
    "Bekk kommer inn fra venstre",
    "Sandbanke, kan grave videre",
    "Kald trekk fra sprekken",
    "Dryppsteiner i taket",
    "Ras fra h\xF8yre vegg",
    "Fortsetter, ikke m\xE5lt",
    "Station on a ledge above the stream",
    "Crawl over breakdown",
    "Flowstone on the left wall",
    "Ende, tett med leire",
};
constexpr std::size_t kCommentCount = sizeof kComments / sizeof kComments[0];

double Wrap360(double a) {
    a = std::fmod(a, 360.0);
    return a < 0 ? a + 360.0 : a;
}

class Generator {
public:
    explicit Generator(const TGeneratorOptions& o) : opt_(o), rng_(o.Seed) {
        angleUnit_ = o.Grads ? 400.0 / 360.0 : 1.0;
    }

    std::string Run() {
        const std::int64_t shots = opt_.Shots;
        const double extraPerShot = opt_.ScanShare * (16.0 + 18.0 * opt_.ScanPoints) +
                                    opt_.CommentShare * 34.0 + opt_.PhotoShare * 48.0;
        out_.reserve(static_cast<std::size_t>(static_cast<double>(shots) * (62.0 + extraPerShot)) +
                     512);
        stations_.reserve(static_cast<std::size_t>(shots > 0 ? shots : 1));
        WriteHeader();
        if (shots <= 0)
            return std::move(out_);

        // The start shot: the first station from itself, all readings zero.
        AddStation(0, 0, 0, false);
        passage_.History.push_back(0);
        NewPassageShape(passage_);
        AppendDataLine(stations_[0].Name, stations_[0].Name, 0, 0, 0, 0, 0, 0, 0);
        AppendExtras(0);

        const std::int64_t body = shots - 1;
        const double wantedLoops = std::round(opt_.LoopShare * static_cast<double>(body));
        std::int64_t loops = 0;
        for (std::int64_t i = 1; i <= body; ++i) {
            const bool due = static_cast<double>(loops) <
                             wantedLoops * static_cast<double>(i) / static_cast<double>(body);
            if (due && TryCloseLoop()) {
                ++loops;
                continue;
            }
            if (due && passage_.HomingTarget < 0)
                StartHoming();
            if (passage_.HomingTarget < 0 && opt_.BranchShare > 0 && rng_.Chance(opt_.BranchShare))
                StartBranch();
            Advance();
        }
        return std::move(out_);
    }

private:
    void WriteHeader() {
        out_ += "Generated cave ";
        out_ += std::to_string(opt_.Seed);
        out_ += "\r\n;\r\n";
        out_ += "; kvistrel-gen: ";
        AppendInt(out_, opt_.Shots);
        out_ += " shots, seed ";
        out_ += std::to_string(opt_.Seed);
        out_ += "\r\n";
        const double circle = opt_.Grads ? 400 : 360;
        AppendReal(out_, circle, 6, 2);
        out_ += ' ';
        AppendReal(out_, circle, 6, 2);
        out_ += ' ';
        AppendReal(out_, 0, 6, 2);
        out_ += ' ';
        AppendReal(out_, 1, 6, 2);
        out_ += "\r\n";
        out_ += "  0.00   0.00   0.00 \r\n";
    }

    std::int64_t AddStation(double x, double y, double z, bool newPassage) {
        Station s{x, y, z, {}};
        namer_.Next(s.Name, newPassage);
        stations_.push_back(s);
        return static_cast<std::int64_t>(stations_.size()) - 1;
    }

    void NewPassageShape(Passage& p) {
        p.Heading = rng_.Range(0, 360);
        p.Slope = rng_.Normal() * 8;
        p.BaseWidth = rng_.Range(0.8, 6.0);
        p.BaseHeight = rng_.Range(0.6, 6.0);
        p.Width = p.BaseWidth;
        p.Height = p.BaseHeight;
        p.LoopFloor = 0;
        p.HomingTarget = -1;
        p.HomingSteps = 0;
    }

    // A side passage from an older station; the next station opens a new name series.
    void StartBranch() {
        const auto from = static_cast<std::int64_t>(rng_.Below(stations_.size()));
        passage_.History.clear();
        passage_.History.push_back(from);
        NewPassageShape(passage_);
        branchPending_ = true;
    }

    // One ordinary shot to a new station, turning back towards the homing target if there is one.
    void Advance() {
        Passage& p = passage_;
        const Station from = stations_[static_cast<std::size_t>(p.History.back())];
        double bearing, clino, length;
        if (p.HomingTarget >= 0) {
            const Station& t = stations_[static_cast<std::size_t>(p.HomingTarget)];
            const double dx = t.X - from.X, dy = t.Y - from.Y, dz = t.Z - from.Z;
            const double h = std::sqrt(dx * dx + dy * dy);
            bearing = RadToDeg(std::atan2(dx, dy)) + rng_.Normal() * 20;
            length = std::clamp(h * rng_.Range(0.35, 0.6), 3.0, 15.0);
            clino = std::clamp(RadToDeg(std::atan2(dz, std::max(h, 1.0))) + rng_.Normal() * 5,
                               -40.0, 40.0);
            ++p.HomingSteps;
        } else {
            p.Heading += rng_.Normal() * 25;
            p.Slope = std::clamp(p.Slope + rng_.Normal() * 3, -25.0, 25.0);
            bearing = p.Heading + rng_.Normal() * 10;
            clino = p.Slope + rng_.Normal() * 10;
            if (rng_.Chance(0.01))
                clino = (rng_.Chance(0.5) ? 1 : -1) * rng_.Range(55, 85); // a pitch or a chimney
            clino = std::clamp(clino, -85.0, 85.0);
            length = 2 + rng_.Uniform() * rng_.Uniform() * 23;
        }
        // Pulled back towards the passage's typical size so that it cannot drift away.
        p.Width = 0.7 * p.Width + 0.3 * p.BaseWidth * rng_.Range(0.4, 1.8);
        p.Height = 0.7 * p.Height + 0.3 * p.BaseHeight * rng_.Range(0.4, 1.8);

        TVec3 d;
        ShotVector(d, bearing, clino, length);
        const std::int64_t to =
            AddStation(from.X + d.X, from.Y + d.Y, from.Z + d.Z, branchPending_);
        branchPending_ = false;
        p.History.push_back(to);
        Shot(p.History[p.History.size() - 2], to, bearing, clino, length);

        if (p.HomingTarget >= 0 && p.HomingSteps >= 8) // wandered off: give up this loop
            p.HomingTarget = -1;
    }

    // Closes a loop now when the homing target, or else an older station of this passage, is in
    // reach of one shot. The passage goes on from the station it stands at.
    bool TryCloseLoop() {
        Passage& p = passage_;
        const std::int64_t cur = p.History.back();
        const Station& c = stations_[static_cast<std::size_t>(cur)];
        auto reachable = [&](std::int64_t id) {
            const Station& t = stations_[static_cast<std::size_t>(id)];
            const double dx = t.X - c.X, dy = t.Y - c.Y, dz = t.Z - c.Z;
            const double dist = std::sqrt(dx * dx + dy * dy + dz * dz);
            return dist >= 2 && dist <= 22 && std::fabs(dz) <= 0.85 * dist;
        };
        std::int64_t target = -1;
        if (p.HomingTarget >= 0) {
            if (reachable(p.HomingTarget))
                target = p.HomingTarget;
        } else if (p.History.size() >= 4) {
            // The oldest reachable station at least three shots back, no further than 40.
            const std::size_t last = p.History.size() - 4;
            const std::size_t first =
                std::max(p.LoopFloor, p.History.size() > 44 ? p.History.size() - 44 : 0);
            for (std::size_t h = first; h <= last; ++h) {
                if (reachable(p.History[h])) {
                    target = p.History[h];
                    break;
                }
            }
        }
        if (target < 0)
            return false;

        const Station& t = stations_[static_cast<std::size_t>(target)];
        const double dx = t.X - c.X, dy = t.Y - c.Y, dz = t.Z - c.Z;
        const double h = std::sqrt(dx * dx + dy * dy);
        Shot(cur, target, RadToDeg(std::atan2(dx, dy)), RadToDeg(std::atan2(dz, h)),
             std::sqrt(h * h + dz * dz));
        p.HomingTarget = -1;
        p.LoopFloor = p.History.size() - 1;
        if (rng_.Chance(0.3))
            StartBranch();
        return true;
    }

    // Picks an older station of this passage to turn back to, so that a loop can close soon.
    void StartHoming() {
        Passage& p = passage_;
        if (p.History.size() < 6)
            return;
        const std::size_t last = p.History.size() - 5;
        const std::size_t first =
            std::max(p.LoopFloor, p.History.size() > 30 ? p.History.size() - 30 : 0);
        if (first > last)
            return;
        const std::size_t h = first + static_cast<std::size_t>(rng_.Below(last - first + 1));
        p.HomingTarget = p.History[h];
        p.HomingSteps = 0;
    }

    // Writes a shot with instrument errors added to its true readings, then what follows it.
    void Shot(std::int64_t from, std::int64_t to, double bearing, double clino, double length) {
        const double compassReading = bearing + rng_.Normal() * 0.5;
        const double clinoReading = clino + rng_.Normal() * 0.5;
        const double lengthReading = std::max(0.0, length + rng_.Normal() * 0.02);
        const Passage& p = passage_;
        const double right = std::max(0.1, p.Width * rng_.Range(0.25, 0.75));
        const double left = std::max(0.1, p.Width - right);
        const double down = std::max(0.0, p.Height * rng_.Range(0.0, 0.3));
        const double up = std::max(0.1, p.Height - down);
        const Station& f = stations_[static_cast<std::size_t>(from)];
        const Station& t = stations_[static_cast<std::size_t>(to)];
        AppendDataLine(f.Name, t.Name, Wrap360(compassReading), clinoReading, lengthReading, right,
                       left, down, up);
        lastBearing_ = Wrap360(compassReading);
        lastDims_[0] = right, lastDims_[1] = left, lastDims_[2] = down, lastDims_[3] = up;
        AppendExtras(++photoSerial_);
    }

    void AppendDataLine(const char* from, const char* to, double compass, double clino,
                        double length, double right, double left, double down, double up) {
        char line[160];
        char* p = line;
        std::memcpy(p, from, 4);
        p[4] = ' ';
        std::memcpy(p + 5, to, 4);
        p += 9;
        const double values[7] = {
            Compass(compass), clino * angleUnit_, length, right, left, down, up};
        for (double v : values) {
            *p++ = ' ';
            p = PutHundredths(p, std::llround(v * 100.0), 6);
        }
        *p++ = '\r';
        *p++ = '\n';
        out_.append(line, static_cast<std::size_t>(p - line));
    }

    // A compass reading in the file's units, kept below one full circle after rounding.
    double Compass(double degrees) const {
        const double circle = 360.0 * angleUnit_;
        const double v = degrees * angleUnit_;
        return v >= circle - 0.005 ? 0.0 : v;
    }

    // n hundredths as AppendReal writes n / 100.0 with two decimals (the double nearest to n / 100
    // is off by far less than half a hundredth, so the digits agree), but without the general
    // conversion, which would take most of the generator's time. Zero has no sign.
    static char* PutHundredths(char* out, long long n, int width) {
        char buf[24];
        char* end = buf + sizeof buf;
        char* p = end;
        const bool negative = n < 0;
        unsigned long long u = negative ? 0ull - static_cast<unsigned long long>(n)
                                        : static_cast<unsigned long long>(n);
        *--p = static_cast<char>('0' + u % 10);
        u /= 10;
        *--p = static_cast<char>('0' + u % 10);
        u /= 10;
        *--p = '.';
        do {
            *--p = static_cast<char>('0' + u % 10);
            u /= 10;
        } while (u != 0);
        if (negative)
            *--p = '-';
        const auto len = static_cast<int>(end - p);
        for (int k = len; k < width; ++k)
            *out++ = ' ';
        std::memcpy(out, p, static_cast<std::size_t>(len));
        return out + len;
    }

    void AppendHundredths(long long n, int width) {
        char buf[48];
        out_.append(buf, static_cast<std::size_t>(PutHundredths(buf, n, width) - buf));
    }

    // Comment, scan and photo list of the line just written, in the order the writer uses.
    void AppendExtras(std::int64_t serial) {
        if (opt_.CommentShare > 0 && rng_.Chance(opt_.CommentShare)) {
            out_ += ";    ";
            out_ += kComments[rng_.Below(kCommentCount)];
            out_ += "\r\n";
        }
        if (opt_.ScanShare > 0 && rng_.Chance(opt_.ScanShare))
            AppendScan();
        if (opt_.PhotoShare > 0 && rng_.Chance(opt_.PhotoShare)) {
            const int n = 1 + static_cast<int>(rng_.Below(3));
            out_ += "$    ";
            AppendInt(out_, n);
            out_ += "\r\n";
            for (int k = 0; k < n; ++k) {
                const std::int64_t number = serial * 3 + k;
                out_ += "$   IMG_";
                if (number < 1000)
                    out_.append(number < 10 ? 3 : number < 100 ? 2 : 1, '0');
                AppendInt(out_, number);
                out_ += ".jpg\r\n";
            }
        }
    }

    // A cross-section across the last shot: the scan plane is square to it, angle 0 points to
    // the right wall and 90 to the ceiling; the outline is a rough ellipse through the walls.
    void AppendScan() {
        const int n = opt_.ScanPoints;
        const double plane = Wrap360(lastBearing_ + 90);
        out_ += "#    ";
        AppendInt(out_, n);
        out_ += ' ';
        AppendHundredths(std::llround(Compass(plane) * 100.0), 5);
        out_ += "\r\n";
        const double step = 360.0 / n;
        for (int k = 0; k < n; ++k) {
            const double a = k * step + rng_.Range(0, 0.3 * step);
            const double rad = DegToRad(a);
            const double c = std::cos(rad), s = std::sin(rad);
            const double horiz = c >= 0 ? lastDims_[0] : lastDims_[1];
            const double vert = s >= 0 ? lastDims_[3] : std::max(lastDims_[2], 0.1);
            const double r = 1.0 / std::sqrt((c / horiz) * (c / horiz) + (s / vert) * (s / vert));
            const double dist = std::max(0.1, r * rng_.Range(0.85, 1.15));
            char line[64] = "#   ";
            char* p = PutHundredths(line + 4, std::llround(a * angleUnit_ * 100.0), 5);
            *p++ = ' ';
            p = PutHundredths(p, std::llround(dist * 100.0), 6);
            *p++ = '\r';
            *p++ = '\n';
            out_.append(line, static_cast<std::size_t>(p - line));
        }
    }

    const TGeneratorOptions& opt_;
    Rng rng_;
    double angleUnit_ = 1; // file angle units per degree
    std::string out_;
    std::vector<Station> stations_;
    TStationNamer namer_;
    Passage passage_;
    bool branchPending_ = false;
    std::int64_t photoSerial_ = 0;
    double lastBearing_ = 0;
    double lastDims_[4] = {1, 1, 1, 1}; // right, left, down, up
};

bool IsShare(double v) {
    return v >= 0 && v <= 1;
} // false for NaN

} // namespace

void TStationNamer::Next(char out[4], bool newPassage) {
    if (started_) {
        const bool fresh = newPassage && tier_ < 2 && number_ > kTiers[tier_].First;
        if (fresh || number_ >= kTiers[tier_].Last)
            NextSeries();
        else
            ++number_;
    }
    started_ = true;
    Write(out);
}

void TStationNamer::NextSeries() {
    if (series_ + 1 < kTiers[tier_].Series) {
        ++series_;
    } else {
        if (tier_ + 1 >= kTierCount)
            throw std::length_error("survey generator ran out of station names");
        ++tier_;
        series_ = 0;
    }
    number_ = kTiers[tier_].First;
}

void TStationNamer::Write(char out[4]) const {
    const auto s = static_cast<std::size_t>(series_);
    const auto n = static_cast<std::size_t>(number_);
    switch (tier_) {
    case 0:
        out[0] = kLetters[s];
        out[1] = static_cast<char>('0' + n / 100);
        out[2] = static_cast<char>('0' + n / 10 % 10);
        out[3] = static_cast<char>('0' + n % 10);
        break;
    case 1:
        out[0] = kLetters[s / 52];
        out[1] = kLetters[s % 52];
        out[2] = static_cast<char>('0' + n / 10);
        out[3] = static_cast<char>('0' + n % 10);
        break;
    case 2:
        out[0] = kLetters[s / 2704];
        out[1] = kLetters[s / 52 % 52];
        out[2] = kLetters[s % 52];
        out[3] = static_cast<char>('0' + n);
        break;
    case 3:
        out[0] = static_cast<char>('1' + s / 3844);
        out[1] = kAlnum[s / 62 % 62];
        out[2] = kAlnum[s % 62];
        out[3] = kAlnum[n];
        break;
    default:
        out[0] = kLetters[s / 2704];
        out[1] = kLetters[s / 52 % 52];
        out[2] = kLetters[s % 52];
        out[3] = kLetters[n];
        break;
    }
}

std::string GenerateSurvey(const TGeneratorOptions& options) {
    if (options.Shots < 0 || options.Shots > kMaxGeneratedShots)
        throw std::invalid_argument("number of shots must be 0 .. 10000000");
    if (!IsShare(options.LoopShare) || !IsShare(options.ScanShare) ||
        !IsShare(options.CommentShare) || !IsShare(options.PhotoShare) ||
        !IsShare(options.BranchShare))
        throw std::invalid_argument("shares must lie between 0 and 1");
    if (options.ScanPoints < 1 || options.ScanPoints > kMaxScanPoints)
        throw std::invalid_argument("scan points must be 1 .. 1000");
    return Generator(options).Run();
}
