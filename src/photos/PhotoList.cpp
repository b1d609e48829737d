// The photo viewer's plain logic: the two lists kept in step, stepping, photo names and texts.
#include "photos/PhotoList.h"

#include "model/FileIO.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

// Windows-1252 lower case of one byte.
unsigned char FoldByte(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A: // S caron
    case 0x8C: // OE
    case 0x8E: // Z caron
        return static_cast<unsigned char>(c + 0x10);
    case 0x9F: // Y diaeresis
        return 0xFF;
    default:
        return c;
    }
}

// File names on disk are UTF-8 here: only ASCII letters are folded when matching them.
bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 0x20) : c; };
               return lower(x) == lower(y);
           });
}

std::string AsciiUpper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? char(c - 0x20) : c; });
    return s;
}

bool IsFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

bool HasDrive(const std::string& name) {
    return name.size() >= 2 && name[1] == ':' &&
           ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
}

} // namespace

std::string PhotoFileNamePart(const std::string& name) {
    const std::size_t cut = name.find_last_of("\\/:");
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

bool PhotoNameLess(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = FoldByte(static_cast<unsigned char>(a[i]));
        const unsigned char y = FoldByte(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

void TPhotoLists::Clear() {
    full_.clear();
    names_.clear();
}

void TPhotoLists::Load(const TPhotoArray& photos, std::int32_t count) {
    const std::size_t n = std::min(photos.size(), static_cast<std::size_t>(std::max(count, 0)));
    full_.assign(photos.begin(), photos.begin() + static_cast<std::ptrdiff_t>(n));
    std::stable_sort(full_.begin(), full_.end(), PhotoNameLess);
    names_.clear();
    names_.reserve(n);
    for (const std::string& f : full_)
        names_.push_back(PhotoFileNamePart(f));
}

std::size_t TPhotoLists::Add(const std::string& fullName) {
    const auto at = std::upper_bound(full_.begin(), full_.end(), fullName, PhotoNameLess);
    const auto i = static_cast<std::size_t>(at - full_.begin());
    full_.insert(at, fullName);
    names_.insert(names_.begin() + static_cast<std::ptrdiff_t>(i), PhotoFileNamePart(fullName));
    return i;
}

void TPhotoLists::Remove(std::size_t i) {
    if (i >= full_.size())
        return;
    full_.erase(full_.begin() + static_cast<std::ptrdiff_t>(i));
    names_.erase(names_.begin() + static_cast<std::ptrdiff_t>(i));
}

std::int32_t StepPicture(std::int32_t cur, std::int32_t count, TPicStep step) {
    if (count <= 0)
        return -1;
    cur = std::clamp(cur, 0, count - 1);
    switch (step) {
    case TPicStep::First:
        return 0;
    case TPicStep::Previous:
        return cur > 0 ? cur - 1 : cur;
    case TPicStep::Next:
        return cur < count - 1 ? cur + 1 : cur;
    case TPicStep::Last:
        return count - 1;
    }
    return cur;
}

std::string PicStatusText(const std::string& picName, std::int64_t width, std::int64_t height,
                          std::int32_t photoCount, const str4& toName) {
    return picName + "      (" + std::to_string(width) + " x " + std::to_string(height) +
           ") pixels     (" + std::to_string(photoCount) + " Photos   at Station" + toName.str() +
           ")";
}

std::int32_t PhotoLineOf(const TKviste& cave, std::int32_t line) {
    const auto last = static_cast<std::int32_t>(
        std::min<std::int64_t>(cave.LineCount, std::int64_t(cave.Lines.size()) - 1));
    if (line < 1 || line > last)
        return line;
    const str4& name = cave.Lines[static_cast<std::size_t>(line)].ToName;
    std::int32_t first = 0;
    for (std::int32_t i = 1; i <= last; ++i) {
        const Tdatalinje& l = cave.Lines[static_cast<std::size_t>(i)];
        if (l.ToName != name)
            continue;
        if (l.HasPhotos)
            return i;
        if (first == 0)
            first = i;
    }
    return first;
}

void StorePhotos(Tdatalinje& line, const std::vector<std::string>& names) {
    line.Photos = names;
    line.PhotoCount = static_cast<std::int32_t>(names.size());
    line.HasPhotos = line.PhotoCount > 0;
}

std::vector<std::string> PhotoNameCandidates(const std::string& stored,
                                             const std::string& dataDir) {
    std::vector<std::string> out;
    std::string name = stored;
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty() || name.back() == '/')
        return out;
    auto add = [&out](const std::string& path) {
        if (std::find(out.begin(), out.end(), path) == out.end())
            out.push_back(path);
    };
    add(name);
    if (dataDir.empty())
        return out;
    // A drive letter means nothing here; what follows it is tried below the data folder.
    std::string relative = name;
    const bool drive = HasDrive(relative);
    if (drive)
        relative.erase(0, 2);
    if (!relative.empty() && relative.front() == '/') {
        if (drive)
            relative.erase(0, relative.find_first_not_of('/'));
        else
            relative.clear();
    }
    if (!relative.empty())
        add(JoinPath(dataDir, relative));
    add(JoinPath(dataDir, PhotoFileNamePart(name)));
    return out;
}

std::string ResolvePhotoName(const std::string& stored, const std::string& dataDir) {
    const std::vector<std::string> candidates = PhotoNameCandidates(stored, dataDir);
    for (const std::string& c : candidates)
        if (IsFile(c))
            return c;
    if (candidates.empty() || dataDir.empty())
        return {};
    const std::string wanted = PhotoFileNamePart(candidates.front());
    std::error_code ec;
    for (fs::directory_iterator it(dataDir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string file = it->path().filename().string();
        if (SameIgnoringAsciiCase(file, wanted) && IsFile(it->path().string()))
            return it->path().string();
    }
    return {};
}

std::string PictureFilter(const std::vector<std::string>& formats) {
    const std::set<std::string> sorted(formats.begin(), formats.end());
    auto patterns = [](const std::string& ext) {
        const std::string upper = AsciiUpper(ext);
        return upper == ext ? "*." + ext : "*." + ext + " *." + upper;
    };
    std::string all, each;
    for (const std::string& f : sorted) {
        if (f.empty())
            continue;
        all += (all.empty() ? "" : " ") + patterns(f);
        each += ";;" + AsciiUpper(f) + " (" + patterns(f) + ")";
    }
    return "All pictures (" + all + ")" + each;
}
