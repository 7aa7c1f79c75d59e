// Locked memory for secrets: each passphrase and secret scalar on zeroed
// pages of its own, locked while it lives (natively the kernel's own count,
// VmLck, shows it), unlocked when it goes without unlocking its neighbours.
#include "keys/locked_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>

#include "keys/passphrase.h"

// The system's count of locked pages is read natively; AddressSanitizer
// answers mlock with success and locks nothing, so beside it only what the
// program itself can see is checked.
#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__)
#define VWG_COUNTS_LOCKED_PAGES 1
#else
#define VWG_COUNTS_LOCKED_PAGES 0
#endif

namespace {

constexpr uintptr_t kPage = 4096;

uintptr_t PageOf(const void* p) { return reinterpret_cast<uintptr_t>(p) / kPage; }

bool AllZero(const uint8_t* p, size_t n) {
  return std::all_of(p, p + n, [](uint8_t b) { return b == 0; });
}

#if VWG_COUNTS_LOCKED_PAGES
// The kilobytes of this process's memory that are locked.
long LockedKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmLck:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}
#endif

TEST(LockedMemory, SecretsHaveZeroedLockedPagesOfTheirOwn) {
#if VWG_COUNTS_LOCKED_PAGES
  const long before = LockedKilobytes();
  ASSERT_GE(before, 0);
#endif
  {
    const Passphrase first;
    const LockedScalar key;
    EXPECT_TRUE(key.locked());
    EXPECT_EQ(reinterpret_cast<uintptr_t>(first.data()) % kPage, 0u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(key.get()) % kPage, 0u);
    EXPECT_NE(PageOf(first.data()), PageOf(key.get()));
    EXPECT_TRUE(AllZero(first.data(), kMaxPassphraseBytes));
    EXPECT_TRUE(AllZero(reinterpret_cast<const uint8_t*>(key.get()), kScalarWords * 2));
#if VWG_COUNTS_LOCKED_PAGES
    EXPECT_GE(LockedKilobytes(), before + 8);
    {
      const Passphrase second;
      EXPECT_GE(LockedKilobytes(), before + 12);
    }
    EXPECT_GE(LockedKilobytes(), before + 8) << "the first two stay locked when the third goes";
#endif
    const LockedMemory large(3 * kPage + 1);
    EXPECT_TRUE(large.locked());
    EXPECT_EQ(large.size(), 3 * kPage + 1);
    EXPECT_TRUE(AllZero(large.data(), large.size()));
  }
#if VWG_COUNTS_LOCKED_PAGES
  EXPECT_EQ(LockedKilobytes(), before) << "everything is unlocked at the end";
#endif
}

// The tray program's secret key is a global array: its pages are locked
// where it is, for the whole run.
uint8_t Global[kPage + 100];

TEST(LockedMemory, PagesOfAnyObjectCanBeLockedAndUnlocked) {
#if VWG_COUNTS_LOCKED_PAGES
  const long before = LockedKilobytes();
#endif
  // Any kPage + 1 bytes touch two pages: both are locked.
  ASSERT_TRUE(LockPages(Global + 50, kPage + 1));
#if VWG_COUNTS_LOCKED_PAGES
  EXPECT_GE(LockedKilobytes(), before + 8);
#endif
  UnlockPages(Global + 50, kPage + 1);
#if VWG_COUNTS_LOCKED_PAGES
  EXPECT_EQ(LockedKilobytes(), before);
#endif
}

}  // namespace
