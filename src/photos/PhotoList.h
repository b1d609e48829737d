// The photo viewer's plain logic: the two lists kept in step, stepping, photo names and texts.
#pragma once

#include "model/CaveModel.h"

#include <cstdint>
#include <string>
#include <vector>

// The file-name part of a photo name: what follows the last "\", "/" or drive colon.
std::string PhotoFileNamePart(const std::string& name);

// Order of a sorted list box: letter case ignored (Windows-1252 letters included), then bytes.
bool PhotoNameLess(const std::string& a, const std::string& b);

// The full names, sorted, and beside each at the same position its file-name part.
class TPhotoLists {
public:
    void Clear();
    // The first count entries of photos (fewer if the array is shorter).
    void Load(const TPhotoArray& photos, std::int32_t count);
    // Inserts at its sorted place (after equal names) and returns that position.
    std::size_t Add(const std::string& fullName);
    void Remove(std::size_t i);

    std::size_t Count() const { return full_.size(); }
    const std::string& Full(std::size_t i) const { return full_[i]; }
    const std::string& Name(std::size_t i) const { return names_[i]; }
    const std::vector<std::string>& FullNames() const { return full_; }
    const std::vector<std::string>& Names() const { return names_; }

private:
    std::vector<std::string> full_;
    std::vector<std::string> names_;
};

enum class TPicStep { First, Previous, Next, Last };

// The position after one step over count pictures: it stays put at either end, and a position
// left beyond the end by a removal is first brought back into the list. -1 when count is 0.
std::int32_t StepPicture(std::int32_t cur, std::int32_t count, TPicStep step);

// The status panel: name, picture size, the line's stored count and its station.
std::string PicStatusText(const std::string& picName, std::int64_t width, std::int64_t height,
                          std::int32_t photoCount, const str4& toName);

// The line whose photos the viewer shows for the station of line: of the shots ending there, the
// first that has photos, else the first (a loop ends several shots at one station).
std::int32_t PhotoLineOf(const TKviste& cave, std::int32_t line);

// Replaces the line's photo list; HasPhotos tells whether any remain.
void StorePhotos(Tdatalinje& line, const std::vector<std::string>& names);

// Where a stored photo name is looked for, in order: as written (backslashes read as
// separators), relative to the data file's folder, then its file-name part in that folder.
// dataDir empty: as written only. Repeats are dropped.
std::vector<std::string> PhotoNameCandidates(const std::string& stored, const std::string& dataDir);

// The first candidate that is a file, then a file in dataDir whose name matches the file-name
// part ignoring letter case (names written on a system that ignores it). "" when none is.
std::string ResolvePhotoName(const std::string& stored, const std::string& dataDir);

// An open-picture dialog filter listing exactly the given formats (lower-case extensions), each
// in both letter cases since the file system here tells them apart.
std::string PictureFilter(const std::vector<std::string>& formats);
