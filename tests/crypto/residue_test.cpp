// Secrets left behind on the stack. The field operations handle message keys
// and plain text (a block times the key, the key's inverse); once they
// return, nothing of their operands may remain in the stack memory their
// frames used. The stack below the test is painted, the operation runs,
// and the same stretch is searched for a run of the operand's bytes.
//
// Reading memory that no live object owns is beyond the language, so this
// is for plain builds: a sanitizer moves frames and objects elsewhere.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "crypto/dispatch.h"
#include "crypto/field.h"

#if defined(__SANITIZE_ADDRESS__)
#define VWG_STACK_SCAN 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VWG_STACK_SCAN 0
#endif
#endif
#ifndef VWG_STACK_SCAN
#define VWG_STACK_SCAN 1
#endif

namespace {

// Deeper than the operations' frames, which hold a few kilobytes.
constexpr size_t kScanBytes = 64 * 1024;

__attribute__((noinline)) void PaintStack() {
  [[maybe_unused]] volatile uint8_t area[kScanBytes];
  for (size_t i = 0; i < kScanBytes; ++i) area[i] = 0xEE;
}

// Whether the stack below the caller holds needle.
__attribute__((noinline)) bool StackHolds(const std::vector<uint8_t>& needle) {
  volatile uint8_t area[kScanBytes];
  std::vector<uint8_t> copy(kScanBytes);
  for (size_t i = 0; i < kScanBytes; ++i) copy[i] = area[i];
  for (size_t i = 0; i + needle.size() <= kScanBytes; ++i)
    if (std::memcmp(copy.data() + i, needle.data(), needle.size()) == 0) return true;
  return false;
}

// An element with distinct, recognisable coefficients.
void Marked(uint16_t seed, uint16_t* e) {
  std::memset(e, 0, kTempWords * sizeof(uint16_t));
  e[0] = kFieldDegree;
  for (int i = 1; i <= kFieldDegree; ++i) e[i] = static_cast<uint16_t>(seed + 0x1357 * i);
}

// Coefficients first..first+count-1 as the operations lay them out: in
// 32-bit slots (the products) or packed 16-bit words (the change of basis).
std::vector<uint8_t> Slots(const uint16_t* e, int first, int count) {
  std::vector<uint8_t> bytes;
  for (int i = first; i < first + count; ++i) {
    for (uint8_t b : {uint8_t(e[i]), uint8_t(e[i] >> 8), uint8_t{0}, uint8_t{0}}) bytes.push_back(b);
  }
  return bytes;
}
std::vector<uint8_t> Packed(const uint16_t* e, int first, int count) {
  std::vector<uint8_t> bytes;
  for (int i = first; i < first + count; ++i) {
    bytes.push_back(uint8_t(e[i]));
    bytes.push_back(uint8_t(e[i] >> 8));
  }
  return bytes;
}

class Residue : public ::testing::TestWithParam<ClmulPath> {
 protected:
  void SetUp() override {
    if (!VWG_STACK_SCAN) GTEST_SKIP() << "stack layout differs under the sanitizers";
    original_ = ActiveClmulPath();
    if (SelectClmulPath(GetParam()) != GetParam()) GTEST_SKIP() << "no carry-less instruction here";
  }
  void TearDown() override { SelectClmulPath(original_); }

 private:
  ClmulPath original_ = ClmulPath::kPortable;
};

TEST_P(Residue, ProductLeavesNoOperandBehind) {
  uint16_t key[kTempWords], block[kTempWords], out[kTempWords];
  Marked(0xA5C3, key);
  Marked(0x3C5A, block);
  PaintStack();
  FieldMul(key, block, out);
  EXPECT_FALSE(StackHolds(Slots(key, 3, 4)));
  EXPECT_FALSE(StackHolds(Slots(block, 3, 4)));
}

TEST_P(Residue, InverseLeavesNeitherKeyNorInverseBehind) {
  uint16_t key[kTempWords], inverse[kTempWords];
  Marked(0x6B29, key);
  PaintStack();
  FieldInverse(key, inverse);
  EXPECT_FALSE(StackHolds(Packed(key, 3, 6)));
  EXPECT_FALSE(StackHolds(Packed(inverse, 3, 6)));
}

INSTANTIATE_TEST_SUITE_P(BothPaths, Residue, ::testing::Values(ClmulPath::kInstruction, ClmulPath::kPortable),
                         [](const auto& info) {
                           return info.param == ClmulPath::kInstruction ? "Instruction" : "Portable";
                         });

}  // namespace
