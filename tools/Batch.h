// The processing chain without windows, as a function so tests can run it.
#pragma once

#include <ostream>

int RunBatch(int argc, char** argv, std::ostream& out, std::ostream& err);
