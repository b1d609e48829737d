// Surveys built in code for the loop tests, placed as a fresh processing leaves them.
#pragma once

#include "model/CaveModel.h"
#include "reduction/Reduction.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

struct TLoopShot {
    const char* From;
    const char* To;
    double Compass = 0, Clino = 0, Length = 0;
};

// Names filled to four characters as the reader stores them.
inline str4 Padded(const char* name) {
    std::string s(name);
    s.resize(4, ' ');
    return str4(s);
}

// Vectors and positions computed as a processing leaves them.
inline TKviste MakeLoopCave(std::initializer_list<TLoopShot> shots) {
    TKviste cave;
    cave.CaveName = "Looptest";
    cave.SurveyInfo = "Made in code";
    cave.Lines.resize(shots.size() + 1);
    for (const TLoopShot& s : shots) {
        Tdatalinje& l = cave.Lines[static_cast<std::size_t>(++cave.LineCount)];
        l.FromName = Padded(s.From);
        l.ToName = Padded(s.To);
        l.Compass = s.Compass;
        l.Clino = s.Clino;
        l.Length = s.Length;
        l.Right = 1;
        l.Left = 2;
        l.Up = 3;
        l.Down = 4;
    }
    ComputeLegVectors(cave);
    LinkStations(cave);
    return cave;
}

// Runs a test inside its own directory, so the data file's name in the outputs is a bare name.
class ScopedWorkDir {
public:
    explicit ScopedWorkDir(const std::string& dir) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~ScopedWorkDir() {
        std::error_code ec;
        std::filesystem::current_path(old_, ec);
    }
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;

private:
    std::filesystem::path old_;
};
