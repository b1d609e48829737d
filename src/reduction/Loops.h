// Loop detection, loop paths, the loop file, and loop correction.
#pragma once

#include "model/CaveModel.h"
#include "model/Geometry.h"
#include "model/TextClock.h"
#include "reduction/Reduction.h"

#include <cstdint>
#include <span>
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

// The loop paths as the ".tmp" file holds them, kept in memory for the passes and the loop
// file. Loop L (1-based) is Entries[Start[L - 1] .. Start[L]); an entry k stands for the
// to-station of shot k.
struct TLoopPaths {
    std::vector<std::int64_t> Start{0};
    std::vector<std::int32_t> Entries;
    std::int64_t Count() const { return static_cast<std::int64_t>(Start.size()) - 1; }
    std::span<const std::int32_t> Path(std::int64_t loop) const {
        return {Entries.data() + Start[loop - 1],
                static_cast<std::size_t>(Start[loop] - Start[loop - 1])};
    }
    void Clear() {
        Start.assign(1, 0);
        Entries.clear();
    }
};

struct TCorrectionResult {
    bool Ok = false;
    bool Refused = false;    // too large for the machine: nothing was written or changed
    std::string Reason;      // why the run failed or was refused, for the user
    std::int64_t Loops = 0;  // loops corrected
    std::int64_t Passes = 0; // passes run (cycles + 1)
};

// What one correction run may take. The run holds its files' texts in memory until it writes
// them, so memory bounds them all together.
struct TLoopLimits {
    std::uint64_t MaxFileBytes = 0;   // any one of ".Fix", ".Log", ".tmp", ".lop"
    std::uint64_t MaxMemoryBytes = 0; // the texts, the paths and the tables together
};

// Files of at most 1 GiB each (a text viewer cannot page through more, nor would anyone read
// it); memory at most half of what the system reports available, 1 GiB when it tells nothing.
TLoopLimits MachineLoopLimits();

inline constexpr const char* kCorrectionLogExt = ".Log";
inline constexpr const char* kLoopPathExt = ".tmp";
inline constexpr const char* kCorrectionResultsExt = ".Fix";
inline constexpr const char* kLoopFileExt = ".lop";

// The whole run: ".Log", ".tmp", ".Fix" and ".lop" beside dataFile; moves Pos in place.
// progress, when given, is called after every pass with (pass, passes). A run whose files or
// memory would pass limits (the machine's when null) is refused before anything is written
// or changed; running out of memory on the way is reported, and leaves the positions as they
// were.
TCorrectionResult CorrectLoops(TKviste& cave, TLoopTable& loops, std::int32_t cycles,
                               const std::string& dataFile, const TextClock& clock,
                               void (*progress)(int pass, int passes, void* ctx) = nullptr,
                               void* ctx = nullptr, const TLoopLimits* limits = nullptr);

// The status text of a finished run: "Corrected 12 loops in 10 cycles".
std::string CorrectionSummary(const TCorrectionResult& result, std::int32_t cycles);

// Number of loops FindLoops would record: every pair of shots ending at the same station.
std::int64_t CountLoopPairs(const TKviste& cave);

// The size of a correction run, counted before anything is changed or written.
struct TLoopWork {
    std::int64_t Loops = 0;       // pairs of shots to one station
    std::int64_t PathEntries = 0; // entries of all loop paths (a lower bound when not Complete)
    std::int64_t TraceLines = 0;  // trace lines the forward walks write into the log
    bool Complete = true;         // false: counting stopped once the entries passed the budget
};

// Counts the loops and walks their paths without keeping them; stops soon after more than
// maxEntries path entries were found, so a survey too large to correct is told quickly.
TLoopWork CountLoopWork(const TKviste& cave, std::int64_t maxEntries);

// Clears LoopCorrected, fills loops with every pair of shots to one station (by earlier shot,
// then later shot) and appends the loop lines and the count line to log.
void FindLoops(TKviste& cave, TLoopTable& loops, std::string& log);

// Traces the path of every loop into paths, appends its two ".tmp" lines to tmp and the
// trace lines of the forward walks to log.
void BuildLoopPaths(const TKviste& cave, const TLoopTable& loops, TLoopPaths& paths,
                    std::string& tmp, std::string& log);

// Whether some shot k, k - 1, ..., 1 ends at the from-station of shot k.
bool FindToStationBefore(const TKviste& cave, const TStationIndex& index, std::int32_t k);

// Marks the spanning tree and appends the ".lop" text to lop; leaves TreeLeg set on every shot.
void WriteLoopFile(TKviste& cave, const TLoopPaths& paths, const std::string& dataFile,
                   const TextClock& clock, std::string& lop);

// One pass over all loops: moves the path stations and appends the pass's ".Fix" lines.
// False, part way through, once fix holds more than maxFixBytes.
bool CorrectionPass(TKviste& cave, TLoopTable& loops, const TLoopPaths& paths, std::string& fix,
                    std::uint64_t maxFixBytes = UINT64_MAX);

// Places every shot not on a loop path again from its (possibly moved) predecessor.
void Repropagate(TKviste& cave);
