// Run under valgrind memcheck (CTest: crypto_ctime): the secret scalar, the
// message key and the plaintext are marked undefined, so that memcheck
// reports every branch and every memory address that depends on them. Only
// the verdicts that callers must act on are marked defined again. Both
// carry-less paths are run. Exit status 0 and no memcheck error: constant
// time.
#include <valgrind/memcheck.h>

#include <cstdio>
#include <cstring>

#include "crypto/dispatch.h"
#include "crypto/field.h"
#include "keys/formats/cipher.h"
#include "keys/key_records.h"
#include "keys/shared_element.h"

namespace {

template <typename T>
void MarkSecret(T& v) {
  VALGRIND_MAKE_MEM_UNDEFINED(&v, sizeof v);
}

template <typename T>
void Declassify(T& v) {
  VALGRIND_MAKE_MEM_DEFINED(&v, sizeof v);
}

// Fixed bytes: the run must be the same every time, and valgrind, not the
// values, is what is being tested.
void Fill(uint8_t* p, size_t n, uint32_t seed) {
  for (size_t i = 0; i < n; ++i) {
    seed = seed * 1664525u + 1013904223u;
    p[i] = static_cast<uint8_t>(seed >> 24);
  }
}

int Run() {
  uint8_t bytesA[kScalarBytes], bytesB[kScalarBytes];
  Fill(bytesA, sizeof bytesA, 1);
  Fill(bytesB, sizeof bytesB, 2);
  uint16_t secretA[kScalarWords], secretB[kScalarWords];
  PublicKeyRecord pubA, pubB;

  // Key generation: the drawn bytes are the secret.
  MarkSecret(bytesA);
  MarkSecret(bytesB);
  bool usableA = KeyPairFromRandomBytes(bytesA, secretA, pubA);
  bool usableB = KeyPairFromRandomBytes(bytesB, secretB, pubB);
  Declassify(usableA);
  Declassify(usableB);
  Declassify(pubA);  // public keys are published
  Declassify(pubB);
  if (!usableA || !usableB) return std::puts("unusable test key"), 1;
  CurvePoint pointA, pointB;
  RecordPoint(pubA, pointA);
  RecordPoint(pubB, pointB);

  // The shared element and both message keys, from an undefined scalar.
  uint16_t shared[kElementWords], send[kElementWords], receive[kElementWords];
  MarkSecret(secretA);
  MarkSecret(secretB);
  bool ok = SharedElement(secretA, pointB, shared);
  ok &= DeriveMessageKey(secretA, pointB, true, send);
  ok &= DeriveMessageKey(secretB, pointA, false, receive);
  Declassify(ok);
  if (!ok) return std::puts("no message key"), 1;

  // One block each way with undefined keys and plaintext.
  uint8_t plain[kPlainBlockBytes], back[kPlainBlockBytes];
  char cipher[kCipherBlockChars];
  Fill(plain, sizeof plain, 3);
  MarkSecret(plain);
  MarkSecret(send);
  MarkSecret(receive);
  EncryptBlock(plain, send, cipher);
  Declassify(cipher);  // the encrypted block is sent
  DecryptBlock(cipher, receive, back);

  Declassify(plain);
  Declassify(back);
  if (std::memcmp(plain, back, sizeof plain) != 0) return std::puts("round trip failed"), 1;
  return 0;
}

}  // namespace

int main() {
  int status = 0;
  const bool instruction = HasClmulInstruction();
  std::printf("CPU carry-less multiplication: %s\n", instruction ? "yes" : "no");
  for (ClmulPath path : {ClmulPath::kPortable, ClmulPath::kInstruction}) {
    if (path == ClmulPath::kInstruction && !instruction) continue;
    SelectClmulPath(path);
    const int r = Run();
    std::printf("%s path: %s\n", path == ClmulPath::kPortable ? "portable" : "instruction", r ? "FAILED" : "ran");
    status |= r;
  }
  return status;
}
