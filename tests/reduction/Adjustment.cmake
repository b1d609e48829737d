kv_add_gtest(AdjustmentTests NetworkAdjustmentTest.cpp AdjustmentReportTest.cpp
  CavernComparisonTest.cpp)
