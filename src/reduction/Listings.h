// The four listings written beside the data file after every processing.
#pragma once

#include "model/CaveModel.h"
#include "model/TextClock.h"
#include "reduction/Reduction.h"

#include <string>

// Each returns false with a reason when the file could not be written.
bool WriteCartesianListing(const std::string& fileName, const TKviste& cave, const TextClock& clock,
                           std::string& reason);
bool WriteCommentsListing(const std::string& fileName, const std::string& dataFile,
                          const TKviste& cave, const TextClock& clock, std::string& reason);
bool WriteStatistics(const std::string& fileName, const TKviste& cave,
                     const TSummaryValues& summary, const TextClock& clock, std::string& reason);
bool WriteScanList(const std::string& fileName, const TKviste& cave, const TextClock& clock,
                   std::string& reason);

// The texts the writers above store, each built whole (CR LF line ends, bytes as stored).
// fileName is the listing's own name, which the cartesian listing prints in its first line.
std::string CartesianListingText(const std::string& fileName, const TKviste& cave,
                                 const TextClock& clock);
std::string CommentsListingText(const std::string& dataFile, const TKviste& cave,
                                const TextClock& clock);
std::string StatisticsText(const TKviste& cave, const TSummaryValues& summary,
                           const TextClock& clock);
std::string ScanListText(const TKviste& cave, const TextClock& clock);
