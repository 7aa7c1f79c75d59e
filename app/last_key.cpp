#include "app/last_key.h"

#include <cstring>

#include "keys/fingerprint.h"
#include "keys/registry_names.h"
#include "win/registry.h"

namespace {

bool FingerprintOf(const PublicKeyRing& ring, int i, char out[kFingerprintChars + 1]) {
  return KeyFingerprint(ring.keys[i], StrongKeyOfEntry(ring, i), out) != 0;
}

}  // namespace

int LastKeyFor(const std::string& program, const PublicKeyRing& ring) {
  char stored[kFingerprintChars + 2];
  if (program.empty() ||
      !RegReadString(HKEY_CURRENT_USER, kLastKeyKey, program.c_str(), stored, sizeof stored, false))
    return -1;
  for (int i = 0; i < ring.count(); ++i) {
    char fingerprint[kFingerprintChars + 1];
    if (FingerprintOf(ring, i, fingerprint) && std::strcmp(fingerprint, stored) == 0) return i;
  }
  return -1;
}

void RememberLastKey(const std::string& program, const PublicKeyRing& ring, int chosen) {
  char fingerprint[kFingerprintChars + 1];
  if (program.empty() || !FingerprintOf(ring, chosen, fingerprint)) return;
  RegWriteString(HKEY_CURRENT_USER, kLastKeyKey, program.c_str(), fingerprint, kFingerprintChars, true);
}
