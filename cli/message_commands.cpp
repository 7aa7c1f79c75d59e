// encrypt and decrypt: the commands on messages. Messages are bytes: encrypt
// takes its input's bytes as the message, whatever they are, and decrypt
// writes the bytes it finds.
#include <cstdio>
#include <string>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/key_paths.h"
#include "cli/passphrase_input.h"
#include "cli/report_error.h"
#include "cli/usage.h"
#include "crypto/wipe.h"
#include "keys/cipher.h"
#include "keys/key_files.h"
#include "keys/message_text.h"
#include "keys/strong_message.h"
#include "keys/strong_status_text.h"
#include "keys/wiped_text.h"
#include "resources/strings.h"

namespace {

// The secret key and the ring of this command's key files; the secret key
// is wiped when the holder goes.
struct MessageKeys {
  uint16_t secret[kScalarWords] = {};
  PublicKeyRing ring;
  MessageKeys() = default;
  ~MessageKeys() { SecureWipe(secret, sizeof secret); }
  MessageKeys(const MessageKeys&) = delete;
  MessageKeys& operator=(const MessageKeys&) = delete;
};

// The two files must be one pair: with another pair's ring, the messages
// written would name a key nobody holds, and none could be read.
void LoadKeys(const Options& o, MessageKeys& keys) {
  const KeyPaths paths = ChooseKeyPaths(o, false);
  LoadSecretKey(o, paths.secretPath, keys.secret);
  keys.ring = LoadRing(paths.publicPath);
  if (!IsPublicKeyOf(keys.secret, keys.ring.keys[0]))
    ReportError(KeyPairMismatchText(paths.secretPath.c_str(), paths.publicPath.c_str()).c_str(), true);
}

bool KeyChosen(const Options& o) { return o.hasKeyId || o.keyIndex >= 0; }

void ExitOnStrongFailure(StrongStatus status, const uint8_t* senderId) {
  if (status != StrongStatus::kOk) ReportError(StrongStatusText(status, senderId).c_str(), true);
}

// The sender is found by the key ID in the message; a key given with --from
// or --from-index must be that sender's. --trim does not apply: the message
// comes back exactly as long as it was.
int DecryptStrong(const Options& o, const std::string& input) {
  MessageKeys keys;
  LoadKeys(o, keys);
  const int expected = KeyChosen(o) ? ChooseKey(keys.ring, o, -1) : -1;
  std::string plain;
  StrongParties parties;
  ExitOnStrongFailure(DecryptStrongMessage(input, keys.secret, keys.ring.keys[0], keys.ring.keys.data(),
                                           keys.ring.count(), expected, plain, parties),
                      parties.senderId);
  WriteOutput(plain);
  WipeText(plain);
  return 0;
}

// The old format names no key: the sender's must be given.
int DecryptOld(const Options& o, const std::string& encrypted) {
  // Decrypting a plain text would only give garbage.
  if (!encrypted.empty() && !IsEncryptedText(encrypted)) ReportError(StringText(IDS_NOT_ENCRYPTED), true);
  if (!KeyChosen(o)) {
    std::fprintf(stderr, "vwg: no key chosen: a message in the old format needs --from or --from-index\n\n");
    PrintUsage(stderr, Command::kDecrypt);
    return kUsageStatus;
  }
  MessageKeys keys;
  LoadKeys(o, keys);
  CurvePoint q;
  RecordPoint(keys.ring.keys[ChooseKey(keys.ring, o, -1)], q);
  std::string plain;
  if (!DecryptWholeBlocks(encrypted, keys.secret, q, plain)) ReportError(StringText(IDS_BAD_KEY), true);
  if (const size_t cut = IncompleteTailChars(encrypted)) {
    std::fprintf(stderr, "vwg: warning: the text ends %zu characters into a block, which are left out\n", cut);
  }
  if (o.trim) TrimPadding(plain);
  WriteOutput(plain);
  WipeText(plain);
  return 0;
}

}  // namespace

// The message is read once the keys are loaded and wiped as soon as it is
// encrypted, before anything is reported.
int RunEncrypt(const Options& o) {
  MessageKeys keys;
  LoadKeys(o, keys);
  const PublicKeyRecord& recipient = keys.ring.keys[ChooseKey(keys.ring, o, -1)];
  std::string plain = ReadInput(o.files.empty() ? "" : o.files[0]);
  std::string encrypted;
  StrongStatus status;
  if (o.legacy) {
    CurvePoint q;
    RecordPoint(recipient, q);
    status = EncryptText(plain, keys.secret, q, encrypted) ? StrongStatus::kOk : StrongStatus::kNoUsableKey;
  } else {
    status = EncryptStrongMessage(plain, keys.secret, keys.ring.keys[0], recipient, encrypted);
  }
  WipeText(plain);
  ExitOnStrongFailure(status, nullptr);
  WriteOutput(encrypted + "\n");
  return 0;
}

int RunDecrypt(const Options& o) {
  const std::string input = ReadInput(o.files.empty() ? "" : o.files[0]);
  return LooksLikeStrongMessage(input) ? DecryptStrong(o, input) : DecryptOld(o, WithoutBlanks(input));
}
