// Field and curve arithmetic: the costs that a message key derivation is made of.
#include <benchmark/benchmark.h>

#include <random>

#include "crypto/curve.h"
#include "crypto/dispatch.h"
#include "tests/crypto/gf16.h"
#include "tests/crypto/literal.h"

namespace {

struct Operands {
  uint16_t a[kTempWords] = {}, b[kTempWords] = {}, out[kTempWords] = {};
  Operands() {
    std::mt19937 rng(1);
    a[0] = b[0] = 29;
    for (int i = 1; i <= 29; ++i) {
      a[i] = static_cast<uint16_t>(rng());
      b[i] = static_cast<uint16_t>(rng());
    }
  }
};

// The table product of the literal field arithmetic.
void BM_Gf16Mul(benchmark::State& state) {
  std::mt19937 rng(1);
  uint16_t values[256];
  for (auto& v : values) v = static_cast<uint16_t>(rng());
  uint32_t i = 0;
  uint16_t acc = 1;
  for (auto _ : state) {
    acc ^= Gf16Mul(values[i & 255], values[(i + 77) & 255]);
    ++i;
  }
  benchmark::DoNotOptimize(acc);
}
BENCHMARK(BM_Gf16Mul);

void BM_FieldMul(benchmark::State& state) {
  Operands o;
  for (auto _ : state) {
    FieldMul(o.a, o.b, o.out);
    benchmark::DoNotOptimize(o.out);
  }
}
BENCHMARK(BM_FieldMul);

void BM_FieldSquare(benchmark::State& state) {
  Operands o;
  for (auto _ : state) {
    FieldSquare(o.a, o.out);
    benchmark::DoNotOptimize(o.out);
  }
}
BENCHMARK(BM_FieldSquare);

void BM_FieldInverse(benchmark::State& state) {
  Operands o;
  for (auto _ : state) {
    FieldInverse(o.a, o.out);
    benchmark::DoNotOptimize(o.out);
  }
}
BENCHMARK(BM_FieldInverse);

// The steps of the literal double-and-add.
void BM_PointAdd(benchmark::State& state) {
  CurvePoint twoG, r;
  literal::PointAdd(BasePoint, BasePoint, twoG);
  for (auto _ : state) {
    literal::PointAdd(BasePoint, twoG, r);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_PointAdd);

void BM_PointDouble(benchmark::State& state) {
  CurvePoint r;
  for (auto _ : state) {
    literal::PointAdd(BasePoint, BasePoint, r);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_PointDouble);

// A random full-length 464-bit scalar, as key generation makes them.
struct BenchScalar {
  uint16_t k[kScalarWords] = {kMaxScalarBits};
  BenchScalar() {
    std::mt19937 rng(7);
    for (int i = 1; i <= kMaxScalarBits; ++i) k[i] = rng() & 1;
    k[kMaxScalarBits] = 1;
  }
};

// The fast path as the program runs it (the CPU instruction when present).
void BM_PointMultiply(benchmark::State& state) {
  const BenchScalar s;
  CurvePoint r;
  for (auto _ : state) {
    PointMultiply(s.k, BasePoint, r);
    benchmark::DoNotOptimize(r);
  }
  state.SetLabel("464-bit scalar");
}
BENCHMARK(BM_PointMultiply)->Unit(benchmark::kMillisecond);

// The portable constant-time path, for CPUs without carry-less multiplication.
void BM_PointMultiplyPortable(benchmark::State& state) {
  const BenchScalar s;
  const ClmulPath before = ActiveClmulPath();
  SelectClmulPath(ClmulPath::kPortable);
  CurvePoint r;
  for (auto _ : state) {
    PointMultiply(s.k, BasePoint, r);
    benchmark::DoNotOptimize(r);
  }
  SelectClmulPath(before);
}
BENCHMARK(BM_PointMultiplyPortable)->Unit(benchmark::kMillisecond);

// The affine double-and-add with table products, as first written.
void BM_PointMultiplyLiteral(benchmark::State& state) {
  const BenchScalar s;
  CurvePoint r;
  for (auto _ : state) {
    literal::PointMultiply(s.k, BasePoint, r);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_PointMultiplyLiteral)->Unit(benchmark::kMillisecond);

}  // namespace
