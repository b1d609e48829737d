// Shared pieces of the benchmark programs.
#pragma once

#include "model/FileIO.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

// A directory of its own under the temporary directory, removed at the end of the run.
class BenchDir {
public:
    BenchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvbench.XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        path_ = pattern;
    }
    ~BenchDir() { std::filesystem::remove_all(path_); }
    BenchDir(const BenchDir&) = delete;
    BenchDir& operator=(const BenchDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return JoinPath(path_, name); }

private:
    std::string path_;
};
