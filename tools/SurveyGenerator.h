// Generator of large, realistic survey files for benchmarks and stress tests.
#pragma once

#include <cstdint>
#include <string>

struct TGeneratorOptions {
    std::int64_t Shots = 1000;  // data lines, the first being the zero-length start shot
    double LoopShare = 0.02;    // share of shots that close a loop at an existing station
    double ScanShare = 0.05;    // share of shots that carry a cross-section scan
    double CommentShare = 0.05; // share of shots followed by a comment line
    double PhotoShare = 0.01;   // share of shots followed by a photo list
    int ScanPoints = 12;        // points per scan
    std::uint64_t Seed = 1;
    bool Grads = false;        // header instrument 400 400 instead of 360 360
    double BranchShare = 0.02; // share of shots that begin a side passage at an older station
};

// Station names are four characters and unique up to about 10.8 million stations.
inline constexpr std::int64_t kMaxGeneratedShots = 10'000'000;
inline constexpr int kMaxScanPoints = 1000;

// The whole file text, CR LF line ends. Same options, same bytes.
// Throws std::invalid_argument for options out of range (negative or too many shots, shares
// outside 0 .. 1, scan points outside 1 .. kMaxScanPoints).
std::string GenerateSurvey(const TGeneratorOptions& options);
