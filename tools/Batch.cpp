// kvistrel-batch: read, reduce, list, correct loops, save and draw without windows.
#include "Batch.h"

#include "model/SurveyReader.h"
#include "model/SurveyWriter.h"
#include "plot/HPGLWriter.h"
#include "reduction/AdjustmentReport.h"
#include "reduction/Loops.h"
#include "reduction/Processing.h"

#include "PngExport.h"
#ifdef KV_HAVE_PNG
#include "VectorExport.h"
#endif

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char* const kUsage =
    "Usage: kvistrel-batch FILE [options]\n"
    "\n"
    "Reads the survey data file FILE (writing Kvistrel.log beside it), reduces it and writes\n"
    "the listings .krt, .kom, .sta and .scn beside it.\n"
    "\n"
    "Options:\n"
    "  --write OUT          write the survey to OUT after a successful read\n"
    "  --stamp TEXT         use TEXT as every date and time written in this run\n"
    "  --correct-loops [N]  correct the loops with N cycles (default 10), writing .Log,\n"
    "                       .tmp, .Fix and .lop beside FILE\n"
    "  --hpgl               write the plotter files of the view beside FILE: .plt (cave),\n"
    "                       RM.plt (frame, scale bar, north arrow) and, with --grid,\n"
    "                       Rutenett.plt\n"
    "  --adjust             adjust the network by least squares, move the stations, write the\n"
    "                       listings again and the report .lsq beside FILE\n"
    "  --sd-tape M --sd-compass DEG --sd-clino DEG\n"
    "                       standard deviations of the readings (0.10 m, 2.5, 2.5 degrees)\n"
#ifdef KV_HAVE_PNG
    "  --png OUT.png        draw the fitted view of the cave into a PNG picture\n"
    "  --svg OUT.svg        the same view as an SVG drawing\n"
    "  --pdf OUT.pdf        the same view as a PDF page\n"
    "  --size WxH           picture size in pixels (default 1600x1000)\n"
#endif
    "  --rotation DEG       turn of the view (default 0)\n"
    "  --tilt DEG           tilt of the view (default -90, the plan; 0 an elevation)\n"
    "  --labels --walls --stations --grid --scans\n"
    "                       draw station names, walls, station symbols, the grid, scans\n"
    "  --quiet              print no summary\n"
    "  --help               show this text\n"
    "\n"
    "Exit status: 0 when the file was read (unlinked stations are reported but do not\n"
    "fail the run), 1 when it could not be read or an output could not be written,\n"
    "2 for wrong arguments.\n";

struct Options {
    std::string File;
    std::optional<std::string> WriteOut;
    std::optional<std::string> Stamp;
    std::optional<int> Cycles;
    bool Adjust = false;
    TAdjustmentSettings Sd;
    bool Quiet = false;
    bool Hpgl = false;
    std::optional<std::string> PngOut, SvgOut, PdfOut;
    TPngOptions Png; // the view of every drawing output
};

bool ParseInt(const std::string& s, int& v) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool ParseDouble(const std::string& s, double& v) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// Returns an error text, or nothing when the arguments are good.
std::optional<std::string> Parse(const std::vector<std::string>& args, Options& o, bool& help) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) -> bool {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            help = true;
        } else if (a == "--quiet") {
            o.Quiet = true;
        } else if (a == "--write") {
            if (!value(v))
                return "--write needs a file name";
            o.WriteOut = v;
        } else if (a == "--stamp") {
            if (!value(v))
                return "--stamp needs a text";
            o.Stamp = v;
        } else if (a == "--correct-loops") {
            int n = 10;
            if (i + 1 < args.size() && ParseInt(args[i + 1], n)) {
                ++i;
                if (n < 0 || n > 100000)
                    return "--correct-loops takes a number of cycles from 0 to 100000";
            }
            o.Cycles = n;
        } else if (a == "--hpgl") {
            o.Hpgl = true;
        } else if (a == "--adjust") {
            o.Adjust = true;
        } else if (a == "--sd-tape" || a == "--sd-compass" || a == "--sd-clino") {
            double& sd = a == "--sd-tape"      ? o.Sd.SdTape
                         : a == "--sd-compass" ? o.Sd.SdCompass
                                               : o.Sd.SdClino;
            if (!value(v) || !ParseDouble(v, sd))
                return a + " needs a number";
            if (const std::string problem = CheckAdjustmentSettings(o.Sd); !problem.empty())
                return a + ": " + problem;
#ifdef KV_HAVE_PNG
        } else if (a == "--png") {
            if (!value(v))
                return "--png needs a file name";
            o.PngOut = v;
        } else if (a == "--svg") {
            if (!value(v))
                return "--svg needs a file name";
            o.SvgOut = v;
        } else if (a == "--pdf") {
            if (!value(v))
                return "--pdf needs a file name";
            o.PdfOut = v;
        } else if (a == "--size") {
            int w = 0, h = 0;
            const auto x = value(v) ? v.find('x') : std::string::npos;
            if (x == std::string::npos || !ParseInt(v.substr(0, x), w) ||
                !ParseInt(v.substr(x + 1), h) || w < 16 || h < 16 || w > 20000 || h > 20000)
                return "--size takes WIDTHxHEIGHT, each from 16 to 20000 pixels";
            o.Png.Width = w;
            o.Png.Height = h;
#endif
        } else if (a == "--rotation") {
            if (!value(v) || !ParseDouble(v, o.Png.Rotation) || !std::isfinite(o.Png.Rotation))
                return "--rotation needs a number of degrees";
        } else if (a == "--tilt") {
            if (!value(v) || !ParseDouble(v, o.Png.Tilt) || !std::isfinite(o.Png.Tilt))
                return "--tilt needs a number of degrees";
        } else if (a == "--labels") {
            o.Png.Labels = true;
        } else if (a == "--walls") {
            o.Png.Walls = true;
        } else if (a == "--stations") {
            o.Png.Stations = true;
        } else if (a == "--grid") {
            o.Png.Grid = true;
        } else if (a == "--scans") {
            o.Png.Scans = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return "unknown option " + a;
        } else if (o.File.empty()) {
            o.File = a;
        } else {
            return "only one survey file can be given (" + a + ")";
        }
    }
    if (!help && o.File.empty())
        return "no survey file given";
    return std::nullopt;
}

// The view of the batch's plotter files: the window's start view with the given angles, every
// line visible, centre lines on and the other elements as asked.
bool WriteHpgl(TKviste& cave, const TSummaryValues& summary, const TPngOptions& options,
               const std::string& file, const std::string& stamp, std::string& message) {
    TPlotView view;
    InitPlotparameters(view);
    // The limits only place a screen picture, which the batch has none of.
    SetViewPort(view, 0, 0, options.Width, options.Height, summary);
    view.RotAngle = options.Rotation;
    view.TiltAngle = std::clamp(options.Tilt, -90.0, 90.0);
    const TPlotSwitches sw = PngSwitches(options);
    TPlotColorTable colors;
    SetPlotColors(colors);
    for (std::int32_t i = 1; i <= cave.LineCount; ++i)
        cave.Lines[static_cast<std::size_t>(i)].Visible = true;
    const TStationIndex index(cave);
    TNoCanvas canvas;
    THPGLWriter writer;
    THPGLExportInput in{canvas, cave, view, sw, colors, index, file, stamp, {}};
    return HPGLExport(writer, in, message);
}

void Progress(int pass, int passes, void*) {
    std::fprintf(stderr, "correction pass %d of %d\n", pass, passes);
    std::fflush(stderr);
}

} // namespace

int RunBatch(int argc, char** argv, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args(argv + 1, argv + argc);
    Options o;
    bool help = false;
    if (const auto problem = Parse(args, o, help)) {
        err << "kvistrel-batch: " << *problem << "\n" << kUsage;
        return 2;
    }
    if (help) {
        out << kUsage;
        return 0;
    }

    std::unique_ptr<TextClock> clock;
    if (o.Stamp)
        clock = std::make_unique<FixedClock>(*o.Stamp);
    else
        clock = std::make_unique<SystemClock>();

    TKviste cave;
    std::string header2;
    const TReadResult read = ReadSurveyFile(o.File, cave, header2, *clock);
    for (const std::string& n : read.Notices)
        err << n << "\n";
    if (!read.Ok) {
        if (read.FileMissing)
            err << "Could NOT read " << o.File << " (" << read.Reason << ")\n";
        else
            err << o.File << ": " << read.Message << ": " << read.Reason << "\n";
        return 1;
    }

    int status = 0;
    TSummaryValues summary;
    const TProcessResult processed = ProcessCave(cave, summary, o.File, *clock);
    for (const std::string& m : processed.Connectivity)
        err << m << "\n";
    for (const std::string& m : processed.ListingErrors) {
        err << m << "\n";
        status = 1;
    }

    TLoopTable loops;
    if (o.Cycles) {
        const bool terminal = ::isatty(STDERR_FILENO) == 1;
        const TCorrectionResult corrected = CorrectLoops(cave, loops, *o.Cycles, o.File, *clock,
                                                         terminal ? &Progress : nullptr, nullptr);
        if (!corrected.Ok) {
            // A refusal says itself what was not done.
            err << (corrected.Refused ? "" : "Loop correction failed: ") << corrected.Reason
                << "\n";
            status = 1;
        }
    }

    std::optional<TAdjustmentRun> adjusted;
    if (o.Adjust) {
        const TAdjustmentRun& run =
            adjusted.emplace(RunAdjustment(cave, summary, o.Sd, o.File, *clock));
        if (!run.Ok) {
            err << "Least squares adjustment failed: " << run.Message << "\n";
            status = 1;
        }
        for (const std::string& m : run.WriteErrors) {
            err << m << "\n";
            status = 1;
        }
    }

    if (o.WriteOut) {
        const TWriteResult w = WriteSurveyFile(*o.WriteOut, cave, header2, *clock);
        if (!w.Ok) {
            err << "Could NOT write " << *o.WriteOut << " (" << w.Reason << ")\n";
            status = 1;
        }
    }

    if (o.Hpgl) {
        std::string message;
        if (!WriteHpgl(cave, summary, o.Png, o.File, clock->Now(), message)) {
            err << message << "\n";
            status = 1;
        }
    }

#ifdef KV_HAVE_PNG
    using TExporter = bool (*)(const TKviste&, const TSummaryValues&, const TPngOptions&,
                               const std::string&, std::string&);
    const std::pair<const std::optional<std::string>*, TExporter> drawings[] = {
        {&o.PngOut, &ExportPng}, {&o.SvgOut, &ExportSvg}, {&o.PdfOut, &ExportPdf}};
    for (const auto& [out, exporter] : drawings) {
        std::string reason;
        if (*out && !exporter(cave, summary, o.Png, **out, reason)) {
            err << "Could NOT write " << **out << " (" << reason << ")\n";
            status = 1;
        }
    }
#endif

    if (!o.Quiet) {
        out << cave.CaveName << "\n";
        out << "  lines:          " << cave.LineCount << "\n";
        out << "  total length:   " << FormatReal(summary.TotalLength, 0, 2) << " m\n";
        out << "  depth:          " << FormatReal(summary.MinZ, 0, 2) << " m\n";
        out << "  unlinked shots: " << processed.Connectivity.size() << "\n";
        if (o.Cycles)
            out << "  loops:          " << loops.LoopCount() << "\n";
        if (adjusted && adjusted->Ok) {
            const TAdjustment& adj = adjusted->Adjustment;
            out << "  adjusted:       " << adj.Stations << " stations, chi-square "
                << FormatReal(adj.ChiSquare, 0, 2) << " with " << adj.DegreesOfFreedom
                << " degrees of freedom, " << adj.Suspects.size() << " suspects\n";
            out << "  report:         " << adjusted->ReportFile << "\n";
        }
    }
    return status;
}
