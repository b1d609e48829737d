// kvistrel-batch: reads, processes and writes survey files without windows.
#include "Batch.h"

#include <iostream>

int main(int argc, char** argv) {
    return RunBatch(argc, argv, std::cout, std::cerr);
}
