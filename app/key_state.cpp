#include "app/key_state.h"

#include "win/report_error.h"

uint16_t SecretKey[kScalarWords];
char PublicKeyPath[kPathChars];
char SecretKeyPath[kPathChars];

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
