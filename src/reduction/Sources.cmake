list(APPEND KV_CORE_SOURCES
  reduction/Reduction.cpp
  reduction/Listings.cpp
  reduction/Processing.cpp
  reduction/Loops.cpp
  reduction/LoopCorrection.cpp
  reduction/ReductionState.cpp
  reduction/NetworkAdjustment.cpp
  reduction/AdjustmentReport.cpp
)
