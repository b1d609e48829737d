// Whole-file reading and safe writing shared by every reader and writer.
#pragma once

#include <cstddef>
#include <string>

// Reads the file's bytes. False with a reason (missing, a directory, unreadable).
bool ReadWholeFile(const std::string& path, std::string& content, std::string& reason);

// Writes content to a temporary file beside path and renames it over path once complete,
// so an old file survives a full disk or a crash. False with a reason; the old file is untouched.
// sync flushes the data to the disk before the rename: for the user's survey files, not for
// reports that are rewritten at every processing.
bool WriteFileAtomically(const std::string& path, const std::string& content, std::string& reason,
                         bool sync = true);

// A file written in pieces under a temporary name beside its final name, renamed over it only
// when Commit succeeds: an interrupted or failed write never leaves a partial file there.
class TAtomicFile {
public:
    TAtomicFile() = default;
    ~TAtomicFile(); // discards an uncommitted file
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    bool Open(const std::string& path, std::string& reason);
    bool Write(const char* data, std::size_t size, std::string& reason);
    // sync flushes the data to the disk before the rename.
    bool Commit(bool sync, std::string& reason);
    void Discard();
    bool IsOpen() const { return fd_ >= 0; }

private:
    std::string path_, tmp_;
    int fd_ = -1;
};

// The name with its extension replaced (ext includes the dot: ".krt").
std::string ChangeExtension(const std::string& path, const std::string& ext);
// The directory part of a path, "." when it has none.
std::string DirectoryOf(const std::string& path);
// dir joined with name.
std::string JoinPath(const std::string& dir, const std::string& name);
bool FileExists(const std::string& path);

// Asks the system to back a large buffer that is about to be filled with huge pages: a
// million-shot model otherwise spends most of its reading time in page faults. A hint only.
void AdviseHugePages(const void* data, std::size_t bytes);
