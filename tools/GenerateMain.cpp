// kvistrel-gen: writes a generated survey file for benchmarks and stress tests.
#include "SurveyGenerator.h"

#include "model/FileIO.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "Usage: kvistrel-gen [options]\n"
    "Writes a generated survey data file (.grt) to FILE or to standard output.\n"
    "\n"
    "  --shots N         data lines, the zero-length start shot included (default 1000)\n"
    "  --loops SHARE     share of shots that close a loop, 0 .. 1 (default 0.02)\n"
    "  --scans SHARE     share of shots with a cross-section scan (default 0.05)\n"
    "  --comments SHARE  share of shots with a comment (default 0.05)\n"
    "  --photos SHARE    share of shots with a photo list (default 0.01)\n"
    "  --branches SHARE  share of shots that start a side passage (default 0.02)\n"
    "  --scan-points N   points per scan, 1 .. 1000 (default 12)\n"
    "  --seed S          random seed, an unsigned integer (default 1)\n"
    "  --grads           readings in grads (instrument 400 400) instead of degrees\n"
    "  -o FILE           output file (default: standard output)\n"
    "  --help            this text\n";

int BadArguments(const std::string& message) {
    std::cerr << "kvistrel-gen: " << message << "\n"
              << "Try 'kvistrel-gen --help'.\n";
    return 2;
}

template <typename T> bool ParseWhole(std::string_view text, T& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

} // namespace

int main(int argc, char** argv) {
    TGeneratorOptions options;
    std::string outFile;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--grads") {
            options.Grads = true;
            continue;
        }
        const bool takesValue = arg == "--shots" || arg == "--loops" || arg == "--scans" ||
                                arg == "--comments" || arg == "--photos" || arg == "--branches" ||
                                arg == "--scan-points" || arg == "--seed" || arg == "-o";
        if (!takesValue)
            return BadArguments("unknown option '" + std::string(arg) + "'");
        if (i + 1 >= argc)
            return BadArguments("option '" + std::string(arg) + "' needs a value");
        const std::string_view value = argv[++i];
        const std::string quoted = "'" + std::string(value) + "'";
        if (arg == "-o") {
            if (value.empty())
                return BadArguments("-o needs a file name");
            outFile = value;
        } else if (arg == "--shots") {
            if (!ParseWhole(value, options.Shots) || options.Shots < 1 ||
                options.Shots > kMaxGeneratedShots)
                return BadArguments("--shots wants a whole number from 1 to " +
                                    std::to_string(kMaxGeneratedShots) + ", not " + quoted);
        } else if (arg == "--scan-points") {
            if (!ParseWhole(value, options.ScanPoints) || options.ScanPoints < 1 ||
                options.ScanPoints > kMaxScanPoints)
                return BadArguments("--scan-points wants a whole number from 1 to " +
                                    std::to_string(kMaxScanPoints) + ", not " + quoted);
        } else if (arg == "--seed") {
            if (!ParseWhole(value, options.Seed))
                return BadArguments("--seed wants an unsigned whole number, not " + quoted);
        } else {
            double share = 0;
            if (!ParseWhole(value, share) || !(share >= 0 && share <= 1))
                return BadArguments(std::string(arg) + " wants a share from 0 to 1, not " + quoted);
            if (arg == "--loops")
                options.LoopShare = share;
            else if (arg == "--scans")
                options.ScanShare = share;
            else if (arg == "--comments")
                options.CommentShare = share;
            else if (arg == "--photos")
                options.PhotoShare = share;
            else
                options.BranchShare = share;
        }
    }

    std::string text;
    try {
        text = GenerateSurvey(options);
    } catch (const std::exception& e) {
        return BadArguments(e.what());
    }

    if (outFile.empty()) {
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
            std::fflush(stdout) != 0) {
            std::cerr << "kvistrel-gen: cannot write to standard output\n";
            return 1;
        }
        return 0;
    }
    std::string reason;
    if (!WriteFileAtomically(outFile, text, reason, false)) {
        std::cerr << "kvistrel-gen: cannot write " << outFile << ": " << reason << "\n";
        return 1;
    }
    return 0;
}
