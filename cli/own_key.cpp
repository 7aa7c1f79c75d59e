#include "cli/own_key.h"

#include <cstdio>

#include "base/system_error.h"
#include "cli/passphrase_input.h"
#include "cli/report_error.h"

namespace {

// The ring still serves the command without the strong key on disk: the
// next command that opens the secret key tries again.
void AddToRingFile(const std::string& ringPath, const uint16_t* secret) {
  bool added = false;
  const KeyFileStatus status = AddOwnStrongKey(ringPath.c_str(), secret, &added);
  if (status == KeyFileStatus::kOk) return;
  char system[256];
  const char* why = ErrorText(KeyFileErrorText(status), system, sizeof system);
  std::fprintf(stderr, "vwg: warning: your strong key could not be added to the public key ring %s: %s\n",
               ringPath.c_str(), why);
}

}  // namespace

void OpenSecretKey(const Options& o, const KeyPaths& paths, PublicKeyRing& ring, uint16_t* secret) {
  LoadSecretKey(o, paths.secretPath, secret, SecretKeyFileUse::kKeep);
  // With another pair's ring, the messages written would name a key nobody
  // holds, and none could be read.
  if (!IsKeyPairOf(secret, ring.keys[0], ring.strong[0]))
    ReportError(KeyPairMismatchText(paths.secretPath.c_str(), paths.publicPath.c_str()).c_str(), true);
  if (ring.strong[0].present) return;
  AddToRingFile(paths.publicPath, secret);
  if (!CompleteOwnStrongKey(secret, ring)) ReportError("your strong key could not be derived", true);
}

void AddOwnStrongKeyIfPair(const std::string& ringPath, const uint16_t* secret) {
  PublicKeyRing ring;
  if (LoadPublicKeyRing(ringPath.c_str(), ring) != KeyFileStatus::kOk || ring.strong[0].present) return;
  if (IsKeyPairOf(secret, ring.keys[0], ring.strong[0])) AddToRingFile(ringPath, secret);
}
