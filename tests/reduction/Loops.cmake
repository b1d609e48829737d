kv_add_gtest(LoopTests LoopsTest.cpp LoopCorrectionTest.cpp)
