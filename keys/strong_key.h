// A key pair's strong key: a second public key, derived from the secret
// scalar, that only the strong message format (?VW3:) multiplies with. The
// old block format hands anyone who guesses one of its messages the shared
// element of the pair's public points; keys that format never touches keep
// that from opening or forging strong messages.
//
//   s  = the secret scalar as a 58-byte big-endian integer
//   s2 = the first 56 bytes of HKDF-SHA256(salt empty, IKM = s,
//        info = "Vaultwing strong key"), big-endian; a key whose s2 is 0
//        has no strong key (one in 2^448)
//   P2 = s2 * BasePoint
//
// Since s2 < 2^448 lies below the base point's order, P2 is never the point
// at infinity. Public key files carry strong keys in a trailer after their
// entries (keys/formats/key_format.h); a key's ID and fingerprint are taken
// over its strong key when it has one.
#pragma once

#include <cstdint>

#include "crypto/curve.h"
#include "keys/key_records.h"

constexpr int kStrongScalarBytes = 56;

// One slot of the public key file's trailer, in its layout: present is 1 with
// the point in x and y, or 0 with every word zero (no strong key known).
struct StrongKey {
  uint16_t present;
  uint16_t x[kElementWords];
  uint16_t y[kElementWords];
};
static_assert(sizeof(StrongKey) == 122);

// The absent strong key, all zero.
extern const StrongKey kNoStrongKey;

// s2 of secret (a valid secret key) into strong, as a scalar (bit count and
// one bit per word). True, or false when s2 is 0 or the system's HMAC
// failed (strong is then zero). Time and memory accesses do not depend on
// the secret.
bool DeriveStrongScalar(const uint16_t* secret, uint16_t strong[kScalarWords]);

// The strong key of secret, s2 * BasePoint, into key. True, or false as
// DeriveStrongScalar (key is then kNoStrongKey). Costs a scalar
// multiplication.
bool StrongKeyOf(const uint16_t* secret, StrongKey& key);

// The strong key's point, and a strong key of a point (present, canonical
// coordinates).
void StrongKeyPoint(const StrongKey& key, CurvePoint& p);
StrongKey StrongKeyAt(const CurvePoint& p);

// All 122 bytes equal: both absent, or both the same point.
bool SameStrongKey(const StrongKey& a, const StrongKey& b);

// The cheap check of a trailer slot: absent and all zero, or present with a
// point that IsValidPublicPoint accepts; with full set, also of the base
// point's prime order (IsUsablePublicPoint).
bool IsValidStrongKey(const StrongKey& key, bool full);

// True when key and strong are secret's: the point is secret * BasePoint
// and the strong key, when present, is secret's strong key. The secret key
// file and the ring's entry 0 are then one pair. Costs one scalar
// multiplication, two when strong is present.
bool IsKeyPairOf(const uint16_t* secret, const PublicKeyRecord& key, const StrongKey& strong);

// The scalar of n big-endian bytes (n at most 58) into words 1..8n, the bit
// count into word 0, and the 58 big-endian bytes of a scalar's value (the
// words up to its bit count).
// CT: both; n is public.
void ScalarFromBigEndian(const uint8_t* bytes, int n, uint16_t scalar[kScalarWords]);
void ScalarToBigEndian(const uint16_t* scalar, uint8_t out[kScalarBytes]);
