// Loop correction: the passes over the loop paths, re-placement and the run's files.
#include "reduction/Loops.h"

#include "model/FileIO.h"
#include "model/SurveyWriter.h"

#include <algorithm>
#include <climits>
#include <new>

namespace {

void EndLine(std::string& out) {
    out += "\r\n";
}

bool WriteRunFile(const std::string& dataFile, const char* ext, const std::string& text,
                  TCorrectionResult& result) {
    const std::string path = ChangeExtension(dataFile, ext);
    std::string reason;
    // A survey saved under one of these extensions must not be replaced by a run file.
    if (path == dataFile)
        reason = "is the survey data file itself";
    else if (WriteFileAtomically(path, text, reason, /*sync=*/false))
        return true;
    result.Ok = false;
    result.Reason = path + ": " + reason;
    return false;
}

} // namespace

void CorrectionPass(TKviste& cave, TLoopTable& loops, const TLoopPaths& paths, std::string& fix) {
    const std::int64_t count = std::min(loops.LoopCount(), paths.Count());
    for (std::int64_t l = 1; l <= count; ++l) {
        const auto path = paths.Path(l);
        const auto m = static_cast<std::int64_t>(path.size());
        TLoop& loop = loops.Loops[static_cast<std::size_t>(l)];
        TVec3 d;
        SubVec(cave.Lines[static_cast<std::size_t>(loop.FromLine)].Pos,
               cave.Lines[static_cast<std::size_t>(loop.ToLine)].Pos, d);
        loop.Misclosure = d;

        fix += "------------";
        EndLine(fix);
        fix += "CorrLoop No";
        AppendInt(fix, l, 3);
        fix += '(';
        AppendInt(fix, m, 3);
        fix += " stations):          Dx:";
        AppendReal(fix, d.X, 6, 2);
        fix += " Dy:";
        AppendReal(fix, d.Y, 6, 2);
        fix += " Dz:";
        AppendReal(fix, d.Z, 6, 2);
        EndLine(fix);

        for (std::int64_t s = 1; s <= m; ++s) {
            const std::int32_t k = path[static_cast<std::size_t>(s - 1)];
            auto& line = cave.Lines[static_cast<std::size_t>(k)];
            fix.append(line.ToName.view());
            fix += '(';
            AppendInt(fix, k, 3);
            fix += ") : ";
            AppendVec(fix, line.Pos, 8);
            fix += " ->  ";
            // A path of one entry is the closing station alone: it takes the whole misclosure.
            const double f = m == 1 ? 1.0 : 1.0 - double(s - 1) / double(m - 1);
            TVec3 step;
            ScaleVec(d, step, f);
            AddVec(line.Pos, step, line.Pos);
            line.LoopCorrected = true;
            AppendVec(fix, line.Pos, 8);
            EndLine(fix);
        }
    }
}

void Repropagate(TKviste& cave) {
    const auto held = static_cast<std::int64_t>(cave.Lines.size()) - 1;
    const auto n = static_cast<std::int32_t>(std::clamp<std::int64_t>(cave.LineCount, 0, held));
    const TStationIndex index(cave);
    for (std::int32_t k = 1; k <= n; ++k) {
        auto& line = cave.Lines[static_cast<std::size_t>(k)];
        const std::int32_t from = index.FirstLineTo(line.FromName);
        if (from == 0)
            continue;
        if (!line.LoopCorrected)
            AddVec(cave.Lines[static_cast<std::size_t>(from)].Pos, line.Delta, line.Pos);
        WallPoints(cave, k);
    }
}

TCorrectionResult CorrectLoops(TKviste& cave, TLoopTable& loops, std::int32_t cycles,
                               const std::string& dataFile, const TextClock& clock,
                               void (*progress)(int pass, int passes, void* ctx), void* ctx) {
    TCorrectionResult result;
    const std::int64_t pairs = CountLoopPairs(cave);
    if (pairs > INT32_MAX) {
        result.Reason = "Too many loops to correct: " + std::to_string(pairs);
        return result;
    }
    try {
        std::string log;
        log += "  -- Kvistrel ";
        log += kProgramVersion;
        log += ": Loop Correction Log --";
        EndLine(log);
        log += cave.CaveName;
        log += "from file: ";
        log += dataFile;
        EndLine(log);
        log += "Loops detected and initial deviation";
        EndLine(log);
        log += "----------------------";
        EndLine(log);
        log += "LoopNo   From[line] To[line]   Loop misclosure (dx  dy  dz)";
        EndLine(log);

        FindLoops(cave, loops, log);
        TLoopPaths paths;
        std::string tmp;
        BuildLoopPaths(cave, loops, paths, tmp, log);
        if (!WriteRunFile(dataFile, kLoopPathExt, tmp, result))
            return result;

        std::string fix;
        fix += "      -- Kvistrel ";
        fix += kProgramVersion;
        fix += ":  Loop Correction Results --";
        EndLine(fix);
        fix += cave.CaveName;
        fix += ' ';
        fix += dataFile;
        EndLine(fix);
        AppendInt(fix, cycles);
        fix += " cycles";
        EndLine(fix);

        // Passes 0 .. cycles; counted wide so the largest cycle count cannot wrap.
        const std::int64_t passes = std::max<std::int64_t>(0, std::int64_t(cycles) + 1);
        const int shownPasses = static_cast<int>(std::min<std::int64_t>(passes, INT_MAX));
        for (std::int64_t pass = 0; pass < passes; ++pass) {
            CorrectionPass(cave, loops, paths, fix);
            if (progress)
                progress(static_cast<int>(std::min<std::int64_t>(pass + 1, INT_MAX)), shownPasses,
                         ctx);
        }
        Repropagate(cave);

        if (!WriteRunFile(dataFile, kCorrectionResultsExt, fix, result) ||
            !WriteRunFile(dataFile, kCorrectionLogExt, log, result))
            return result;

        std::string lop;
        WriteLoopFile(cave, paths, dataFile, clock, lop);
        if (!WriteRunFile(dataFile, kLoopFileExt, lop, result))
            return result;
    } catch (const std::bad_alloc&) {
        result.Ok = false;
        result.Reason = "Not enough memory for the loop correction";
        return result;
    }
    result.Ok = true;
    return result;
}
