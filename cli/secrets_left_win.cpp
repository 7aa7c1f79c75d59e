#include "cli/secrets_left.h"

// No look from inside on Windows: see cli/secrets_left.h.
int CheckSecretsLeft(int status) { return status; }
