// The program's single instances of the reduction's results, beside those of the model.
#pragma once

#include "reduction/Loops.h"
#include "reduction/Reduction.h"

extern TSummaryValues Summary; // filled by ComputeStatistics at every processing
extern TLoopTable LoopTable;   // rebuilt by every loop correction run
