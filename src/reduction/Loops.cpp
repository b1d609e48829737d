// Loop detection: the loop table, the loop paths and the loop file.
#include "reduction/Loops.h"

#include <algorithm>
#include <unordered_map>

namespace {

// Shots 1 .. n that the line table really holds.
std::int32_t ShotCount(const TKviste& cave) {
    const auto held = static_cast<std::int64_t>(cave.Lines.size()) - 1;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(cave.LineCount, 0, held));
}

void EndLine(std::string& out) {
    out += "\r\n";
}

void AppendName(std::string& out, const str4& name) {
    out.append(name.view());
}

// Every station name of the survey numbered once, and for each name the shots that end and
// start there in line order, so the walks find their nearest neighbour by binary search.
struct TNameLists {
    std::vector<std::int32_t> ToId, FromId;          // per shot, entry 0 unused
    std::vector<std::vector<std::int32_t>> EndingAt; // shots whose ToName is the name
    std::vector<std::vector<std::int32_t>> LeavingFrom;

    TNameLists(const TKviste& cave, bool withFrom) {
        const std::int32_t n = ShotCount(cave);
        std::unordered_map<std::uint64_t, std::int32_t, TSeededKeyHash> ids;
        ids.reserve(static_cast<std::size_t>(n) * 2);
        auto idOf = [&](const str4& name) {
            auto [it, added] = ids.try_emplace(name.Key(), static_cast<std::int32_t>(ids.size()));
            if (added) {
                EndingAt.emplace_back();
                if (withFrom)
                    LeavingFrom.emplace_back();
            }
            return it->second;
        };
        ToId.assign(static_cast<std::size_t>(n) + 1, -1);
        FromId.assign(static_cast<std::size_t>(n) + 1, -1);
        for (std::int32_t k = 1; k <= n; ++k) {
            const auto& line = cave.Lines[static_cast<std::size_t>(k)];
            ToId[k] = idOf(line.ToName);
            EndingAt[ToId[k]].push_back(k);
            if (withFrom) {
                FromId[k] = idOf(line.FromName);
                LeavingFrom[FromId[k]].push_back(k);
            }
        }
    }

    // Nearest shot p < c ending at the from-station of c, or 0.
    std::int32_t EndingBefore(std::int32_t c) const {
        const auto& list = EndingAt[FromId[c]];
        auto it = std::lower_bound(list.begin(), list.end(), c);
        return it == list.begin() ? 0 : *(it - 1);
    }

    // Nearest shot q in c + 1 .. last leaving from the to-station of c, or 0.
    std::int32_t LeavingAfter(std::int32_t c, std::int32_t last) const {
        const auto& list = LeavingFrom[ToId[c]];
        auto it = std::upper_bound(list.begin(), list.end(), c);
        return it != list.end() && *it <= last ? *it : 0;
    }
};

void AppendTraceLine(std::string& log, std::int64_t loop, std::int32_t c, const str4& toName) {
    log += "Loop No: ";
    AppendInt(log, loop, 6);
    log += ' ';
    AppendInt(log, c, 6);
    log += " [";
    AppendName(log, toName);
    log += ']';
    AppendInt(log, 1, 8);
    log += ' ';
    EndLine(log);
}

} // namespace

std::int64_t CountLoopPairs(const TKviste& cave) {
    const std::int32_t n = ShotCount(cave);
    std::unordered_map<std::uint64_t, std::int64_t, TSeededKeyHash> seen;
    seen.reserve(static_cast<std::size_t>(n));
    std::int64_t pairs = 0;
    for (std::int32_t k = 1; k <= n; ++k)
        pairs += seen[cave.Lines[static_cast<std::size_t>(k)].ToName.Key()]++;
    return pairs;
}

void FindLoops(TKviste& cave, TLoopTable& loops, std::string& log) {
    const std::int32_t n = ShotCount(cave);
    loops.Clear();
    for (auto& line : cave.Lines)
        line.LoopCorrected = false;

    const TNameLists names(cave, false);
    // Place of each shot within the list of shots ending at its station: the later shots of
    // that list are exactly the j > i of the double loop with the same ToName, in order.
    std::vector<std::int32_t> place(static_cast<std::size_t>(n) + 1, 0);
    for (const auto& list : names.EndingAt)
        for (std::size_t p = 0; p < list.size(); ++p)
            place[list[p]] = static_cast<std::int32_t>(p);
    loops.Loops.reserve(static_cast<std::size_t>(CountLoopPairs(cave)) + 1);

    for (std::int32_t i = 1; i <= n; ++i) {
        const auto& list = names.EndingAt[names.ToId[i]];
        const auto& a = cave.Lines[static_cast<std::size_t>(i)];
        for (std::size_t p = static_cast<std::size_t>(place[i]) + 1; p < list.size(); ++p) {
            const std::int32_t j = list[p];
            const auto& b = cave.Lines[static_cast<std::size_t>(j)];
            TLoop loop;
            loop.FromLine = i;
            loop.ToLine = j;
            SubVec(b.Pos, a.Pos, loop.Misclosure);
            loops.Loops.push_back(loop);

            AppendInt(log, loops.LoopCount(), 3);
            log += ": ";
            AppendName(log, a.ToName);
            log += '[';
            AppendInt(log, i, 3);
            log += "] to: ";
            AppendName(log, b.ToName);
            log += '[';
            AppendInt(log, j, 3);
            log += "],Diff(xyz): ";
            AppendReal(log, loop.Misclosure.X, 6, 2);
            log += ' ';
            AppendReal(log, loop.Misclosure.Y, 6, 2);
            log += ' ';
            AppendReal(log, loop.Misclosure.Z, 6, 2);
            EndLine(log);
        }
    }
    AppendInt(log, loops.LoopCount());
    log += " Loops were found";
    EndLine(log);
}

namespace {

// Walks the path of the loop closed by shots i < j: entry(k) for every path entry in order,
// trace(c) where the forward walk writes a trace line.
template <class Entry, class Trace>
void WalkLoopPath(const KvisArray& lines, const TNameLists& names, std::int32_t i, std::int32_t j,
                  Entry&& entry, Trace&& trace) {
    auto line = [&](std::int32_t k) -> const Tdatalinje& {
        return lines[static_cast<std::size_t>(k)];
    };
    std::int32_t c = j;
    entry(c);
    bool forward = false;
    // Back along the branch of j, towards i or the station the branches part from.
    while (i < c) {
        if (line(c).FromName == line(c - 1).ToName) {
            --c;
            entry(c);
            continue;
        }
        const std::int32_t p = names.EndingBefore(c);
        if (p == 0)
            break; // nothing earlier reaches this station: the path ends untraced
        c = p;
        entry(c);
        if (p < i) {
            forward = true;
            break;
        }
    }
    // Forward along the branch of i, up to i.
    while (forward) {
        if (line(c + 1).ToName == line(i).ToName) {
            entry(c + 1);
            break;
        }
        trace(c);
        const std::int32_t q = names.LeavingAfter(c, i);
        if (q == 0)
            break;
        c = q;
        entry(c);
        trace(c);
    }
}

} // namespace

TLoopWork CountLoopWork(const TKviste& cave, std::int64_t maxEntries) {
    TLoopWork work;
    work.Loops = CountLoopPairs(cave);
    const TNameLists names(cave, true);
    for (const auto& list : names.EndingAt) {
        for (std::size_t a = 0; a < list.size(); ++a) {
            for (std::size_t b = a + 1; b < list.size(); ++b) {
                if (work.PathEntries > maxEntries) {
                    work.Complete = false;
                    return work;
                }
                WalkLoopPath(
                    cave.Lines, names, list[a], list[b], [&](std::int32_t) { ++work.PathEntries; },
                    [&](std::int32_t) { ++work.TraceLines; });
            }
        }
    }
    return work;
}

void BuildLoopPaths(const TKviste& cave, const TLoopTable& loops, TLoopPaths& paths,
                    std::string& tmp, std::string& log) {
    paths.Clear();
    const TNameLists names(cave, true);
    for (std::int64_t l = 1; l <= loops.LoopCount(); ++l) {
        const std::int32_t i = loops.Loops[static_cast<std::size_t>(l)].FromLine;
        const std::int32_t j = loops.Loops[static_cast<std::size_t>(l)].ToLine;
        WalkLoopPath(
            cave.Lines, names, i, j, [&](std::int32_t k) { paths.Entries.push_back(k); },
            [&](std::int32_t c) {
                AppendTraceLine(log, l, c, cave.Lines[static_cast<std::size_t>(c)].ToName);
            });
        paths.Start.push_back(static_cast<std::int64_t>(paths.Entries.size()));

        const auto path = paths.Path(l);
        AppendInt(tmp, static_cast<long long>(path.size()));
        EndLine(tmp);
        for (std::int32_t k : path) {
            AppendInt(tmp, k);
            tmp += ' ';
        }
        EndLine(tmp);
    }
}

bool FindToStationBefore(const TKviste& cave, const TStationIndex& index, std::int32_t k) {
    // The first shot ending at the station lies at or before k exactly when any such shot does.
    const std::int32_t first = index.FirstLineTo(cave.Lines[static_cast<std::size_t>(k)].FromName);
    return first != 0 && first <= k;
}

void WriteLoopFile(TKviste& cave, const TLoopPaths& paths, const std::string& dataFile,
                   const TextClock& clock, std::string& lop) {
    const std::int32_t n = ShotCount(cave);
    const TStationIndex index(cave);
    bool realTree = n > 0;
    for (std::int32_t k = 1; k <= n; ++k) {
        auto& line = cave.Lines[static_cast<std::size_t>(k)];
        line.TreeLeg = index.FirstLineTo(line.ToName) == k;
        if (realTree && !FindToStationBefore(cave, index, k))
            realTree = false;
    }

    lop += "Real minimum spanning tree =";
    lop += realTree ? "TRUE" : "FALSE";
    EndLine(lop);
    auto appendLeg = [&](const Tdatalinje& line) {
        lop += " (";
        AppendName(lop, line.FromName);
        lop += ',';
        AppendName(lop, line.ToName);
        lop += ')';
        EndLine(lop);
    };
    std::int64_t link = 0;
    for (std::int32_t k = 1; k <= n; ++k) {
        const auto& line = cave.Lines[static_cast<std::size_t>(k)];
        if (line.TreeLeg)
            continue;
        AppendInt(lop, k);
        lop += " loop link no: ";
        AppendInt(lop, ++link);
        appendLeg(line);
    }
    for (std::int32_t k = 1; k <= n; ++k) {
        const auto& line = cave.Lines[static_cast<std::size_t>(k)];
        if (!line.TreeLeg)
            continue;
        AppendInt(lop, k);
        appendLeg(line);
    }
    for (std::int32_t k = 1; k <= n; ++k)
        cave.Lines[static_cast<std::size_t>(k)].TreeLeg = true;

    lop += cave.CaveName;
    lop += "  ";
    lop += cave.SurveyInfo;
    EndLine(lop);
    lop += "Loopfile displaying closed loops found in ";
    lop += dataFile;
    EndLine(lop);
    lop += "Processed at :";
    lop += clock.Now();
    EndLine(lop);
    EndLine(lop);

    for (std::int64_t l = 1; l <= paths.Count(); ++l) {
        const auto path = paths.Path(l);
        lop += "Loop No:";
        AppendInt(lop, l);
        lop += " ; ";
        AppendInt(lop, static_cast<long long>(path.size()));
        lop += " survey legs in loop";
        EndLine(lop);
        for (std::int32_t k : path) {
            const auto& line = cave.Lines[static_cast<std::size_t>(k)];
            lop += '(';
            AppendName(lop, line.FromName);
            lop += '-';
            AppendName(lop, line.ToName);
            lop += ") ";
        }
        EndLine(lop);
        lop += "-----";
        EndLine(lop);
    }
}
