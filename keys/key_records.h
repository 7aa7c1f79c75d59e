// The in-memory key records: public key records with their user IDs, and
// key-pair generation into the caller's storage.
//
// A PublicKeyRecord has the same 142-byte layout as an entry of a public key
// file (only the ID is stored scrambled there), but files are still read and
// written field by field; the layout is fixed here so that the record can be
// copied whole and compared byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>

#include "crypto/curve.h"

constexpr int kUserIdBytes = 20;
constexpr int kMaxRingKeys = 1000;
constexpr int kPathChars = 260;

struct PublicKeyRecord {
  char userId[kUserIdBytes];  // NUL-padded; no terminator when 20 characters long
  uint16_t x[kElementWords];
  uint16_t spare;  // carried unchanged by every reader and writer
  uint16_t y[kElementWords];
};
static_assert(sizeof(PublicKeyRecord) == 142);
static_assert(offsetof(PublicKeyRecord, x) == 20);
static_assert(offsetof(PublicKeyRecord, spare) == 80);
static_assert(offsetof(PublicKeyRecord, y) == 82);

// A new key pair in caller storage: a scalar drawn from the operating system's
// cryptographic random source (getrandom / BCryptGenRandom), uniform among
// 2 .. 2^464 - 1 (a multiple of the base point's order, which would give the
// point at infinity, is drawn again), and its public point with spare word 0
// and the given user ID (null: "Owner"). True, or false when the random
// source fails, with the system's last error saying why.
bool GenerateKeyPair(uint16_t* secret, PublicKeyRecord& pub, const char* userId);

// The draw of GenerateKeyPair from 58 random bytes: the scalar of their
// low 464 bits and its public point (spare word 0, no user ID). True when
// the pair is usable, false when it must be drawn again (value below 2, or
// a multiple of the base point's order).
// CT: in the bytes; only the verdict tells anything about them.
constexpr int kScalarBytes = kMaxScalarBits / 8;
bool KeyPairFromRandomBytes(const uint8_t bytes[kScalarBytes], uint16_t* secret, PublicKeyRecord& pub);

// True when key holds secret's public point, secret * BasePoint: the secret
// key file and the ring's entry 0 are one pair. Two files of different pairs
// would give messages that nobody can read. Costs a scalar multiplication.
bool IsPublicKeyOf(const uint16_t* secret, const PublicKeyRecord& key);

// At most 20 characters of id, NUL-padded to 20 bytes.
void SetUserId(PublicKeyRecord& r, const char* id);
// At most 20 characters of the record's ID and a terminating NUL.
void GetUserId(const PublicKeyRecord& r, char out[kUserIdBytes + 1]);

// True when the two records hold the same point, whatever their user IDs.
bool SamePoint(const PublicKeyRecord& a, const PublicKeyRecord& b);

// The record's point as a CurvePoint (the words above each coordinate are 0),
// and the other way round (canonical coordinates only).
void RecordPoint(const PublicKeyRecord& r, CurvePoint& p);
void SetRecordPoint(PublicKeyRecord& r, const CurvePoint& p);
