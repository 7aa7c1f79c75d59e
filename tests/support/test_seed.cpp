#include "tests/support/test_seed.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

uint32_t TestSeed() {
  static const uint32_t seed = [] {
    const char* env = std::getenv("VWG_SEED");
    const uint32_t s = env ? static_cast<uint32_t>(std::strtoul(env, nullptr, 0))
                           : static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::printf("random seed %u (replay with VWG_SEED=%u)\n", s, s);
    return s;
  }();
  return seed;
}
