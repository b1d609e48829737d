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

private:
    // Open addressing with linear probing over str4::Key: one probe touches one cache line,
    // where node-based maps chase a pointer per lookup. Line 0 marks an empty slot.
    struct Slot {
        std::uint64_t Key = 0;
        std::int32_t Line = 0;
    };
    std::vector<Slot> slots_;
    int shift_ = 64;
    std::size_t Home(std::uint64_t key) const {
        // Fibonacci hashing: the high bits of the product are well mixed.
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
    }
};

// Places every station; returns one "Connectivity FAILED! ..." message per unlinked shot, in order.
std::vector<std::string> LinkStations(TKviste& cave);
void ComputeStatistics(TKviste& cave, TSummaryValues& summary);
