// Writer of survey data files in the reader's format, with the stamp on header line 3.
#pragma once

#include "model/CaveModel.h"
#include "model/TextClock.h"

#include <string>

inline constexpr const char* kProgramVersion = "4.023";

struct TWriteResult {
    bool Ok = false;
    std::string Reason;  // why the write failed (the old file is untouched)
    std::string Message; // on success: "N lines saved in: FILE ! "
};

// The file's whole text as WriteSurveyFile would store it. Updates cave.SurveyInfo
// (the stamp of an earlier write is dropped from it).
std::string SurveyFileText(TKviste& cave, const std::string& headerLine2, const TextClock& clock);

// Writes the cave to fileName atomically: an old file is replaced only once the new one is
// complete.
TWriteResult WriteSurveyFile(const std::string& fileName, TKviste& cave,
                             const std::string& headerLine2, const TextClock& clock);
