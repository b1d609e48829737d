// Station placement (LinkStations), the station index and the summary statistics.
#pragma once

#include "model/CaveModel.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// The eleven summary values of the statistics listing and the plot's fit-to-window.
struct TSummaryValues {
    double TotalLength = 0;
    double LongestLeg = 0;
    double ShortestLeg = 10000;
    double MeanLeg = 0;
    double MaxEast = 0, MinEast = 0;
    double MaxNorth = 0, MinNorth = 0;
    double MaxZ = 0, MinZ = 0;
    double DepthSpan = 0;
};

// A station name's key mixed with a seed drawn once per run: no set of names, however chosen,
// can crowd the hash tables of the reduction into a few slots (each lookup would then cost a
// search through all of them). Results never depend on the seed, only the table layout does.
std::uint64_t MixNameKey(std::uint64_t key, std::uint64_t seed);
std::uint64_t RunSeed();

// For std::unordered_map keyed by str4::Key(); the identity hash of the library would let
// names that agree modulo the bucket count share a bucket.
struct TSeededKeyHash {
    std::uint64_t Seed = RunSeed();
    std::size_t operator()(std::uint64_t key) const {
        return static_cast<std::size_t>(MixNameKey(key, Seed));
    }
};

// Station lookup by the first-shot rule (the first shot in line order whose ToName matches),
// built once per pass so that lookups are constant time.
class TStationIndex {
public:
    TStationIndex() = default;
    explicit TStationIndex(const TKviste& cave) { Build(cave); }
    void Build(const TKviste& cave);
    // The line index 1 .. LineCount of the first shot ending at name, or 0 when none does.
    std::int32_t FirstLineTo(const str4& name) const;
    // Hint that name will be looked up soon: a pass over many shots hides the memory latency.
    void Prefetch(const str4& name) const {
        if (!slots_.empty())
            __builtin_prefetch(&slots_[Home(name.Key())]);
    }
    // The longest run of filled slots, which bounds the steps of any lookup.
    std::size_t LongestProbe() const { return longestProbe_; }

private:
    // Open addressing with linear probing over the mixed key: one probe touches one cache line,
    // where node-based maps chase a pointer per lookup. Line 0 marks an empty slot.
    struct Slot {
        std::uint64_t Key = 0;
        std::int32_t Line = 0;
    };
    std::vector<Slot> slots_;
    int shift_ = 64;
    std::uint64_t seed_ = 0;
    std::size_t longestProbe_ = 0;
    std::size_t Home(std::uint64_t key) const {
        return static_cast<std::size_t>(MixNameKey(key, seed_) >> shift_);
    }
    bool Fill(const TKviste& cave, std::size_t maxProbe);
};

// Places every station; returns one "Connectivity FAILED! ..." message per unlinked shot, in order.
std::vector<std::string> LinkStations(TKviste& cave);
void ComputeStatistics(TKviste& cave, TSummaryValues& summary);
