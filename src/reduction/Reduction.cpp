// Station placement in one pass over the shots, and the summary statistics.
#include "reduction/Reduction.h"

#include "model/FileIO.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <cstdint>
#include <exception>
#include <random>

// How many shots ahead the passes below fetch the slot they will probe.
static constexpr std::int32_t kLookAhead = 16;

std::uint64_t MixNameKey(std::uint64_t key, std::uint64_t seed) {
    // The finaliser of MurmurHash3: a bijection whose every output bit depends on every input
    // bit, so the seed scatters any chosen set of keys.
    std::uint64_t h = key ^ seed;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h;
}

std::uint64_t RunSeed() {
    static const std::uint64_t seed = [] {
        std::uint64_t s = 0x9E3779B97F4A7C15ull;
        try {
            std::random_device device;
            s ^= (std::uint64_t{device()} << 32) ^ device();
        } catch (const std::exception&) {
            // No random source: the clock still keeps the seed from being known beforehand.
        }
        s ^=
            static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        return s;
    }();
    return seed;
}

bool TStationIndex::Fill(const TKviste& cave, std::size_t maxProbe) {
    std::fill(slots_.begin(), slots_.end(), Slot{});
    longestProbe_ = 0;
    const std::size_t mask = slots_.size() - 1;
    // Ascending order, and a name already present is left alone: the first shot wins.
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        if (i + kLookAhead <= cave.LineCount)
            __builtin_prefetch(&slots_[Home(cave.Lines[i + kLookAhead].ToName.Key())], 1);
        const std::uint64_t key = cave.Lines[i].ToName.Key();
        std::size_t h = Home(key);
        std::size_t probe = 0;
        while (slots_[h].Line != 0 && slots_[h].Key != key) {
            h = (h + 1) & mask;
            ++probe;
        }
        if (probe > maxProbe)
            return false;
        if (slots_[h].Line == 0)
            slots_[h] = {key, i};
    }
    // A lookup of a name not in the table steps through the whole run of filled slots it
    // lands in, and runs merge as they grow: measure them.
    std::size_t run = 0;
    for (std::size_t pass = 0; pass < 2 * slots_.size(); ++pass) {
        if (slots_[pass & mask].Line == 0) {
            run = 0;
            if (pass >= slots_.size())
                break;
            continue;
        }
        longestProbe_ = std::max(longestProbe_, ++run);
    }
    return longestProbe_ <= maxProbe;
}

void TStationIndex::Build(const TKviste& cave) {
    const std::size_t n = static_cast<std::size_t>(cave.LineCount > 0 ? cave.LineCount : 0);
    // At least twice as many slots as names keeps probe runs short.
    int bits = 4;
    while ((std::size_t{1} << bits) < 2 * n)
        ++bits;
    shift_ = 64 - bits;
    slots_.clear();
    slots_.reserve(std::size_t{1} << bits);
    AdviseHugePages(slots_.data(), slots_.capacity() * sizeof(Slot));
    slots_.resize(std::size_t{1} << bits);
    // With a random layout a run of more than a few dozen slots at half load is practically
    // impossible; should one appear anyway, another seed lays the table out anew, so a lookup
    // never steps through more than this many slots.
    const std::size_t maxProbe = 64 + 4 * static_cast<std::size_t>(bits);
    seed_ = RunSeed();
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (Fill(cave, maxProbe))
            return;
        seed_ = MixNameKey(seed_ + 0x9E3779B97F4A7C15ull, 0x632BE59BD9B4E019ull);
    }
    Fill(cave, SIZE_MAX);
}

std::int32_t TStationIndex::FirstLineTo(const str4& name) const {
    if (slots_.empty())
        return 0;
    const std::uint64_t key = name.Key();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t h = Home(key);; h = (h + 1) & mask) {
        if (slots_[h].Line == 0)
            return 0;
        if (slots_[h].Key == key)
            return slots_[h].Line;
    }
}

static std::string ConnectivityMessage(const str4& fromName, std::int32_t line) {
    std::string m = "Connectivity FAILED! Station ";
    m += fromName.view();
    m += " in line ";
    AppendInt(m, line);
    m += "was not found";
    return m;
}

std::vector<std::string> LinkStations(TKviste& cave) {
    assert(cave.LineCount >= 0 && cave.Lines.size() > static_cast<std::size_t>(cave.LineCount) &&
           "bug: Lines holds fewer than LineCount + 1 entries");
    std::vector<std::string> messages;
    if (cave.LineCount < 1)
        return messages;

    // ToName never changes during the pass, so one index serves every lookup; the position is
    // read from the found line at the moment of the lookup, which may still change later on.
    const TStationIndex index(cave);

    Tdatalinje& first = cave.Lines[1];
    AddVec(cave.StartPos, first.Delta, first.Pos);
    first.RawPos = first.Pos;
    WallPoints(cave, 1);

    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        if (i + kLookAhead <= cave.LineCount)
            index.Prefetch(cave.Lines[i + kLookAhead].FromName);
        Tdatalinje& line = cave.Lines[i];
        const std::int32_t from = index.FirstLineTo(line.FromName);
        if (from == 0) {
            messages.push_back(ConnectivityMessage(line.FromName, i));
            line.Linked = false;
            continue;
        }
        // Copy first: from may be i itself.
        const TVec3 base = cave.Lines[from].Pos;
        AddVec(base, line.Delta, line.Pos);
        line.RawPos = line.Pos;
        line.Linked = true;
    }
    // A shot's Pos is final once the pass has reached it, so the walls and scan points, which
    // depend on nothing else, are done in a second sweep: keeping the trigonometry out of the
    // placing loop lets that loop run at memory speed. Shot 1 keeps the walls of its start
    // placement when its from-station is not found.
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        Tdatalinje& line = cave.Lines[i];
        if (!line.Linked)
            continue;
        WallPoints(cave, i);
        if (!line.ScanPoints.empty())
            ScanWorld(cave, i);
    }
    return messages;
}

void ComputeStatistics(TKviste& cave, TSummaryValues& summary) {
    summary = TSummaryValues{};
    std::int32_t zeroLegs = 0;
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        const Tdatalinje& line = cave.Lines[i];
        const double length = line.Length;
        summary.TotalLength += length;
        if (length > summary.LongestLeg)
            summary.LongestLeg = length;
        if (length != 0 && length < summary.ShortestLeg)
            summary.ShortestLeg = length;
        if (length == 0)
            ++zeroLegs;

        const TVec3& p = line.Pos;
        if (p.X > summary.MaxEast)
            summary.MaxEast = p.X;
        if (p.X < summary.MinEast)
            summary.MinEast = p.X;
        if (p.Y > summary.MaxNorth)
            summary.MaxNorth = p.Y;
        if (p.Y < summary.MinNorth)
            summary.MinNorth = p.Y;
        if (p.Z > summary.MaxZ)
            summary.MaxZ = p.Z;
        if (p.Z < summary.MinZ)
            summary.MinZ = p.Z;
    }
    cave.ZeroLegCount = zeroLegs;
    summary.DepthSpan = summary.MinZ - summary.MaxZ;
    const std::int32_t legs = cave.LineCount - zeroLegs;
    // With no leg of non-zero length there is nothing to average.
    summary.MeanLeg = legs > 0 ? summary.TotalLength / legs : 0;
}
