// encrypt and decrypt: the commands on messages.
#include <cstdio>
#include <string>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/key_paths.h"
#include "cli/passphrase_input.h"
#include "cli/report_error.h"
#include "keys/cipher.h"
#include "keys/key_files.h"
#include "keys/message_text.h"
#include "resources/strings.h"

namespace {

// The secret key and the chosen correspondent's public point.
void LoadKeys(const Options& o, uint16_t* secret, CurvePoint& q) {
  const KeyPaths paths = ChooseKeyPaths(o, false);
  LoadSecretKey(o, paths.secretPath, secret);
  const PublicKeyRing ring = LoadRing(paths.publicPath);
  RecordPoint(ring.keys[ChooseKey(ring, o, -1)], q);
}

}  // namespace

int RunEncrypt(const Options& o) {
  uint16_t secret[kScalarWords];
  CurvePoint q;
  LoadKeys(o, secret, q);
  const std::string plain = ReadInput(o.files.empty() ? "" : o.files[0]);
  std::string encrypted;
  if (!EncryptText(plain, secret, q, encrypted)) ReportError(StringText(IDS_BAD_KEY), true);
  WriteOutput(encrypted + "\n");
  return 0;
}

int RunDecrypt(const Options& o) {
  uint16_t secret[kScalarWords];
  CurvePoint q;
  LoadKeys(o, secret, q);
  const std::string encrypted = WithoutBlanks(ReadInput(o.files.empty() ? "" : o.files[0]));
  // Decrypting a plain text would only give garbage.
  if (!encrypted.empty() && !IsEncryptedText(encrypted)) ReportError(StringText(IDS_NOT_ENCRYPTED), true);
  std::string plain;
  if (!DecryptWholeBlocks(encrypted, secret, q, plain)) ReportError(StringText(IDS_BAD_KEY), true);
  if (const size_t cut = IncompleteTailChars(encrypted)) {
    std::fprintf(stderr, "vwg: warning: the text ends %zu characters into a block, which are left out\n", cut);
  }
  if (o.trim) TrimPadding(plain);
  WriteOutput(plain);
  return 0;
}
