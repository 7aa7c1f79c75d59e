// The choice between two builds of the constant-time field and curve
// arithmetic behind FieldMul, FieldInverse and PointMultiply
// (crypto/ladder.h): one on the CPU's carry-less multiplication (PCLMULQDQ,
// found through CPUID, in 32-bit programs too) and a portable one. The
// instruction path is chosen when the CPU has it; tests select each path in
// turn to check both. The choice follows the CPU alone, never a value.
#pragma once

#include <cstdint>

#include "crypto/curve.h"

// CT: each entry, as crypto/field.h and crypto/curve.h state for the
// function it stands behind.
struct FastArith {
  void (*fieldMul)(const uint16_t* a, const uint16_t* b, uint16_t* out);
  void (*fieldInverse)(const uint16_t* a, uint16_t* out);
  void (*pointMultiply)(const uint16_t* k, const CurvePoint& p, CurvePoint& r);
};

enum class ClmulPath { kInstruction, kPortable };

extern const FastArith PortableArith;
// Null when the program was not built for x86.
// CT: no input.
const FastArith* InstructionArith();

// CPUID reports PCLMULQDQ (and SSE2), and the program was built for x86.
// CT: no input.
bool HasClmulInstruction();

// The instruction path when the CPU has it, else the portable one.
// CT: no input; the first call asks CPUID.
const FastArith& ActiveArith();
ClmulPath ActiveClmulPath();
// For tests and benchmarks; kInstruction is ignored on a CPU without it.
// Returns the path now in force.
// CT: no secret input.
ClmulPath SelectClmulPath(ClmulPath path);
