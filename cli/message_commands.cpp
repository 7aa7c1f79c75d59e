// encrypt and decrypt: the commands on messages. Messages are bytes: encrypt
// takes its input's bytes as the message, whatever they are, and decrypt
// writes the bytes it finds.
//
// A key with a strong key gets ?VW3: messages and is believed only in them:
// the older formats from it are refused (--accept-old reads them, for
// archives), since their shared secret is the old format's, which one
// guessed message gives away. A key without one (a correspondent whose
// program has not moved on) gets ?VW2:, or the old format with --legacy,
// and what it sends is shown as not authenticated.
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/key_paths.h"
#include "cli/own_key.h"
#include "cli/passphrase_input.h"
#include "cli/report_error.h"
#include "cli/usage.h"
#include "keys/formats/cipher.h"
#include "keys/formats/message_text.h"
#include "keys/formats/strong_message.h"
#include "keys/formats/strong_status_text.h"
#include "keys/formats/v3_message.h"
#include "keys/key_files.h"
#include "keys/locked_memory.h"
#include "keys/text_fill.h"
#include "keys/user_id_text.h"
#include "keys/wiped_text.h"
#include "resources/strings.h"

namespace {

// The key files of this command; the secret key is in locked memory, wiped
// when the holder goes.
struct MessageKeys {
  KeyPaths paths;
  PublicKeyRing ring;
  LockedScalar secret;
};

bool KeyChosen(const Options& o) { return o.hasKeyId || o.keyIndex >= 0; }

// Wrong usage when --passphrase-file names standard input and the message
// comes there too: the passphrase would be the message's first line, or
// the message would lose it. Status 2 then, otherwise 0.
int RefusePassphraseOnMessageInput(const Options& o) {
  const bool messageOnInput = o.files.empty() || o.files[0] == "-" || IsStandardInput(o.files[0]);
  if (o.passphraseFile.empty() || !messageOnInput || !IsStandardInput(o.passphraseFile)) return 0;
  std::fprintf(stderr, "vwg: --passphrase-file names standard input, which carries the message: give the message "
                       "as FILE, or the passphrase in a file of its own\n\n");
  PrintUsage(stderr, o.command);
  return kUsageStatus;
}

// The ring, and the entry that --to or --from chose (-1 for none). The
// secret key is opened after this, so that a choice the ring refuses asks
// for no passphrase.
int LoadRingAndChoose(const Options& o, MessageKeys& keys) {
  keys.paths = ChooseKeyPaths(o, false);
  keys.ring = LoadRing(keys.paths.publicPath);
  return KeyChosen(o) ? ChooseKey(keys.ring, o, -1) : -1;
}

void ExitOnStrongFailure(StrongStatus status, const uint8_t* senderId) {
  if (status != StrongStatus::kOk) ReportError(StrongStatusText(status, senderId).c_str(), true);
}

std::string OlderFormatRefusedText(const PublicKeyRing& ring, int sender) {
  const std::string id = DisplayUserId(ring.keys[sender]);
  return FilledText(IDS_OLDER_FORMAT_REFUSED, id, id, id);
}

// Refuses text in an older format from a sender with a strong key, unless
// --accept-old reads it anyway; plain, the text read so far, is wiped first.
void CheckOlderFormat(const Options& o, const PublicKeyRing& ring, int sender, std::string& plain) {
  if (!WritesStrongMessages(ring, sender) || o.acceptOld) return;
  WipeText(plain);
  ReportError(OlderFormatRefusedText(ring, sender).c_str(), true);
}

// Said after the text has been written, so that it follows the text on a
// terminal.
void SayOlderFormatSender(const PublicKeyRing& ring, int sender) {
  if (WritesStrongMessages(ring, sender))
    std::fprintf(stderr, "vwg: warning: %s\n", OlderFormatRefusedText(ring, sender).c_str());
  std::fprintf(stderr, "vwg: from %s, older format: not authenticated\n", DisplayUserId(ring.keys[sender]).c_str());
}

// The text is wiped on every way out, a failed write too.
void WriteMessage(std::string& plain) {
  const WipeOnExit wipe(plain);
  WriteOutput(plain);
}

// A strong message of either format, read with this command's keys: read
// is DecryptV3Message over the ring's strong keys, or DecryptStrongMessage
// over its records (entries). Exits with the reason when it is refused.
template <typename Key, typename Parties>
void ReadStrongMessage(const Options& o, const std::string& input, std::vector<Key> PublicKeyRing::*entries,
                       StrongStatus (*read)(std::string_view, const uint16_t*, const Key&, const Key*, int, int,
                                            std::string&, Parties&),
                       MessageKeys& keys, std::string& plain, Parties& parties) {
  const int expected = LoadRingAndChoose(o, keys);
  OpenSecretKey(o, keys.paths, keys.ring, keys.secret.get());
  const std::vector<Key>& ring = keys.ring.*entries;
  ExitOnStrongFailure(read(input, keys.secret.get(), ring[0], ring.data(), keys.ring.count(), expected, plain, parties),
                      parties.senderId);
}

// The sender is found by the strong key ID in the message; a key given with
// --from or --from-index must be that sender's.
int DecryptV3(const Options& o, const std::string& input) {
  MessageKeys keys;
  std::string plain;
  V3Parties parties;
  ReadStrongMessage(o, input, &PublicKeyRing::strong, DecryptV3Message, keys, plain, parties);
  WriteMessage(plain);
  char id[kKeyIdChars + 1];
  KeyIdText(parties.senderId, id);
  std::fprintf(stderr, "vwg: from %s (%s), written %s UTC\n",
               DisplayUserId(keys.ring.keys[parties.senderIndex]).c_str(), id, UtcTimeText(parties.written).c_str());
  return 0;
}

// As DecryptV3, by the key IDs of the public points. --trim does not apply:
// the message comes back exactly as long as it was.
int DecryptV2(const Options& o, const std::string& input) {
  MessageKeys keys;
  std::string plain;
  StrongParties parties;
  ReadStrongMessage(o, input, &PublicKeyRing::keys, DecryptStrongMessage, keys, plain, parties);
  CheckOlderFormat(o, keys.ring, parties.senderIndex, plain);
  WriteMessage(plain);
  SayOlderFormatSender(keys.ring, parties.senderIndex);
  return 0;
}

// The old format names no key: the sender's must be given. A sender with a
// strong key is refused before anything is decrypted: what comes out of a
// made-up text would give its maker the pair's shared element.
int DecryptOld(const Options& o, const std::string& encrypted) {
  // Decrypting a plain text would only give garbage.
  if (!encrypted.empty() && !IsEncryptedText(encrypted)) ReportError(StringText(IDS_NOT_ENCRYPTED), true);
  if (!KeyChosen(o)) {
    std::fprintf(stderr, "vwg: no key chosen: a message in the old format needs --from or --from-index\n\n");
    PrintUsage(stderr, Command::kDecrypt);
    return kUsageStatus;
  }
  MessageKeys keys;
  const int sender = LoadRingAndChoose(o, keys);
  std::string plain;
  CheckOlderFormat(o, keys.ring, sender, plain);
  OpenSecretKey(o, keys.paths, keys.ring, keys.secret.get());
  CurvePoint q;
  RecordPoint(keys.ring.keys[sender], q);
  if (!DecryptWholeBlocks(encrypted, keys.secret.get(), q, plain)) ReportError(StringText(IDS_BAD_KEY), true);
  if (const size_t cut = IncompleteTailChars(encrypted)) {
    std::fprintf(stderr, "vwg: warning: the text ends %zu characters into a block, which are left out\n", cut);
  }
  if (o.trim) TrimPadding(plain);
  WriteMessage(plain);
  SayOlderFormatSender(keys.ring, sender);
  return 0;
}

}  // namespace

// The message is read once the keys are loaded and wiped as soon as it is
// encrypted, before anything is reported.
int RunEncrypt(const Options& o) {
  if (const int usage = RefusePassphraseOnMessageInput(o)) return usage;
  MessageKeys keys;
  const int to = LoadRingAndChoose(o, keys);
  const bool strong = WritesStrongMessages(keys.ring, to);
  const std::string id = DisplayUserId(keys.ring.keys[to]);
  if (o.legacy && strong) {
    std::fprintf(stderr, "vwg: --legacy is for keys without a strong key; %s has one and reads ?VW3: messages: "
                         "leave out --legacy\n", id.c_str());
    return kUsageStatus;
  }
  OpenSecretKey(o, keys.paths, keys.ring, keys.secret.get());
  std::string plain = ReadInput(o.files.empty() ? "" : o.files[0]);
  WipeOnExit wipePlain(plain);
  std::string encrypted;
  StrongStatus status;
  if (strong) {
    const uint64_t now = static_cast<uint64_t>(std::time(nullptr));
    status = EncryptV3Message(plain, now, keys.secret.get(), keys.ring.strong[0], StrongKeyOfEntry(keys.ring, to),
                              encrypted);
  } else if (o.legacy) {
    CurvePoint q;
    RecordPoint(keys.ring.keys[to], q);
    status =
        EncryptText(plain, keys.secret.get(), q, encrypted) ? StrongStatus::kOk : StrongStatus::kNoUsableKey;
  } else {
    status = EncryptStrongMessage(plain, keys.secret.get(), keys.ring.keys[0], keys.ring.keys[to], encrypted);
  }
  ExitOnStrongFailure(status, nullptr);
  WriteOutput(encrypted + "\n");
  if (!strong) std::fprintf(stderr, "vwg: warning: %s\n", FilledText(IDS_SENT_WITHOUT_STRONG_KEY, id).c_str());
  return 0;
}

int RunDecrypt(const Options& o) {
  if (const int usage = RefusePassphraseOnMessageInput(o)) return usage;
  const std::string input = ReadInput(o.files.empty() ? "" : o.files[0]);
  if (LooksLikeV3Message(input)) return DecryptV3(o, input);
  if (LooksLikeStrongMessage(input)) return DecryptV2(o, input);
  return DecryptOld(o, WithoutBlanks(input));
}
