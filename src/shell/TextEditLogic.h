// Text rules of the survey data text editor: templates, the comma check, splitting and building
// data lines, field checks, station prefixes and the instrument in force. Lines are file bytes.
#pragma once

#include "model/CaveModel.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kDocumentSlots = 8;
inline constexpr const char* kUntitled = "[untitled]";
// 0-based number of the first line after the five heading lines.
inline constexpr std::int64_t kFirstBodyLine = 5;
// 0-based number of the heading line with the first instrument.
inline constexpr std::int64_t kHeadingInstrumentLine = 3;
inline constexpr const char* kInstrumentError = "FEIL!!!!";
inline constexpr int kReadingFields = 7; // compass, clino, length, right, left, down, up
inline constexpr int kScanTemplateLines = 43;

// File bytes as the memo holds them, "\n" for every CR LF, and back, CR LF for every "\n".
std::string ToMemoLines(std::string_view bytes);
std::string ToFileLines(std::string_view text);

// The eight lines of a new file: a complete minimal survey.
const std::array<std::string_view, 8>& HeadingTemplate();
// One point line per 5 degrees from -15 to 195, waiting for its distance.
std::vector<std::string> ProfileScanLines();
// The header above pointLines scan points, with a placeholder plane bearing.
std::string ProfileScanHeader(std::int64_t pointLines);
std::string CommentLine(std::string_view text);

// A comma in a line that is neither empty nor a comment: Line 0-based, Position 1-based.
struct TCommaTypo {
    std::int64_t Line = 0;
    std::int64_t Position = 0;
    std::string_view Text; // the whole line, inside the text searched
};
// text holds lines ended by "\n". One pass over the text.
std::vector<TCommaTypo> FindCommaTypos(std::string_view text);
std::string CommaTypoMessage(const TCommaTypo& typo);
std::string CommaTypoSummary(std::size_t count);

// Lines the line-edit window shows whole in the comment panel: comments, instrument lines, scan
// and photo lines. Every other line, an empty one too, is split as a data line.
bool IsDataLine(std::string_view line);
bool IsInstrumentLine(std::string_view line);

// A data line cut by columns as the reader cuts it: names in columns 1-4 and 6-9, then seven
// blank-separated readings; readings the line lacks are empty.
struct TSplitDataLine {
    std::string FromName;
    std::string ToName;
    std::array<std::string, kReadingFields> Fields;
};
TSplitDataLine SplitDataLine(std::string_view line);

// A reading as the reader accepts it, blanks around it allowed.
bool ReadEditorNumber(std::string_view text, double& value);
// Two decimals in at least 5 characters; more decimals only where two would change the value.
std::string FormatEditorNumber(double value);
// Reading i (0 = compass .. 6 = up) of a line record.
double& ReadingField(Tdatalinje& line, int index);
double ReadingField(const Tdatalinje& line, int index);
// The names of the fields in the line-edit window, for messages.
std::string_view ReadingFieldName(int index);

// From and to names padded to 4, then the seven readings, each followed by a blank.
std::string BuildDataLine(const Tdatalinje& line);

// A name field after a change: more than 4 characters are cut back to 4 with a beep and a red
// field.
struct TNameCheck {
    std::string Text;
    bool Cut = false; // beep and show red
};
TNameCheck CheckNameField(std::string_view text);
// A reading field looks wrong (red) when it holds anything but blanks, digits and points; a clino
// may begin with a minus.
bool ReadingFieldSuspect(std::string_view text, bool clino);

// A committed name: the prefix in front unless the name already starts with it, cut and padded
// to 4. Beep when characters other than trailing blanks were cut.
struct TNameCommit {
    str4 Name;
    bool Beep = false;
};
TNameCommit CommitName(std::string_view typed, bool autoPrefix, std::string_view prefix);

// A prefix of at most 2 characters is accepted; a longer text is cut to 2 and refused.
struct TPrefixChoice {
    std::string Text;
    bool Accepted = false;
};
TPrefixChoice ChoosePrefix(std::string_view text);

// The instrument dialog: tape 0 metre, 1 centimetre, 2 feet.
enum class TTape { Metre = 0, Centimetre = 1, Feet = 2 };
// Length units per metre, as the reader divides lengths by it.
std::string_view TapeScaleText(TTape tape);
// "@ " with the circles, the declination and the length scale; false with a reason when the
// declination is not a number.
bool BuildInstrumentLine(std::string_view compass, std::string_view clino,
                         std::string_view declination, TTape tape, std::string& line,
                         std::string& reason);

// The instrument in force at line n: the nearest "@" line from n up to the first body line,
// else the heading instrument line. firstCharAt gives a line's first byte, 0 for an empty line.
std::int64_t InstrumentLineFor(std::int64_t n,
                               const std::function<char(std::int64_t)>& firstCharAt);
// Compass circle, clino circle and length scale of an instrument line as written, each
// kInstrumentError when it is missing or not a number.
std::array<std::string, 3> InstrumentTexts(std::string_view line);
