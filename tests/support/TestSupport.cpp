// Shared test helpers.
#include "support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "kvtestXXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("cannot create a temporary directory");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& name) const {
    return (fs::path(path_) / name).string();
}

std::string TestDataPath(const std::string& relative) {
    return (fs::path(KV_TEST_DATA) / relative).string();
}

std::string SourcePath(const std::string& relative) {
    return (fs::path(KV_SOURCE_DIR) / relative).string();
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

static std::string Visible(const std::string& line) {
    std::string r;
    for (unsigned char c : line) {
        if (c == '\r')
            r += "\\r";
        else if (c == '\n')
            r += "\\n";
        else if (c < 32 || c >= 127) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            r += buf;
        } else
            r += static_cast<char>(c);
    }
    return r;
}

::testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual) {
    if (expected == actual)
        return ::testing::AssertionSuccess();
    std::size_t pos = 0;
    while (pos < expected.size() && pos < actual.size() && expected[pos] == actual[pos])
        ++pos;
    std::size_t line = 1, lineStart = 0;
    for (std::size_t k = 0; k < pos; ++k)
        if (expected[k] == '\n') {
            ++line;
            lineStart = k + 1;
        }
    auto lineOf = [&](const std::string& s) {
        if (lineStart >= s.size())
            return std::string("<end of file>");
        std::size_t end = s.find('\n', lineStart);
        end = end == std::string::npos ? s.size() : end + 1;
        return Visible(s.substr(lineStart, end - lineStart));
    };
    return ::testing::AssertionFailure()
           << "first difference at line " << line << ", column " << (pos - lineStart + 1)
           << " (sizes " << expected.size() << " expected, " << actual.size() << " actual)\n"
           << "expected: " << lineOf(expected) << "\n"
           << "actual:   " << lineOf(actual);
}

::testing::AssertionResult MatchesGolden(const std::string& goldenRelative,
                                         const std::string& actualPath) {
    const std::string golden = TestDataPath(goldenRelative);
    const std::string actual = ReadFileBytes(actualPath);
    const char* update = std::getenv("KV_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        fs::create_directories(fs::path(golden).parent_path());
        WriteFileBytes(golden, actual);
        return ::testing::AssertionSuccess();
    }
    if (!fs::exists(golden))
        return ::testing::AssertionFailure() << "missing golden file " << golden;
    auto r = SameBytes(ReadFileBytes(golden), actual);
    if (!r)
        r << "\n(golden " << goldenRelative << ")";
    return r;
}

void PrintTo(const str4& s, std::ostream* os) {
    *os << s;
}
void PrintTo(const TVec3& v, std::ostream* os) {
    *os << v;
}
