// Keys and points for the key tests: random key pairs, and points that a
// public key file could carry but that no key generation produces.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "crypto/curve.h"
#include "keys/key_records.h"
#include "tests/support/test_seed.h"

struct KeyPair {
  uint16_t secret[kScalarWords];
  PublicKeyRecord pub;
  CurvePoint point;
};

// A new key pair from the system's random source.
void MakeKeyPair(KeyPair& k, const char* id = "test");

// A point with coordinates in the subfield GF(2^16): on the curve, x != 0,
// so it passes the cheap check, but its order divides 65272.
CurvePoint SmallOrderPoint();

// (0, sqrt b), the point of order 2.
CurvePoint OrderTwoPoint();

// A record of the given ID and point, spare word 0.
PublicKeyRecord MakeRecord(const char* id, const CurvePoint& p);

// Hex of bytes, for readable failures.
std::string Hex(const void* data, size_t n);
