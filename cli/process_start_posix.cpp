#include "cli/process_start.h"

// Standard input and output are bytes already, and libraries load from the
// system's paths only.
void PrepareProcess() {}
