// Definitions of the program's single instances.
#include "model/ProgramState.h"

TKviste Cave;
std::string HeaderLine2;
std::string CurrentFile;
bool DataLoaded = false;
bool Processed = false;
std::int32_t CorrectionCycles = kDefaultCorrectionCycles;
std::uint16_t LastAnswer = 0;
TAttriButList AttributeSets;
std::int32_t CurrentSet = 0;
