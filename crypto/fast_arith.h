// The fast, constant-time field and curve arithmetic behind FieldMul,
// FieldInverse and PointMultiply, in two builds of the same code: one on the
// CPU's carry-less multiplication (PCLMULQDQ, found through CPUID, in 32-bit
// programs too) and a portable one. The instruction path is chosen when the
// CPU has it; tests select each path in turn to check both.
#pragma once

#include <cstdint>

#include "crypto/curve.h"

struct FastArith {
  void (*fieldMul)(const uint16_t* a, const uint16_t* b, uint16_t* out);
  void (*fieldInverse)(const uint16_t* a, uint16_t* out);
  void (*pointMultiply)(const uint16_t* k, const CurvePoint& p, CurvePoint& r);
};

enum class ClmulPath { kInstruction, kPortable };

extern const FastArith PortableArith;
// Null when the program was not built for x86.
const FastArith* InstructionArith();

// CPUID reports PCLMULQDQ (and SSE2), and the program was built for x86.
bool HasClmulInstruction();

// The instruction path when the CPU has it, else the portable one.
const FastArith& ActiveArith();
ClmulPath ActiveClmulPath();
// For tests and benchmarks; kInstruction is ignored on a CPU without it.
// Returns the path now in force.
ClmulPath SelectClmulPath(ClmulPath path);
