// Model life cycle and the per-line computations.
#include "model/CaveModel.h"

void InitLine(Tdatalinje& line) {
    line = Tdatalinje{};
}

void ResetCave(TKviste& cave, std::int64_t n) {
    if (cave.Lines.size() < static_cast<std::size_t>(n + 1))
        cave.Lines.resize(static_cast<std::size_t>(n + 1));
    for (std::int64_t i = 0; i <= n; ++i)
        InitLine(cave.Lines[static_cast<std::size_t>(i)]);
    cave.CaveName = "NOCAVE";
    cave.SurveyInfo.clear();
    cave.StartPos = {};
    cave.LineCount = 0;
    cave.ZeroLegCount = 0;
    cave.CommentCount = 0;
    cave.ScanPointCount = 0;
    cave.InstrumentCount = 1;
    cave.Instruments.resize(1);
}

void ComputeLegVectors(TKviste& cave) {
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        Tdatalinje& l = cave.Lines[i];
        ShotVector(l.Delta, l.Compass, l.Clino, l.Length);
        if (!l.ScanPoints.empty())
            ScanOffsets(cave, i);
    }
}

void ScanOffsets(TKviste& cave, std::int32_t i) {
    Tdatalinje& l = cave.Lines[i];
    for (TProfil& p : l.ScanPoints)
        ShotVector(p.Offset, l.ScanPlane, p.Angle, p.Distance);
}

void ScanWorld(TKviste& cave, std::int32_t i) {
    Tdatalinje& l = cave.Lines[i];
    for (TProfil& p : l.ScanPoints)
        AddVec(l.Pos, p.Offset, p.World);
}

void WallPoints(TKviste& cave, std::int32_t i) {
    Tdatalinje& l = cave.Lines[i];
    TVec3 r, left;
    ShotVector(r, l.Compass + 90, 0, l.Right);
    l.RightWall = {l.Pos.X + r.X, l.Pos.Y + r.Y};
    ShotVector(left, l.Compass - 90, 0, l.Left);
    l.LeftWall = {l.Pos.X + left.X, l.Pos.Y + left.Y};
    l.CeilingZ = l.Pos.Z + l.Up;
    l.FloorZ = l.Pos.Z - l.Down;
}

void FindToStation(const TKviste& cave, const str4& name, TVec3& p, bool& found) {
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        if (cave.Lines[i].ToName == name) {
            p = cave.Lines[i].Pos;
            found = true;
            return;
        }
    }
    found = false;
}
