// The processing chain run after every successful read: reduction, statistics, the four listings.
#pragma once

#include "model/CaveModel.h"
#include "model/TextClock.h"
#include "reduction/Reduction.h"

#include <string>
#include <vector>

struct TProcessResult {
    std::vector<std::string> Connectivity;  // one message per unlinked shot, in line order
    std::vector<std::string> ListingErrors; // a listing that could not be written, with the reason
};

// ComputeLegVectors, LinkStations, ComputeStatistics, then the listings ".krt", ".kom", ".sta",
// ".scn" beside dataFile.
TProcessResult ProcessCave(TKviste& cave, TSummaryValues& summary, const std::string& dataFile,
                           const TextClock& clock);

// The four listings alone, for a change of positions after the processing; one message per
// listing that could not be written.
std::vector<std::string> WriteListings(const TKviste& cave, const TSummaryValues& summary,
                                       const std::string& dataFile, const TextClock& clock);
