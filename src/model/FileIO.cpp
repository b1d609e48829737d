// Whole-file reading and atomic writing.
#include "model/FileIO.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

bool ReadWholeFile(const std::string& path, std::string& content, std::string& reason) {
    content.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        reason = S_ISDIR(st.st_mode) ? "is a directory" : "is not a regular file";
        ::close(fd);
        return false;
    }
    content.reserve(static_cast<std::size_t>(st.st_size) + 1);
    AdviseHugePages(content.data(), content.capacity());
    content.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    for (;;) {
        if (got == content.size())
            content.resize(got + 65536); // the file may have grown since fstat
        const ssize_t n = ::read(fd, content.data() + got, content.size() - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            reason = std::strerror(errno);
            ::close(fd);
            content.clear();
            return false;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    content.resize(got);
    ::close(fd);
    return true;
}

TAtomicFile::~TAtomicFile() {
    Discard();
}

bool TAtomicFile::Open(const std::string& path, std::string& reason) {
    Discard();
    path_ = path;
    tmp_ = path + ".kvtmpXXXXXX";
    fd_ = ::mkstemp(tmp_.data());
    if (fd_ < 0) {
        reason = std::strerror(errno);
        return false;
    }
    // Keep the permissions an existing file had; a new file gets the usual 0666 & ~umask.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        ::fchmod(fd_, old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_, 0666 & ~mask);
    }
    return true;
}

bool TAtomicFile::Write(const char* p, std::size_t left, std::string& reason) {
    if (fd_ < 0) {
        reason = "file is not open";
        return false;
    }
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            reason = std::strerror(errno);
            Discard();
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool TAtomicFile::Commit(bool sync, std::string& reason) {
    if (fd_ < 0) {
        reason = "file is not open";
        return false;
    }
    if (sync && ::fsync(fd_) != 0 && errno != EINVAL) {
        reason = std::strerror(errno);
        Discard();
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        reason = std::strerror(errno);
        ::unlink(tmp_.c_str());
        return false;
    }
    if (::rename(tmp_.c_str(), path_.c_str()) != 0) {
        reason = std::strerror(errno);
        ::unlink(tmp_.c_str());
        return false;
    }
    return true;
}

void TAtomicFile::Discard() {
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(tmp_.c_str());
}

bool WriteFileAtomically(const std::string& path, const std::string& content, std::string& reason,
                         bool sync) {
    TAtomicFile file;
    return file.Open(path, reason) && file.Write(content.data(), content.size(), reason) &&
           file.Commit(sync, reason);
}

std::string ChangeExtension(const std::string& path, const std::string& ext) {
    fs::path p(path);
    p.replace_extension(ext);
    return p.string();
}

std::string DirectoryOf(const std::string& path) {
    fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    return (fs::path(dir) / name).string();
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

void AdviseHugePages(const void* data, std::size_t bytes) {
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    if (bytes < 2 * kHuge)
        return;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kHuge - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}
