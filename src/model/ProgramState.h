// The program's single instances, shared by the windows and the batch program.
#pragma once

#include "model/CaveModel.h"

#include <cstdint>
#include <string>

extern TKviste Cave;
extern std::string HeaderLine2; // file line 2, read and written verbatim
extern std::string CurrentFile; // the survey data file last read successfully
extern bool DataLoaded;         // a file has been read into Cave
extern bool Processed;          // reduction and listings have been produced for Cave
extern std::int32_t CorrectionCycles;
extern std::uint16_t LastAnswer; // result of the last yes/no confirmation; 7 is no
extern TAttriButList AttributeSets;
extern std::int32_t CurrentSet; // index of the attribute set shown and applied

inline constexpr std::uint16_t kAnswerNo = 7;
inline constexpr std::int32_t kDefaultCorrectionCycles = 10;
