// libFuzzer target: any survey the reader takes goes through the whole chain without a fault,
// and saving it, reading the save and saving again gives the same bytes.
#include "RoundTrip.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

const std::string& WorkDir() {
    static const std::string dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvfuzz.XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TRoundTripResult r =
        RunRoundTrip(std::string_view(reinterpret_cast<const char*>(data), size), WorkDir());
    if (!r.Same) {
        std::fprintf(stderr, "round trip broken: %s\n", r.Problem.c_str());
        std::abort();
    }
    return 0;
}
