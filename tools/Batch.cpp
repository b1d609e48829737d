// Placeholder.
#include "Batch.h"
int RunBatch(int, char**, std::ostream&, std::ostream&) { return 0; }
