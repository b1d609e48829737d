// Loop correction: the passes over the loop paths, re-placement and the run's files.
#include "reduction/Loops.h"

#include "model/FileIO.h"
#include "model/SurveyWriter.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <fstream>
#include <new>
#include <sys/resource.h>
#include <utility>
#include <vector>

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

std::uint64_t Digits(std::uint64_t n) {
    std::uint64_t d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

// Bytes of the run's texts and memory, estimated from the counts. Reals are taken as wide as
// twice the farthest station would print: corrections move stations by misclosures, which are
// differences of positions.
struct TRunSize {
    std::uint64_t Fix = 0, Log = 0, Tmp = 0, Lop = 0, Memory = 0;
};

struct TRunShape {
    std::uint64_t Shots, Passes, PerEntryFix, PerLoopFix, Fixed;
    std::uint64_t Real6, Real8, LineDigits, LoopDigits;
};

TRunShape ShapeOf(const TKviste& cave, std::int64_t loops, std::int64_t passes,
                  const std::string& dataFile) {
    TRunShape r{};
    r.Shots = static_cast<std::uint64_t>(std::max<std::int32_t>(cave.LineCount, 0));
    r.Passes = static_cast<std::uint64_t>(std::max<std::int64_t>(passes, 0));
    double far = 0;
    for (std::int32_t k = 1; k <= cave.LineCount; ++k) {
        const TVec3& p = cave.Lines[static_cast<std::size_t>(k)].Pos;
        far = std::max({far, std::fabs(p.X), std::fabs(p.Y), std::fabs(p.Z)});
    }
    // Sign, integer digits, point and two decimals of 2 * far.
    const std::uint64_t real =
        far * 2 < 1e18 ? Digits(static_cast<std::uint64_t>(far * 2)) + 4 : 320;
    r.Real6 = std::max<std::uint64_t>(6, real);
    r.Real8 = std::max<std::uint64_t>(8, real);
    r.LineDigits = std::max<std::uint64_t>(3, Digits(r.Shots));
    r.LoopDigits = std::max<std::uint64_t>(3, Digits(static_cast<std::uint64_t>(loops)));
    r.Fixed = 512 + 2 * (cave.CaveName.size() + cave.SurveyInfo.size() + dataFile.size());
    // "A001(  3) : " positions " ->  " positions, CR LF.
    r.PerEntryFix = 4 + 1 + r.LineDigits + 4 + 2 * (3 * r.Real8 + 2) + 5 + 2;
    // The dashes, then "CorrLoop No  1(  4 stations):          Dx: ... Dy: ... Dz: ...".
    r.PerLoopFix = 14 + 11 + r.LoopDigits + 1 + r.LineDigits + 25 + 3 * r.Real6 + 6 + 2;
    return r;
}

// Counts can be large enough (millions of loops, thousands of passes) for the products to
// pass 2^64: the estimate is taken in floating point and saturates.
std::uint64_t Bytes(double estimate) {
    return estimate < 1.8e19 ? static_cast<std::uint64_t>(estimate) : UINT64_MAX;
}

TRunSize SizeOf(const TRunShape& s, const TLoopWork& w) {
    const auto loops = static_cast<double>(w.Loops);
    const auto entries = static_cast<double>(w.PathEntries);
    const auto traces = static_cast<double>(w.TraceLines);
    const auto shots = static_cast<double>(s.Shots);
    const auto fixed = static_cast<double>(s.Fixed);
    const auto line = static_cast<double>(s.LineDigits);
    const auto loop = static_cast<double>(s.LoopDigits);
    const double fix =
        fixed + static_cast<double>(s.Passes) * (loops * static_cast<double>(s.PerLoopFix) +
                                                 entries * static_cast<double>(s.PerEntryFix));
    const double log = fixed + loops * (32 + 2 * line + loop + 3 * static_cast<double>(s.Real6)) +
                       traces * (27 + 2 * std::max(6.0, line));
    const double tmp = loops * (line + 4) + entries * static_cast<double>(Digits(s.Shots) + 1);
    const double lop = fixed + shots * static_cast<double>(2 * Digits(s.Shots) + 32) +
                       loops * (loop + line + 40) + entries * 12;
    // The texts, the paths, the loop table, the name lists and the saved positions.
    const double memory = fix + log + tmp + lop + entries * 4 +
                          loops * static_cast<double>(sizeof(TLoop) + 8) + shots * 160;
    return {Bytes(fix), Bytes(log), Bytes(tmp), Bytes(lop), Bytes(memory)};
}

std::string Megabytes(std::uint64_t bytes) {
    if (bytes < 1'000'000)
        return std::to_string((bytes + 999) / 1000) + " kB";
    return std::to_string((bytes + 999'999) / 1'000'000) + " MB";
}

// The refusal, or an empty text when the run fits.
std::string CheckRunSize(const TRunShape& shape, const TLoopWork& work, const TLoopLimits& limits,
                         TRunSize& size) {
    size = SizeOf(shape, work);
    std::vector<std::string> over;
    const std::pair<const char*, std::uint64_t> files[] = {{kCorrectionResultsExt, size.Fix},
                                                           {kCorrectionLogExt, size.Log},
                                                           {kLoopPathExt, size.Tmp},
                                                           {kLoopFileExt, size.Lop}};
    // Sizes from a count that stopped early are lower bounds.
    const std::string about = work.Complete ? "about " : "over ";
    for (const auto& [ext, bytes] : files)
        if (bytes > limits.MaxFileBytes)
            over.push_back(std::string("a ") + ext + " file of " + about + Megabytes(bytes));
    if (size.Memory > limits.MaxMemoryBytes)
        over.push_back(about + Megabytes(size.Memory) + " of memory");
    if (over.empty() && work.Complete)
        return {};
    if (over.empty())
        over.push_back("more than the files and the memory can take");
    std::string m = "The loops are too many to correct: ";
    m += std::to_string(work.Loops);
    m += work.Loops == 1 ? " loop with " : " loops with ";
    if (!work.Complete)
        m += "more than ";
    m += std::to_string(work.PathEntries);
    m += " path entries in ";
    m += std::to_string(shape.Passes);
    m += " passes would need ";
    for (std::size_t k = 0; k < over.size(); ++k) {
        if (k > 0)
            m += k + 1 == over.size() ? " and " : ", ";
        m += over[k];
    }
    m += " (at most " + Megabytes(limits.MaxFileBytes) + " per file and " +
         Megabytes(limits.MaxMemoryBytes) + " of memory). Nothing was written or changed.";
    return m;
}

// What the passes and the re-placement change, so that a failure can put it back.
struct TSavedPlace {
    TVec3 Pos;
    TPlanPoint RightWall, LeftWall;
    double CeilingZ, FloorZ;
    bool LoopCorrected;
};

std::vector<TSavedPlace> SavePlaces(const TKviste& cave) {
    std::vector<TSavedPlace> saved;
    saved.reserve(cave.Lines.size());
    for (const Tdatalinje& l : cave.Lines)
        saved.push_back({l.Pos, l.RightWall, l.LeftWall, l.CeilingZ, l.FloorZ, l.LoopCorrected});
    return saved;
}

void RestorePlaces(TKviste& cave, const std::vector<TSavedPlace>& saved) {
    for (std::size_t k = 0; k < saved.size() && k < cave.Lines.size(); ++k) {
        Tdatalinje& l = cave.Lines[k];
        const TSavedPlace& s = saved[k];
        l.Pos = s.Pos;
        l.RightWall = s.RightWall;
        l.LeftWall = s.LeftWall;
        l.CeilingZ = s.CeilingZ;
        l.FloorZ = s.FloorZ;
        l.LoopCorrected = s.LoopCorrected;
    }
}

} // namespace

TLoopLimits MachineLoopLimits() {
    TLoopLimits limits;
    limits.MaxFileBytes = 1'000'000'000;
    std::uint64_t available = 0;
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kilobytes = 0;
    while (meminfo >> key >> kilobytes) {
        if (key == "MemAvailable:") {
            available = kilobytes * 1024;
            break;
        }
        meminfo.ignore(256, '\n');
    }
    // An address-space limit on the process (ulimit -v) bounds it as well.
    struct rlimit as {};
    if (::getrlimit(RLIMIT_AS, &as) == 0 && as.rlim_cur != RLIM_INFINITY)
        available = available == 0 ? as.rlim_cur : std::min<std::uint64_t>(available, as.rlim_cur);
    limits.MaxMemoryBytes = available > 0 ? available / 2 : 1'000'000'000;
    return limits;
}

std::string CorrectionSummary(const TCorrectionResult& result, std::int32_t cycles) {
    std::string s = "Corrected ";
    s += std::to_string(result.Loops);
    s += result.Loops == 1 ? " loop in " : " loops in ";
    s += std::to_string(cycles);
    s += cycles == 1 ? " cycle" : " cycles";
    return s;
}

bool CorrectionPass(TKviste& cave, TLoopTable& loops, const TLoopPaths& paths, std::string& fix,
                    std::uint64_t maxFixBytes) {
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
            if (fix.size() > maxFixBytes)
                return false;
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
    return fix.size() <= maxFixBytes;
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
                               void (*progress)(int pass, int passes, void* ctx), void* ctx,
                               const TLoopLimits* limits) {
    TCorrectionResult result;
    // Passes 0 .. cycles; counted wide so the largest cycle count cannot wrap.
    const std::int64_t passes = std::max<std::int64_t>(0, std::int64_t(cycles) + 1);
    std::vector<TSavedPlace> saved;
    try {
        const TLoopLimits machine = limits ? *limits : MachineLoopLimits();
        // Count first and stop counting as soon as the results file or the memory would
        // overflow: a few hundred shots to one station make billions of path entries.
        const std::int64_t pairs = CountLoopPairs(cave);
        const TRunShape shape = ShapeOf(cave, pairs, passes, dataFile);
        // Past this many entries the results file alone passes a limit.
        const std::uint64_t perEntry =
            std::max<std::uint64_t>(shape.PerEntryFix * shape.Passes, 27);
        const std::uint64_t budget =
            std::min(machine.MaxFileBytes, machine.MaxMemoryBytes) / perEntry + 1;
        // Every loop has a path entry, so the budget bounds the walk however many loops there
        // are.
        const TLoopWork work = CountLoopWork(
            cave, static_cast<std::int64_t>(std::min<std::uint64_t>(budget, INT64_MAX / 2)));
        TRunSize size;
        std::string refusal = CheckRunSize(shape, work, machine, size);
        if (!refusal.empty()) {
            result.Refused = true;
            result.Reason = std::move(refusal);
            return result;
        }
        saved = SavePlaces(cave);

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

        log.reserve(size.Log);
        FindLoops(cave, loops, log);
        TLoopPaths paths;
        paths.Entries.reserve(static_cast<std::size_t>(work.PathEntries));
        std::string tmp;
        tmp.reserve(size.Tmp);
        BuildLoopPaths(cave, loops, paths, tmp, log);

        std::string fix;
        fix.reserve(size.Fix);
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

        // The text doubles its buffer as it grows: old and new buffer live together.
        const std::uint64_t fixCap = std::min(machine.MaxFileBytes, machine.MaxMemoryBytes / 3);
        const int shownPasses = static_cast<int>(std::min<std::int64_t>(passes, INT_MAX));
        for (std::int64_t pass = 0; pass < passes; ++pass) {
            // Misclosures of loops that share stations can grow from pass to pass until the
            // positions print with hundreds of digits: the results then outgrow any estimate.
            if (!CorrectionPass(cave, loops, paths, fix, fixCap)) {
                RestorePlaces(cave, saved);
                result.Refused = true;
                result.Reason = "The loop correction was stopped in pass " +
                                std::to_string(pass + 1) + " of " + std::to_string(passes) +
                                ": the misclosures of its " + std::to_string(work.Loops) +
                                " loops with " + std::to_string(work.PathEntries) +
                                " path entries grow as they are corrected, and the .Fix file "
                                "passed " +
                                Megabytes(fixCap) + ". Nothing was written or changed.";
                return result;
            }
            if (progress)
                progress(static_cast<int>(std::min<std::int64_t>(pass + 1, INT_MAX)), shownPasses,
                         ctx);
        }
        Repropagate(cave);

        if (!WriteRunFile(dataFile, kLoopPathExt, tmp, result) ||
            !WriteRunFile(dataFile, kCorrectionResultsExt, fix, result) ||
            !WriteRunFile(dataFile, kCorrectionLogExt, log, result))
            return result;

        std::string lop;
        lop.reserve(size.Lop);
        WriteLoopFile(cave, paths, dataFile, clock, lop);
        if (!WriteRunFile(dataFile, kLoopFileExt, lop, result))
            return result;
        result.Loops = loops.LoopCount();
    } catch (const std::bad_alloc&) {
        RestorePlaces(cave, saved);
        result.Ok = false;
        result.Reason = "Not enough memory for the loop correction; the stations were left as "
                        "they were";
        return result;
    }
    result.Ok = true;
    result.Passes = passes;
    return result;
}
