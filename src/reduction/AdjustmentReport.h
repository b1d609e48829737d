// The least-squares run as the window and the batch program make it, and its ".lsq" report.
#pragma once

#include "model/CaveModel.h"
#include "model/TextClock.h"
#include "reduction/NetworkAdjustment.h"
#include "reduction/Reduction.h"

#include <string>
#include <vector>

inline constexpr const char* kAdjustmentReportExt = ".lsq";

// The report: settings, network figures, every traverse, flagged traverses and suspects.
std::string AdjustmentReportText(const TKviste& cave, const TAdjustment& adjustment,
                                 const TAdjustmentSettings& settings, const std::string& dataFile,
                                 const TextClock& clock);

// "A012 A013: compass about 10.0 degrees off".
std::string SuspectText(const TKviste& cave, const TSuspect& suspect);

struct TAdjustmentRun {
    bool Ok = false;
    std::string Message;                  // why nothing was moved, when not Ok
    std::string ReportFile;               // the ".lsq" beside the data file
    std::vector<std::string> WriteErrors; // the report or a listing that could not be written
    TAdjustment Adjustment;
};

// Adjusts, moves the stations, recomputes the statistics, writes the listings again and the
// report. A failed adjustment leaves the cave and every file as they were.
TAdjustmentRun RunAdjustment(TKviste& cave, TSummaryValues& summary,
                             const TAdjustmentSettings& settings, const std::string& dataFile,
                             const TextClock& clock);
