// HPGL commands, one a line, with coordinates in plotter units rounded halves to even.
#include "plot/HPGLWriter.h"

#include "model/Geometry.h"

#include <cmath>
#include <numbers>

std::string HPGLFileName(std::uint8_t kind, const std::string& dataFile) {
    const std::size_t slash = dataFile.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string dir = dataFile.substr(0, nameStart);
    const std::string file = dataFile.substr(nameStart);
    switch (kind) {
    case kHPGLFrame:
        return dir + (file.size() > 4 ? file.substr(0, file.size() - 4) : "") + "RM.plt";
    case kHPGLGrid:
        return dir + "Rutenett.plt";
    default: {
        const std::size_t dot = file.find_last_of('.');
        return dir + (dot == std::string::npos ? file : file.substr(0, dot)) + ".plt";
    }
    }
}

TPlotExtents RotatedExtents(const TKviste& cave, const TPlotView& view) {
    TPlotExtents e{99999, -99999, 99999, -99999};
    TVec3 r;
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        ViewPoint(view, cave.Lines[static_cast<std::size_t>(i)].Pos, r);
        if (r.X > e.MaxX)
            e.MaxX = r.X;
        if (r.X < e.MinX)
            e.MinX = r.X;
        if (r.Y > e.MaxY)
            e.MaxY = r.Y;
        if (r.Y < e.MinY)
            e.MinY = r.Y;
    }
    return e;
}

double ScaleForWidth(double w) {
    if (w > 500)
        return 20;
    if (w > 300)
        return 10;
    if (w > 100)
        return 5;
    if (w > 50)
        return 2;
    return 1;
}

TPlotExtents EnlargedExtents(const TPlotExtents& e) {
    return {static_cast<double>(RoundEven(1.15 * e.MinX)),
            static_cast<double>(RoundEven(1.15 * e.MaxX)),
            static_cast<double>(RoundEven(1.3 * e.MinY)),
            static_cast<double>(RoundEven(1.15 * e.MaxY))};
}

THPGLWriter::~THPGLWriter() {
    AbandonHPGL();
}

bool THPGLWriter::OpenHPGL(std::uint8_t kind, const std::string& dataFile, std::string& reason) {
    return OpenHPGLFile(HPGLFileName(kind, dataFile), reason);
}

bool THPGLWriter::OpenHPGLFile(const std::string& path, std::string& reason) {
    AbandonHPGL();
    name_ = path;
    failed_ = false;
    failure_.clear();
    buffer_.clear();
    if (!file_.Open(path, reason))
        return false;
    std::string line = "IP0 0 ";
    AppendInt(line, PaperX);
    line += ' ';
    AppendInt(line, PaperY);
    line += ';';
    Command("IN;");
    Command(line);
    Command("SP1;");
    line = "SC";
    AppendInt(line, -(PaperX / 2));
    line += ' ';
    AppendInt(line, PaperX / 2);
    line += ' ';
    AppendInt(line, -(PaperY / 2));
    line += ' ';
    AppendInt(line, PaperY / 2);
    line += ';';
    Command(line);
    Command("");
    Command("SP1;");
    // Line type 0 would draw only a dot at each vector end; the plain command draws solid lines.
    Command("LT;");
    return true;
}

bool THPGLWriter::CloseHPGL(std::string& reason) {
    if (!file_.IsOpen() && !failed_) {
        reason = "no plotter file is open";
        return false;
    }
    Command("PU0 0;");
    Command("SP0;");
    Flush();
    buffer_.clear();
    if (failed_) {
        reason = failure_;
        return false;
    }
    return file_.Commit(false, reason);
}

void THPGLWriter::AbandonHPGL() {
    file_.Discard();
    buffer_.clear();
}

void THPGLWriter::Flush() {
    if (!failed_ && file_.IsOpen() && !buffer_.empty() &&
        !file_.Write(buffer_.data(), buffer_.size(), failure_))
        failed_ = true;
    buffer_.clear();
}

void THPGLWriter::Command(std::string_view text) {
    if (failed_ || !file_.IsOpen())
        return;
    buffer_.append(text);
    buffer_ += "\r\n";
    if (buffer_.size() >= (1u << 20))
        Flush();
}

long long THPGLWriter::PlotterUnits(double v) const {
    return RoundEven(400 * v / HPGLScale);
}

void THPGLWriter::Point(const char* command, double x, double y) {
    if (failed_ || !file_.IsOpen())
        return;
    point_.assign(command, 2);
    AppendInt(point_, PlotterUnits(x));
    point_ += ' ';
    AppendInt(point_, PlotterUnits(y));
    point_ += ';';
    Command(point_);
}

void THPGLWriter::PenUp(double x, double y) {
    Point("PU", x, y);
}

void THPGLWriter::PenDown(double x, double y) {
    Point("PD", x, y);
}

void THPGLWriter::HPGLLabel(int size, std::string_view text, double x, double y) {
    PenUp(x, y);
    Command("DI3173.000 0.000;");
    Command("SL0.000;");
    std::string line = "SI";
    AppendReal(line, size * 0.014083, 5, 4);
    line += ' ';
    AppendReal(line, size * 0.035333, 5, 4);
    line += ';';
    Command(line);
    line = "LB";
    line.append(text);
    line += '\x03';
    line += ";;";
    Command(line);
    Command("SP1;");
}

void THPGLWriter::HPGLCircle(int sides, double cx, double cy, double r, double startAngle) {
    if (sides < 1)
        return;
    const double step = 2 * std::numbers::pi / sides;
    const double a0 = DegToRad(startAngle);
    PenUp(cx + r * std::cos(a0), cy + r * std::sin(a0));
    for (int i = 0; i <= sides; ++i)
        PenDown(cx + r * std::cos(i * step + a0), cy + r * std::sin(i * step + a0));
}

void THPGLWriter::HPGLRect(double x1, double y1, double x2, double y2) {
    PenUp(x1, y1);
    PenDown(x2, y1);
    PenDown(x2, y2);
    PenDown(x1, y2);
    PenDown(x1, y1);
}

void THPGLWriter::HPGLArrow(double x, double y, double length, double bearing) {
    const double b = DegToRad(bearing);
    const double tx = x + length * std::sin(b), ty = y + length * std::cos(b);
    PenUp(x, y);
    PenDown(tx, ty);
    HPGLCircle(3, tx, ty, 0.5 * HPGLScale, -(bearing + 30));
}

void THPGLWriter::HPGLNorthArrow(double x, double y, double length, double bearing) {
    HPGLArrow(x, y, length, bearing);
    const double b = DegToRad(bearing);
    HPGLLabel(20, "N", x + (length + 1) * std::sin(b) - 0.25 * HPGLScale,
              y + (length + 1) * std::cos(b) + 0.5 * HPGLScale);
}

void THPGLWriter::HPGLScaleBar(int n, double x0, double y0, double length) {
    const double s = HPGLScale, h = 0.5 * s, q = 0.25 * s;
    PenUp(x0, y0);
    PenDown(x0, y0 + h);
    HPGLLabel(12, "0", x0 - 0.2, y0 + h + 0.2);
    PenUp(x0, y0);
    PenDown(x0 + length, y0);
    PenDown(x0 + length, y0 + h);
    HPGLLabel(18, FormatReal(length, 3, 0) + " m", x0 + length - 0.5, y0 + h + 0.2);
    if (n > 0) {
        const double d = length / n;
        const bool middleFigure = n == 10 || n == 50 || n == 100;
        for (int i = 1; i <= n - 1; ++i) {
            PenUp(x0 + i * d, y0);
            if (middleFigure && i == 5) {
                PenDown(x0 + i * d, y0 + h);
                std::string half;
                AppendInt(half, RoundEven(length / 2));
                HPGLLabel(16, half, x0 + i * d - 0.2, y0 + h + 0.2);
            } else {
                PenDown(x0 + i * d, y0 + q);
            }
        }
    }
    PenUp(x0, y0 + q);
    PenDown(x0 + length, y0 + q);
    HPGLLabel(16, "\"KVISTREL\"  4.023; cave survey plot", x0, y0 - 0.7 * s);
}

void THPGLWriter::WritePlotFrame(const TKviste& cave, const TPlotView& view,
                                 const std::string& stamp) {
    TPlotExtents e = UseGivenExtents ? GivenExtents : RotatedExtents(cave, view);
    HPGLScale = ScaleForWidth(e.MaxX - e.MinX);
    const double s = HPGLScale;
    e = EnlargedExtents(e);
    HPGLRect(e.MinX, e.MinY, e.MaxX, e.MaxY);
    HPGLScaleBar(10, e.MinX + 0.5 * s, e.MinY + s, 10 * s);
    HPGLNorthArrow(e.MinX + 4 * s, e.MinY + 5 * s, 2.5 * s, 360 - view.RotAngle);
    HPGLLabel(18, cave.CaveName, e.MinX + s, e.MaxY - s);
    HPGLLabel(12,
              "ViewAspect:  " + FormatReal(view.RotAngle, 5, 0) + "/" +
                  FormatReal(view.TiltAngle, 3, 0),
              e.MinX + s, e.MaxY - 2 * s);
    HPGLLabel(12, "Laget :  " + stamp, e.MinX + s, e.MaxY - 2.5 * s);
}

bool THPGLWriter::WriteGridFile(const TKviste& cave, const TPlotView& view, std::string& reason) {
    const TPlotExtents e = EnlargedExtents(RotatedExtents(cave, view));
    const double g = HPGLScale;
    const long long n = RoundEven(std::fabs(e.MaxX - e.MinX) / g);
    const long long m = RoundEven(std::fabs(e.MinY - e.MaxY) / g);
    // A grid of millions of lines would be no drawing at all, only a full disk.
    constexpr long long kMaxGridLines = 1000000;
    if (n > kMaxGridLines || m > kMaxGridLines) {
        reason = "the grid would need more than 1000000 lines";
        return false;
    }
    for (long long i = 0; i <= n; ++i) {
        PenUp(e.MinX + i * g, e.MaxY);
        PenDown(e.MinX + i * g, e.MinY);
    }
    for (long long j = 0; j <= m; ++j) {
        PenUp(e.MinX, e.MinY + j * g);
        PenDown(e.MaxX, e.MinY + j * g);
    }
    return true;
}

bool FailHPGLExport(THPGLWriter& w, const std::string& reason, std::string& message) {
    message = "Could NOT write " + w.FileName() + " (" + reason + ")";
    w.AbandonHPGL();
    w.HPGLActive = false;
    return false;
}

bool HPGLExport(THPGLWriter& w, THPGLExportInput& in, std::string& message) {
    // Without a shot the extents stay at their start values and would frame and grid a
    // square of 200 km.
    if (in.Cave.LineCount < 1) {
        message = kNothingToPlot;
        w.HPGLActive = false;
        return false;
    }
    std::string reason;
    w.HPGLActive = true;

    if (!w.OpenHPGL(kHPGLFrame, in.DataFile, reason))
        return FailHPGLExport(w, reason, message);
    w.WritePlotFrame(in.Cave, in.View, in.Stamp);
    if (!w.CloseHPGL(reason))
        return FailHPGLExport(w, reason, message);

    if (!w.OpenHPGL(kHPGLCave, in.DataFile, reason))
        return FailHPGLExport(w, reason, message);
    const TViewLimits& v = in.View.Limits;
    SetToPCParams(in.View, v.West, v.South, v.East, v.North);
    ClearPlotScreen(in.Canvas, in.View);
    TPlotPass pass{in.Canvas, in.Cave, in.View, in.Switches, in.Colors, in.Index, &w};
    PlottPolygon(pass);
    if (in.PrintableClip)
        in.PrintableClip(w);
    if (!w.CloseHPGL(reason))
        return FailHPGLExport(w, reason, message);

    if (in.Switches.ShowGrid) {
        if (!w.OpenHPGL(kHPGLGrid, in.DataFile, reason))
            return FailHPGLExport(w, reason, message);
        if (!w.WriteGridFile(in.Cave, in.View, reason) || !w.CloseHPGL(reason))
            return FailHPGLExport(w, reason, message);
    }
    w.HPGLActive = false;
    return true;
}

THPGLWriter& PlotHPGL() {
    static THPGLWriter writer;
    return writer;
}
