// Arithmetic in GF((2^16)^29) = GF(2^16)[t] / (t^29 + t^2 + 1).
//
// A FieldElement is 30 words: word 0 is the length (0 for the zero element,
// 29 for every other), words 1..29 the coefficients of t^0..t^28. The zero
// element keeps all its coefficient words 0, so code that reads every word
// regardless of the length stays right. Products are formed unreduced in 58
// words (length 57, coefficients of t^0..t^56) and reduced in place, so every
// buffer that receives a product or a square must hold at least 58 words;
// temporaries are given kTempWords.
//
// Nothing here allocates or fails, and every operation is reentrant.
// FieldMul, FieldSquare and FieldInverse run in time independent of the
// operands' values (they multiply message blocks by the secret message key):
// carry-less products instead of the GF(2^16) tables, and inversion by a fixed
// exponentiation chain instead of Euclid; crypto/dispatch.h picks the CPU
// instruction or the portable form. FieldEqual alone is variable-time. Their results are those of the table
// products and Euclid's algorithm, which the tests keep as the reference
// (tests/crypto/literal.h), together with the tables and the reduction and
// polynomial steps that only that variable-time reference needs.
#pragma once

#include <cstdint>

constexpr int kFieldDegree = 29;
constexpr int kElementWords = 30;
constexpr int kProductWords = 58;
constexpr int kTempWords = 60;

// A length word no element can have; marks the point at infinity.
constexpr uint16_t kInfinityLength = 777;

extern const uint16_t FieldZero[kElementWords];

// out = a + b. Reads all 29 coefficient words of both operands; out may be
// either operand. The only operation that can produce the zero element.
// CT: the length word is set by mask.
void FieldAdd(const uint16_t* a, const uint16_t* b, uint16_t* out);

// All 30 words.
// CT: yes.
void FieldCopy(uint16_t* dst, const uint16_t* src);

// True when all 30 words, the length word included, are equal.
// VAR: a memcmp, which stops at the first difference; for public elements
// only (points' coordinates and the constants they are compared with).
bool FieldEqual(const uint16_t* a, const uint16_t* b);

// out = a * b; out holds at least 58 words and is distinct from a and b.
// CT: in both operands, on either carry-less path.
void FieldMul(const uint16_t* a, const uint16_t* b, uint16_t* out);

// out = a^2; out holds at least 58 words and is distinct from a.
// CT: bits spread and folded, no product.
void FieldSquare(const uint16_t* a, uint16_t* out);

// out = a^-1 for nonzero a (length 29); out may be a. The zero element has
// no inverse and must not be passed (it gives the zero element).
// CT: one fixed exponentiation chain.
void FieldInverse(const uint16_t* a, uint16_t* out);
