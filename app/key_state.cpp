#include "app/key_state.h"

#include "app/process_state.h"
#include "keys/locked_memory.h"
#include "win/report_error.h"

uint16_t SecretKey[kScalarWords];
char PublicKeyPath[kPathChars];
char SecretKeyPath[kPathChars];

namespace {

// SecretKey stays in RAM, out of the page file, for the whole run: its
// pages are locked before the program starts and unlocked as it ends, after
// ShutdownApp has wiped it. A failure to lock leaves it as safe as the rest
// of the program's memory.
struct SecretKeyPages {
  SecretKeyPages() { LockPages(SecretKey, sizeof SecretKey); }
  ~SecretKeyPages() { UnlockPages(SecretKey, sizeof SecretKey); }
  SecretKeyPages(const SecretKeyPages&) = delete;
  SecretKeyPages& operator=(const SecretKeyPages&) = delete;
};
const SecretKeyPages Locked;

}  // namespace

bool CheckKeyFile(KeyFileStatus status, KeyFailure failure) {
  if (status == KeyFileStatus::kOk) return true;
  ReportError(KeyFileErrorText(status), failure == KeyFailure::kFatal);
  return false;
}

bool CheckKeyPair(const PublicKeyRing& ring, KeyFailure failure) {
  if (IsKeyPairOf(SecretKey, ring.keys[0], ring.strong[0])) return true;
  ReportError(KeyPairMismatchText(SecretKeyPath, PublicKeyPath).c_str(), failure == KeyFailure::kFatal);
  return false;
}

bool LoadRingInForce(PublicKeyRing& ring, KeyFailure failure) {
  return CheckKeyFile(LoadPublicKeyRing(PublicKeyPath, ring), failure);
}
