// A profile's plotter export; the writer draws the frame, this code supplies its extents.
#include "profile/ProfileHPGL.h"

#include "model/Geometry.h"
#include "profile/ProfileCore.h"

#include <algorithm>
#include <utility>

std::string ProfileHPGLTitle(const std::string& caveName, std::string_view toName, double scanPlane,
                             double area) {
    std::string t = caveName;
    t += " Profile (";
    t.append(toName);
    t += ") : ";
    AppendReal(t, scanPlane, 5, 2);
    t += "Area = ";
    AppendReal(t, area, 6, 2);
    t += " m2";
    return t;
}

std::string ProfileHPGLName(const std::string& dataFile, std::string_view station) {
    while (!station.empty() && (station.back() == ' ' || station.back() == '\0'))
        station.remove_suffix(1);
    const std::size_t slash = dataFile.find_last_of('/');
    const std::size_t fileLength =
        slash == std::string::npos ? dataFile.size() : dataFile.size() - slash - 1;
    if (station.empty() || fileLength <= 4)
        return {};
    std::string name = dataFile.substr(0, dataFile.size() - 4);
    for (const char c : station)
        name += c == '/' || c == '\\' || c == '\0' ? '_' : c;
    name += ".plt";
    return name;
}

TPlotExtents ProfileExtents(const TPolyGon& poly) {
    TPlotExtents e;
    WorldBox(poly, e.MinX, e.MinY, e.MaxX, e.MaxY);
    return e;
}

namespace {

// Puts back what the export borrows, however it ends.
class TExportRestore {
public:
    TExportRestore(THPGLWriter& w, TProfileHPGLInput& in)
        : w_(w), in_(in), caveName_(in.Cave.CaveName), currentFile_(in.CurrentFile) {}
    ~TExportRestore() {
        in_.Cave.CaveName = std::move(caveName_);
        in_.CurrentFile = std::move(currentFile_);
        w_.UseGivenExtents = false;
        w_.HPGLActive = false;
    }
    TExportRestore(const TExportRestore&) = delete;
    TExportRestore& operator=(const TExportRestore&) = delete;

private:
    THPGLWriter& w_;
    TProfileHPGLInput& in_;
    std::string caveName_;
    std::string currentFile_;
};

} // namespace

bool ProfileHPGLExport(THPGLWriter& w, TProfileHPGLInput& in, std::string& message) {
    const TPolyGon& poly = in.Poly;
    const std::int32_t count =
        std::min<std::int32_t>(poly.Count, static_cast<std::int32_t>(poly.WPts.size()));
    if (count <= 0) {
        message = "There is no polygon to write: draw one first.";
        return false;
    }
    const std::int32_t last = std::min<std::int32_t>(
        in.Cave.LineCount, static_cast<std::int32_t>(in.Cave.Lines.size()) - 1);
    if (in.Station < 0 || in.Station > last) {
        message = "No data line is shown: choose a station first.";
        return false;
    }
    const Tdatalinje& line = in.Cave.Lines[static_cast<std::size_t>(in.Station)];
    std::string output = ProfileHPGLName(in.CurrentFile, line.ToName.view());
    if (output.empty())
        output = ProfileHPGLName(in.CurrentFile, in.StationName);
    if (output.empty()) {
        message = ProfileHPGLName(in.CurrentFile, "x").empty()
                      ? "The plotter file is named after the survey data file: read one first."
                      : "The station has no name to name the plotter file after.";
        return false;
    }

    const TExportRestore restore(w, in);
    in.CurrentFile = output;
    in.Cave.CaveName =
        ProfileHPGLTitle(in.Cave.CaveName, line.ToName.view(), line.ScanPlane, poly.Area);
    w.GivenExtents = ProfileExtents(poly);
    w.UseGivenExtents = true;

    std::string reason;
    if (!w.OpenHPGL(kHPGLFrame, in.CurrentFile, reason))
        return FailHPGLExport(w, reason, message);
    w.WritePlotFrame(in.Cave, in.View, in.Stamp);
    if (!w.CloseHPGL(reason))
        return FailHPGLExport(w, reason, message);

    if (!w.OpenHPGL(kHPGLCave, in.CurrentFile, reason))
        return FailHPGLExport(w, reason, message);
    const TWPoint& first = poly.WPts[0];
    w.PenUp(first.X, first.Y);
    for (std::int32_t i = 1; i < count; ++i) {
        const TWPoint& p = poly.WPts[static_cast<std::size_t>(i)];
        w.PenDown(p.X, p.Y);
    }
    w.PenDown(first.X, first.Y);
    if (!w.CloseHPGL(reason))
        return FailHPGLExport(w, reason, message);
    return true;
}
