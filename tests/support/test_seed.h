// The seed of the randomized tests: VWG_SEED from the environment, else the
// clock. It is printed once, so that a failing run can be replayed.
#pragma once

#include <cstdint>

uint32_t TestSeed();
