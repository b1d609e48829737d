// The clip polygon file beside a survey (".pcl"): one polygon with screen and world nodes.
#pragma once

#include "profile/Polygon2D.h"

#include <cstdint>
#include <string>

struct TClipFileResult {
    bool Ok = true;
    std::int32_t Line = 0; // 1-based line of the fault; 0 for the file as a whole
    std::string Reason;
};

inline constexpr const char* kClipPolyExtension = ".pcl";
std::string ClipPolyFileName(const std::string& dataFile);

// Reads every polygon of the text into poly, the last one read being kept; Closed and Loaded
// are set and UpdatePolyGon runs. On a fault poly is left exactly as it was.
TClipFileResult ReadClipPolyText(const std::string& text, TPolyGon& poly);
// The same from a file; a missing or unreadable file is a fault of line 0.
TClipFileResult ReadClipPolyFile(const std::string& path, TPolyGon& poly);

// The file text of one polygon, CR LF line ends.
std::string ClipPolyText(const TPolyGon& poly, const std::string& caveName);
// Written beside the target and renamed over it; a failure leaves the old file untouched.
TClipFileResult WriteClipPolyFile(const std::string& path, const TPolyGon& poly,
                                  const std::string& caveName);

// "<file>: line <n>: <reason>" or "<file>: <reason>".
std::string ClipFileMessage(const std::string& path, const TClipFileResult& result);
