// Weighted least-squares adjustment of the survey network, its traverses and blunder suspects.
// A second method beside the loop correction: it reads the reduced cave and never writes the
// correction's files.
#pragma once

#include "model/CaveModel.h"

#include <Eigen/Core>

#include <cstdint>
#include <string>
#include <vector>

struct TAdjustmentSettings {
    double SdTape = 0.10;   // metres
    double SdCompass = 2.5; // degrees
    double SdClino = 2.5;   // degrees
    double FlagLimit = 3;   // normalised error above which a traverse is flagged
};

// An empty text when the settings can be used, otherwise what is wrong with them.
std::string CheckAdjustmentSettings(const TAdjustmentSettings& settings);

enum class TReading { Tape, Compass, Clino };
const char* ReadingName(TReading reading);

// The covariance (m^2) of a shot's east-north-up vector, first-order propagation of the three
// readings' standard deviations. On a plumbed shot the bearing means nothing, so the clino's
// spread holds in every horizontal direction.
Eigen::Matrix3d ShotCovariance(const Tdatalinje& shot, const TAdjustmentSettings& settings);
// The change of the shot's vector per unit change of one reading (metres, or radians).
Eigen::Vector3d ReadingDerivative(const Tdatalinje& shot, TReading reading);

// A chain of shots between two junctions (or a shot that begins and ends at one station).
struct TTraverse {
    std::vector<std::int32_t> Lines;                      // shot lines in walking order
    str4 FromName, ToName;                                // the names at the two ends as walked
    double Length = 0;                                    // sum of the shot lengths
    Eigen::Vector3d Misclosure = Eigen::Vector3d::Zero(); // adjusted minus observed vector
    double ChiSquare = 0;       // Misclosure weighted by the traverse's own covariance
    double NormalisedError = 0; // sqrt(ChiSquare / 3)
    bool Flagged = false;
    bool OnLoop = true; // false: no loop runs through it, so nothing can be checked
};

struct TSuspect {
    std::int32_t Line = 0;
    TReading Reading = TReading::Tape;
    double Change = 0;         // reading minus its best fit: metres or degrees
    double Statistic = 0;      // squared standardised size of the change, chi-square with 1 d.f.
    std::int32_t Traverse = 0; // index into Traverses
};

struct TAdjustment {
    bool Ok = false;
    std::string Message; // why no positions could be computed
    // Every distinct station name, with its position: adjusted when Connected, else as reduced.
    std::vector<str4> Names;
    std::vector<TVec3> Positions;
    std::vector<bool> Connected;
    std::int64_t Stations = 0;  // connected to the start, tied names counted once
    std::int64_t Junctions = 0; // unknown junctions that went to the factorisation
    std::int64_t TiedNames = 0; // names joined to another by a zero-length shot
    std::int64_t Unconnected = 0;
    std::int64_t Shots = 0; // shots with a length that join the connected part
    double ChiSquare = 0;
    std::int64_t DegreesOfFreedom = 0;
    std::vector<TTraverse> Traverses;
    std::vector<TSuspect> Suspects;      // the best one per flagged traverse, most likely first
    std::int64_t FlaggedNotAnalysed = 0; // flagged traverses beyond the analysis limit

    // The Names entry of a name, or -1 when the cave has no such station.
    std::int32_t NameIndex(const str4& name) const;
    // Adds name when it is new; returns its Names entry.
    std::int32_t AddName(const str4& name);
    // The position of a name, or nullptr when the cave has no such station.
    const TVec3* PositionOf(const str4& name) const;

private:
    // Open addressing over str4::Key with linear probing; -1 marks an empty slot.
    std::vector<std::int32_t> slots_;
    int shift_ = 64;
    std::size_t Home(const str4& name) const {
        return static_cast<std::size_t>((name.Key() * 0x9E3779B97F4A7C15ull) >> shift_);
    }
    void Grow();
};

// The station named by line 1's from-station is held at StartPos.
TAdjustment AdjustNetwork(const TKviste& cave, const TAdjustmentSettings& settings);

// Moves every shot's to-station (Pos, wall points, scan points) to its adjusted position;
// stations outside the connected part stay. RawPos keeps the reduction.
void ApplyAdjustment(TKviste& cave, const TAdjustment& adjustment);
