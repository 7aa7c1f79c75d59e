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

bool LoadRingInForce(PublicKeyRing& ring, KeyFailure failure) {
  if (!CheckKeyFile(LoadPublicKeyRing(PublicKeyPath, ring), failure)) return false;
  OwnPublicKey = ring.keys[0];
  return true;
}
