#include "app/read_selection.h"

void ReadSelectedMessages() {}
