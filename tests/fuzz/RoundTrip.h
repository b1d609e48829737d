// The round trip that the fuzz target and the corpus test share: read, process, correct the
// loops, write, read, write, compare.
#pragma once

#include <string>
#include <string_view>

struct TRoundTripResult {
    bool Accepted = false; // the reader took the input: the rest of the chain ran
    bool Same = true;      // the second save gave the bytes of the first
    std::string Problem;   // what went wrong, with the first differing line of both saves
};

// workDir receives the loop correction's files.
TRoundTripResult RunRoundTrip(std::string_view input, const std::string& workDir);
