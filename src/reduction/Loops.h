// Loop detection, loop paths, the loop file, and loop correction.
#pragma once

#include "model/CaveModel.h"
#include "model/Geometry.h"
#include "model/TextClock.h"

#include <cstdint>
#include <string>
#include <vector>

struct TLoop {
    std::int32_t FromLine = 0; // earlier shot i
    std::int32_t ToLine = 0;   // later shot j, i < j
    TVec3 Misclosure;
};

// Entries 1 .. LoopCount; entry 0 holds nothing.
struct TLoopTable {
    std::vector<TLoop> Loops{TLoop{}};
    std::int64_t LoopCount() const { return static_cast<std::int64_t>(Loops.size()) - 1; }
    void Clear() { Loops.assign(1, TLoop{}); }
};

struct TCorrectionResult {
    bool Ok = false;
    std::string Reason; // the I/O error that ended the run
};

// The whole run: ".Log", ".tmp", ".Fix" and ".lop" beside dataFile; moves Pos in place.
// progress, when given, is called after every pass with (pass, passes).
TCorrectionResult CorrectLoops(TKviste& cave, TLoopTable& loops, std::int32_t cycles,
                               const std::string& dataFile, const TextClock& clock,
                               void (*progress)(int pass, int passes, void* ctx) = nullptr,
                               void* ctx = nullptr);
