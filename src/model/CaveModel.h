// The in-memory model of one cave survey: shots, instruments, scans, photos, display attributes.
#pragma once

#include "model/Geometry.h"
#include "model/Str4.h"

#include <cstdint>
#include <string>
#include <vector>

struct TInstrument {
    double CompassCircle = 360; // compass units in a full circle
    double ClinoCircle = 360;   // clino units in a full circle
    double Declination = 0;     // degrees added to every converted compass reading
    double LengthUnit = 1;      // file length units per metre
    friend bool operator==(const TInstrument&, const TInstrument&) = default;
};
using TInstrumentArray = std::vector<TInstrument>;

// One point of a laser profile scan.
struct TProfil {
    double Distance = 0; // metres from the station
    double Angle = 0;    // degrees within the scan plane, upwards from horizontal
    TVec3 Offset;        // point relative to the station
    TVec3 World;         // station position plus Offset
    std::string Note;
};
using TProfArray = std::vector<TProfil>;
using TPhotoArray = std::vector<std::string>;

inline constexpr std::uint32_t kDefaultLegColour = 0x0000FFFF; // 0x00BBGGRR: yellow

// One data line: a shot and everything known about its to-station.
struct Tdatalinje {
    str4 FromName{"    "};
    str4 ToName{"    "};
    double Compass = 0; // degrees
    double Clino = 0;   // degrees
    double Length = 0;  // metres
    double Up = 0;      // to the ceiling (file column "O")
    double Down = 0;    // to the floor ("N")
    double Right = 0;   // to the right wall looking along the shot ("H")
    double Left = 0;    // to the left wall ("V")
    TVec3 Delta;
    TVec3 Pos;
    TVec3 RawPos;
    TPlanPoint RightWall;
    TPlanPoint LeftWall;
    double CeilingZ = 0;
    double FloorZ = 0;
    std::int32_t Instrument = 0;
    bool Linked = false;
    bool LoopCorrected = false;
    bool Visible = true;
    bool HasScan = false;
    bool HasPhotos = false;
    std::uint32_t Colour = kDefaultLegColour;
    std::uint8_t PenStyle = 0;
    std::int32_t PenWidth = 1;
    TScreenPoint ScreenPos;
    bool HasComment = false;
    bool TreeLeg = false;
    std::string Comment;
    TPhotoArray Photos;
    std::int32_t PhotoCount = 0;
    std::int32_t ScanCount = 0;
    double ScanPlane = 0; // degrees, converted like a compass reading
    TProfArray ScanPoints;
};
using KvisArray = std::vector<Tdatalinje>;

// The whole cave. Lines[0] is a blank record that is never a shot; shots are 1 .. LineCount.
struct TKviste {
    std::string CaveName = "NOCAVE";
    std::string SurveyInfo;
    TInstrumentArray Instruments{TInstrument{}};
    std::int32_t InstrumentCount = 1;
    TVec3 StartPos;
    std::int32_t LineCount = 0;
    std::int32_t ZeroLegCount = 0;
    std::int32_t CommentCount = 0;
    std::int64_t ScanPointCount = 0;
    KvisArray Lines{Tdatalinje{}};
};

// Profile drawing window's copy of one line's scan while it is edited.
struct TTempProfil {
    std::int32_t LineIndex = 0;
    std::int32_t PointCount = 0;
    double Azimuth = 0;
    TProfArray Points;
    double CompassCircle = 360;
    double ClinoCircle = 360;
};

// Display attribute for legs whose station names begin with Prefix.
struct TAttribut {
    std::string Prefix;
    std::uint32_t Colour = kDefaultLegColour;
    std::uint8_t PenStyle = 0;
    std::int32_t PenWidth = 1;
    bool Visible = true;
};

struct TAttributs {
    std::vector<TAttribut> Items;
    std::int32_t ItemCount = 0;
    std::string SetName;
};
using TAttriButList = std::vector<TAttributs>;

void InitLine(Tdatalinje& line);
// Gives entries 0 .. n of cave.Lines the blank state (the caller sized Lines to at least n + 1)
// and resets the cave's header fields and counters.
void ResetCave(TKviste& cave, std::int64_t n);

// Delta of every shot and the offsets of its scan points.
void ComputeLegVectors(TKviste& cave);
void ScanOffsets(TKviste& cave, std::int32_t i);
void ScanWorld(TKviste& cave, std::int32_t i);
void WallPoints(TKviste& cave, std::int32_t i);
// First shot 1 .. LineCount whose ToName equals name. Linear: callers that look up many
// names use the station index of the reduction instead.
void FindToStation(const TKviste& cave, const str4& name, TVec3& p, bool& found);
