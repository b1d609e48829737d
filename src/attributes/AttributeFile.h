// The attribute file (".atr" beside the survey file): every attribute set, one value a line.
#pragma once

#include "attributes/AttributeSets.h"

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr const char* kAttributeExtension = ".atr";
// The file's counters were one byte; more sets than that means a damaged file. A set holds at
// most one item per possible prefix and the blank one, far below the item limit.
inline constexpr std::int64_t kMaxAttributeSets = 255;
inline constexpr std::int64_t kMaxAttributeItems = 65536;
inline constexpr std::int64_t kMaxAttributePenWidth = 100;

struct TAttributeFileResult {
    bool Ok = false;
    bool FileMissing = false; // no such file: the caller makes the default set
    std::int64_t Line = 0;    // 1-based line of the file where reading failed
    std::string Reason;       // what was wrong there, or why the file could not be read/written
    std::string Message;      // for the user: the file, the line and the reason
};

// The attribute file of a survey file: its name with the extension replaced.
std::string AttributeFileName(const std::string& surveyFile);

// Parses a whole file's text. On success sets holds the file's sets (none for a set count of
// 0); on failure sets is untouched. fileName only goes into the message.
TAttributeFileResult ParseAttributeText(std::string_view text, const std::string& fileName,
                                        TAttriButList& sets);
// The file's text, CR LF line ends.
std::string AttributeFileText(const TAttriButList& sets);

// Loads the sets of the file; with no file, or a file of no sets, the one default set of the
// grid's rows. currentSet falls back to 0 when the sets loaded do not reach it. On failure sets
// and currentSet are untouched.
TAttributeFileResult GetAttributFile(const std::string& fileName,
                                     const std::vector<TPrefixRow>& rows, TAttriButList& sets,
                                     std::int32_t& currentSet);
// Writes every set, to a temporary file renamed over the old one.
TAttributeFileResult SaveAttributFile(const std::string& fileName, const TAttriButList& sets);
