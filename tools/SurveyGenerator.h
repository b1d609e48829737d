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

// Every station name is used once, so the shots are limited by the names (less those that
// new passages skip, at most about 315,000).
inline constexpr std::int64_t kMaxGeneratedShots = 10'000'000;
inline constexpr int kMaxScanPoints = 1000;

// The station names of generated surveys, four letters and digits each. While names still look
// hand-made (A001 .. z999, then AA01 .. zz99) a new passage opens a fresh series; later names
// (AAA0 .., 1000 .., AAAA ..) follow without gaps. The tiers differ in which places hold digits,
// so no name comes twice. Throws std::length_error after kStationNameCapacity names.
class TStationNamer {
public:
    void Next(char out[4], bool newPassage);

private:
    void NextSeries();
    void Write(char out[4]) const;

    bool started_ = false;
    int tier_ = 0;
    std::int64_t series_ = 0;
    int number_ = 1;
};
inline constexpr std::int64_t kStationNameCapacity = 11'182'292;

// The whole file text, CR LF line ends. Same options, same bytes.
// Throws std::invalid_argument for options out of range (negative or too many shots, shares
// outside 0 .. 1, scan points outside 1 .. kMaxScanPoints).
std::string GenerateSurvey(const TGeneratorOptions& options);
