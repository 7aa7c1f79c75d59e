// The instruction path. This file alone is compiled with -mpclmul (and
// -msse2 in 32-bit builds), and runs only after CPUID has been asked; the
// lane type lives in an anonymous namespace so that none of the code built
// from the shared templates with these options can be picked by the linker
// for the portable path.
#include "crypto/dispatch.h"

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>

#include "crypto/ladder.h"

namespace {

// CT: every member is one or two SSE2 or PCLMULQDQ instructions, whose time
// does not depend on the operands.
struct ClmulX86 {
  using V = __m128i;

  static V Zero() { return _mm_setzero_si128(); }
  static V Make(uint64_t lo, uint64_t hi) {
    return _mm_set_epi64x(static_cast<long long>(hi), static_cast<long long>(lo));
  }
  static V Broadcast(uint64_t m) { return _mm_set1_epi64x(static_cast<long long>(m)); }
  static V Load(const uint64_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void Store(uint64_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  static V Xor(V a, V b) { return _mm_xor_si128(a, b); }
  static V And(V a, V b) { return _mm_and_si128(a, b); }
  static V Fold(V a) { return _mm_xor_si128(a, _mm_shuffle_epi32(a, 0x4E)); }
  static V SquareLo(V a) { return _mm_clmulepi64_si128(a, a, 0x00); }
  static V SquareHi(V a) { return _mm_clmulepi64_si128(a, a, 0x11); }
  // The templates, too, one wrapper a line.
  // clang-format off
  template <int kSel> static V Clmul(V a, V b) { return _mm_clmulepi64_si128(a, b, kSel); }
  template <int kBits> static V ShiftLeft32(V a) { return _mm_slli_epi32(a, kBits); }
  template <int kBits> static V ShiftRight32(V a) { return _mm_srli_epi32(a, kBits); }
  template <int kBytes> static V ShiftLeftBytes(V a) { return _mm_slli_si128(a, kBytes); }
  template <int kBytes> static V ShiftRightBytes(V a) { return _mm_srli_si128(a, kBytes); }
  // clang-format on
};

constexpr FastArith kInstructionArith = MakeFastArith<ClmulX86>();

}  // namespace

const FastArith* InstructionArith() { return &kInstructionArith; }

#else

const FastArith* InstructionArith() { return nullptr; }

#endif
