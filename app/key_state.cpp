#include "app/key_state.h"

#include "win/report_error.h"

uint16_t SecretKey[kScalarWords];
PublicKeyRecord OwnPublicKey;
char PublicKeyPath[kPathChars];
char SecretKeyPath[kPathChars];

bool CheckKeyFile(KeyFileStatus status, KeyFailure failure) {
  if (status == KeyFileStatus::kOk) return true;
  ReportError(KeyFileErrorText(status), failure == KeyFailure::kFatal);
  return false;
}

bool CheckKeyPair(KeyFailure failure) {
  if (IsPublicKeyOf(SecretKey, OwnPublicKey)) return true;
  ReportError(KeyPairMismatchText(SecretKeyPath, PublicKeyPath).c_str(), failure == KeyFailure::kFatal);
  return false;
}

bool LoadRingInForce(PublicKeyRing& ring, KeyFailure failure) {
  if (!CheckKeyFile(LoadPublicKeyRing(PublicKeyPath, ring), failure)) return false;
  OwnPublicKey = ring.keys[0];
  return true;
}
