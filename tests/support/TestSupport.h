// Shared test helpers: temporary directories, file access and byte-exact golden comparison.
#pragma once

#include "model/CaveModel.h"

#include <gtest/gtest.h>

#include <string>

inline constexpr double kPosTol = 1e-9; // metres

// A fresh directory under the system's temporary directory, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const;

private:
    std::string path_;
};

std::string TestDataPath(const std::string& relative); // under tests/data
std::string SourcePath(const std::string& relative);   // under the project root
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Byte-exact comparison that names the first differing line and column and shows both lines.
::testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual);
// Compares a produced file with a golden file under tests/data. With KV_UPDATE_GOLDEN=1 in the
// environment the golden file is rewritten instead (for deliberate format changes only).
::testing::AssertionResult MatchesGolden(const std::string& goldenRelative,
                                         const std::string& actualPath);

void PrintTo(const str4& s, std::ostream* os);
void PrintTo(const TVec3& v, std::ostream* os);
