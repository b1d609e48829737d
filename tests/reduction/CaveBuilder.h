// Small surveys built in code for the reduction and listing tests.
#pragma once

#include "model/CaveModel.h"

#include <initializer_list>
#include <utility>

struct TShotSpec {
    const char* From;
    const char* To;
    double Compass = 0, Clino = 0, Length = 0;
    double Right = 0, Left = 0, Down = 0, Up = 0;
};

// A cave as a fresh read leaves it: blank records, LineCount shots from 1.
inline TKviste MakeCave(std::initializer_list<TShotSpec> shots, TVec3 start = {}) {
    TKviste cave;
    cave.CaveName = "Testhola";
    cave.SurveyInfo = "Made in code";
    cave.StartPos = start;
    cave.Lines.resize(shots.size() + 1);
    for (const TShotSpec& s : shots) {
        Tdatalinje& l = cave.Lines[static_cast<std::size_t>(++cave.LineCount)];
        l.FromName = str4(s.From);
        l.ToName = str4(s.To);
        l.Compass = s.Compass;
        l.Clino = s.Clino;
        l.Length = s.Length;
        l.Right = s.Right;
        l.Left = s.Left;
        l.Down = s.Down;
        l.Up = s.Up;
    }
    return cave;
}

// Attaches a scan of (angle, distance) points taken in the given plane at the line's to-station.
inline void AddScan(TKviste& cave, int line, double plane,
                    std::initializer_list<std::pair<double, double>> points) {
    Tdatalinje& l = cave.Lines[static_cast<std::size_t>(line)];
    l.HasScan = true;
    l.ScanPlane = plane;
    for (const auto& [angle, distance] : points) {
        TProfil p;
        p.Angle = angle;
        p.Distance = distance;
        l.ScanPoints.push_back(p);
    }
    l.ScanCount = static_cast<std::int32_t>(l.ScanPoints.size());
    cave.ScanPointCount += l.ScanCount;
}

inline void AddComment(TKviste& cave, int line, const char* text) {
    Tdatalinje& l = cave.Lines[static_cast<std::size_t>(line)];
    l.HasComment = true;
    l.Comment = text;
    ++cave.CommentCount;
}
