#include "reduction/AdjustmentReport.h"

#include "model/FileIO.h"
#include "model/Geometry.h"
#include "reduction/Processing.h"

#include <cmath>

namespace {

constexpr const char* kEol = "\r\n";

void Line(std::string& out, const std::string& text) {
    out += text;
    out += kEol;
}

// Shot lines as runs: "12-40 45 47-48".
std::string LineRuns(const std::vector<std::int32_t>& lines) {
    std::string s;
    for (std::size_t k = 0; k < lines.size();) {
        std::size_t e = k;
        while (e + 1 < lines.size() && lines[e + 1] == lines[e] + 1)
            ++e;
        if (!s.empty())
            s += ' ';
        s += std::to_string(lines[k]);
        if (e > k)
            s += '-' + std::to_string(lines[e]);
        k = e + 1;
    }
    return s;
}

std::string Padded(const str4& name) {
    return name.Padded();
}

} // namespace

std::string SuspectText(const TKviste& cave, const TSuspect& s) {
    const Tdatalinje& l = cave.Lines[static_cast<std::size_t>(s.Line)];
    std::string text =
        l.FromName.str() + " " + l.ToName.str() + ": " + ReadingName(s.Reading) + " about ";
    if (s.Reading == TReading::Tape)
        text += FormatReal(std::fabs(s.Change), 0, 2) + " m off";
    else
        text += FormatReal(std::fabs(s.Change), 0, 1) + " degrees off";
    return text;
}

std::string AdjustmentReportText(const TKviste& cave, const TAdjustment& a,
                                 const TAdjustmentSettings& settings, const std::string& dataFile,
                                 const TextClock& clock) {
    std::string out;
    Line(out, "Least squares adjustment of " + cave.CaveName);
    Line(out, "File: " + dataFile + "   " + clock.Now());
    Line(out, "Standard deviations: tape " + FormatReal(settings.SdTape, 0, 3) + " m, compass " +
                  FormatReal(settings.SdCompass, 0, 2) + " degrees, clino " +
                  FormatReal(settings.SdClino, 0, 2) + " degrees");
    Line(out, "");
    if (!a.Ok) {
        Line(out, "No adjustment: " + a.Message);
        return out;
    }
    Line(out, "Stations adjusted:        " + std::to_string(a.Stations));
    Line(out, "Names tied by zero shots: " + std::to_string(a.TiedNames));
    Line(out, "Names not connected:      " + std::to_string(a.Unconnected));
    Line(out, "Shots used:               " + std::to_string(a.Shots));
    Line(out, "Junctions solved:         " + std::to_string(a.Junctions));
    Line(out, "Traverses:                " + std::to_string(a.Traverses.size()));
    Line(out, "Independent loops:        " + std::to_string(a.DegreesOfFreedom / 3));
    std::string chi = "Chi-square:               " + FormatReal(a.ChiSquare, 0, 2) + " with " +
                      std::to_string(a.DegreesOfFreedom) + " degrees of freedom";
    if (a.DegreesOfFreedom > 0)
        chi += " (" + FormatReal(a.ChiSquare / static_cast<double>(a.DegreesOfFreedom), 0, 3) +
               " per degree)";
    Line(out, chi);
    std::int64_t flagged = 0;
    for (const TTraverse& t : a.Traverses)
        flagged += t.Flagged ? 1 : 0;
    Line(out, "Traverses flagged:        " + std::to_string(flagged) + " (normalised error above " +
                  FormatReal(settings.FlagLimit, 0, 1) + ")");
    Line(out, "");

    Line(out, "Suspected blunders, most likely first");
    if (a.Suspects.empty())
        Line(out, "  none");
    for (std::size_t k = 0; k < a.Suspects.size(); ++k) {
        const TSuspect& s = a.Suspects[k];
        Line(out, "  " + std::to_string(k + 1) + ". " + SuspectText(cave, s) + "  (line " +
                      std::to_string(s.Line) + ", traverse " + std::to_string(s.Traverse + 1) +
                      ", test " + FormatReal(std::sqrt(s.Statistic), 0, 1) + ")");
    }
    if (a.FlaggedNotAnalysed > 0)
        Line(out, "  " + std::to_string(a.FlaggedNotAnalysed) +
                      " more flagged traverses were not analysed");
    Line(out, "");

    std::size_t bridges = 0;
    for (const TTraverse& t : a.Traverses)
        bridges += t.OnLoop ? 0 : 1;
    Line(out, "Traverses on loops (" + std::to_string(bridges) +
                  " traverses on no loop are not listed)");
    Line(out, "    No From To    Shots   Length       dX       dY       dZ   Misclo  NormErr");
    for (std::size_t k = 0; k < a.Traverses.size(); ++k) {
        const TTraverse& t = a.Traverses[k];
        if (!t.OnLoop)
            continue;
        std::string s;
        AppendInt(s, static_cast<long long>(k + 1), 6);
        s += ' ' + Padded(t.FromName) + ' ' + Padded(t.ToName);
        AppendInt(s, static_cast<long long>(t.Lines.size()), 7);
        AppendReal(s, t.Length, 9, 2);
        AppendReal(s, t.Misclosure.x(), 9, 3);
        AppendReal(s, t.Misclosure.y(), 9, 3);
        AppendReal(s, t.Misclosure.z(), 9, 3);
        AppendReal(s, t.Misclosure.norm(), 9, 3);
        AppendReal(s, t.NormalisedError, 9, 2);
        if (t.Flagged)
            s += "  FLAGGED";
        Line(out, s);
        Line(out, "       lines " + LineRuns(t.Lines));
    }
    if (a.Unconnected > 0) {
        Line(out, "");
        Line(out, "Stations not connected to the start (positions of the reduction kept)");
        for (std::size_t n = 0; n < a.Names.size(); ++n)
            if (!a.Connected[n]) {
                std::string s = "  " + Padded(a.Names[n]);
                AppendVec(s, a.Positions[n], 10);
                Line(out, s);
            }
    }
    return out;
}

TAdjustmentRun RunAdjustment(TKviste& cave, TSummaryValues& summary,
                             const TAdjustmentSettings& settings, const std::string& dataFile,
                             const TextClock& clock) {
    TAdjustmentRun run;
    run.Adjustment = AdjustNetwork(cave, settings);
    run.ReportFile = ChangeExtension(dataFile, kAdjustmentReportExt);
    if (!run.Adjustment.Ok) {
        run.Message = run.Adjustment.Message;
        return run;
    }
    run.Ok = true;
    ApplyAdjustment(cave, run.Adjustment);
    ComputeStatistics(cave, summary);
    run.WriteErrors = WriteListings(cave, summary, dataFile, clock);
    std::string reason;
    if (run.ReportFile == dataFile)
        run.WriteErrors.push_back(run.ReportFile + ": is the survey data file itself");
    else if (!WriteFileAtomically(
                 run.ReportFile,
                 AdjustmentReportText(cave, run.Adjustment, settings, dataFile, clock), reason,
                 false))
        run.WriteErrors.push_back(run.ReportFile + ": " + reason);
    return run;
}
