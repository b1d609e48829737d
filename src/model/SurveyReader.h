// Reader of survey data files (".grt") and its reading log "Kvistrel.log".
#pragma once

#include "model/CaveModel.h"
#include "model/TextClock.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TCountResult {
    bool Ok = false;
    std::int64_t Count = 0; // data lines found by the first pass
};

// First pass: the number of data lines after the five header lines.
TCountResult CountDataLines(const std::string& fileName);
TCountResult CountDataLinesIn(std::string_view content);

struct TReadResult {
    bool Ok = false;
    bool FileMissing = false;         // no readable file of that name: nothing else happened
    std::int64_t ErrorLine = 0;       // 1-based line of the file where reading failed
    std::string Message;              // "File reading Error at line N", for the user
    std::string Reason;               // what was wrong there, or why the file could not be read
    std::vector<std::string> Notices; // messages that did not stop the read
    std::int64_t CountedLines = 0;    // first-pass count, as logged
    bool LogWritten = false;
};

// Reads fileName into cave and headerLine2, writing "Kvistrel.log" beside the file.
// On failure cave and headerLine2 are left as they were.
TReadResult ReadSurveyFile(const std::string& fileName, TKviste& cave, std::string& headerLine2,
                           const TextClock& clock);

// The same from bytes already in memory; the log text is returned instead of written.
TReadResult ReadSurveyText(std::string_view content, const std::string& fileName, TKviste& cave,
                           std::string& headerLine2, const TextClock& clock, std::string& logText);

// The file's number grammar: sign, digits, optional point with digits, optional exponent; an
// integer has neither point nor exponent. Every reading the program accepts passes it.
bool IsNumberToken(std::string_view t, bool integer);

inline constexpr const char* kReadingLogName = "Kvistrel.log";
