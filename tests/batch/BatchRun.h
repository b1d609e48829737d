// Runs kvistrel-batch in the test's process with the given arguments.
#pragma once

#include "Batch.h"

#include <sstream>
#include <string>
#include <vector>

struct BatchRun {
    int Status;
    std::string Out, Err;
};

inline BatchRun Batch(std::vector<std::string> args) {
    args.insert(args.begin(), "kvistrel-batch");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    std::ostringstream out, err;
    const int status = RunBatch(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}
