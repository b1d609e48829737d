// Definitions of the reduction's single instances.
#include "reduction/ReductionState.h"

TSummaryValues Summary;
TLoopTable LoopTable;
