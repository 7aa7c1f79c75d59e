// Strong messages. Where the block cipher of cipher.h turns equal texts
// into equal blocks and cannot tell a damaged or forged text from a genuine
// one, a strong message names its sender's and recipient's keys, encrypts
// every text under a fresh key, hides the text's length to within 32 bytes,
// and is refused whole when a single character of it has changed.
//
// Text form, one line of ASCII: "?VW2:" Base64(H | C | T) "."
//   H, 33 bytes: version 2, the sender's key ID, the recipient's key ID, a
//     random 16-byte salt;
//   C: AES-256-GCM of the inner text with H as associated data, T its tag;
//   inner text: the message length n as 4 bytes big-endian, the n message
//     bytes, zero bytes up to the next multiple of 32;
//   key and nonce: the 32 + 12 bytes of HKDF-SHA256 with the salt of H, the
//     shared secret Z as input key material, and as info the 20 characters
//     "Vaultwing message v2" followed by H's first 17 bytes;
//   Z: SharedElement of our secret and the correspondent's point, 58 bytes
//     (coefficient words 1..29, high byte first).
// docs/message-format.md describes it byte by byte.
//
// Readers first remove every space, tab, CR and LF (channels wrap lines).
// Messages are bytes here; the programs hand over UTF-8. Every refusal
// leaves the caller's output as it was, and every secret (Z, the derived
// key, inner texts) is wiped once used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/field.h"
#include "keys/fingerprint.h"
#include "keys/key_records.h"
#include "keys/system/aes_gcm.h"

constexpr char kStrongPrefix[] = "?VW2:";
constexpr size_t kStrongPrefixChars = sizeof kStrongPrefix - 1;
constexpr char kStrongEnd = '.';
constexpr uint8_t kStrongVersion = 2;
constexpr int kStrongSaltBytes = 16;
// Offsets in H; the version and the two IDs (the first 17 bytes) are bound
// into the key as well as authenticated.
constexpr int kStrongSenderAt = 1;
constexpr int kStrongRecipientAt = kStrongSenderAt + kKeyIdBytes;
constexpr int kStrongSaltAt = kStrongRecipientAt + kKeyIdBytes;
constexpr int kStrongHeaderBytes = kStrongSaltAt + kStrongSaltBytes;
constexpr int kStrongLengthBytes = 4;
constexpr int kStrongPadBytes = 32;
constexpr int kStrongSecretBytes = 2 * kFieldDegree;
// The shortest message: H, one padded block (an empty text) and the tag.
constexpr size_t kStrongMinBytes = kStrongHeaderBytes + kStrongPadBytes + kGcmTagBytes;
constexpr bool IsStrongMessageSize(size_t n) {
  return n >= kStrongMinBytes && (n - kStrongMinBytes) % kStrongPadBytes == 0;
}
// Longer texts are refused: it keeps every size below 2^31 on 32-bit
// systems, and no messenger carries a fraction of it.
constexpr size_t kMaxStrongMessageBytes = size_t{1} << 30;

// After kOk, a reader's reasons for refusal in the order in which it meets
// them; then the writer's and the system's.
enum class StrongStatus {
  kOk,
  kNotStrong,      // no "?VW2:" at the start, blanks aside: the old format or plain text
  kMalformed,      // no final '.', Base64 not strict, a wrong length or version
  kNotForThisKey,  // the recipient ID is not our key's
  kUnknownSender,  // no ring entry has the sender's ID
  kOtherSender,    // the sender's ID is not the one of the expected entry
  kNoUsableKey,    // a point that fails the key checks, or a shared point at infinity
  kFailedCheck,    // the tag verifies with no entry of the sender's ID, or the
                   // length field or the padding is wrong (changed or forged)
  kTooLong,        // a text over kMaxStrongMessageBytes to encrypt
  kSystemError,    // the system's random source, hash or cipher failed
};

// What a reader learns of the parties. The IDs are those of H, set whenever
// H could be read (from kNotForThisKey on, and with kOk), zero otherwise, so
// that a notice can name an unknown sender or a foreign recipient.
struct StrongParties {
  uint8_t senderId[kKeyIdBytes];
  uint8_t recipientId[kKeyIdBytes];
  int senderIndex;  // with kOk, the ring entry whose key opened the message; else -1
};

// Blanks aside, text starts with "?VW2:". Cheap and allocation-free: for
// telling a strong message from the old format before choosing a reader.
// DecryptStrongMessage returns kNotStrong exactly when this is false.
bool LooksLikeStrongMessage(std::string_view text);

// The strong-message encryption of message from us (secret, and own, our
// public record, whose ID names the sender) to recipient, into out; the salt
// comes from the system's random source, so two encryptions of one text
// differ. Returns kOk, or kNoUsableKey (recipient's point unusable),
// kTooLong or kSystemError, leaving out as it was. Costs two scalar
// multiplications (the order check of the recipient's point and Z).
StrongStatus EncryptStrongMessage(std::string_view message, const uint16_t* secret,
                                  const PublicKeyRecord& own, const PublicKeyRecord& recipient,
                                  std::string& out);

// The same with the given salt. Only for known answers and for checking a
// message that was read: a salt used twice with one pair of keys repeats the
// AES key and nonce, which gives away both texts.
StrongStatus EncryptStrongMessageWithSalt(std::string_view message, const uint16_t* secret,
                                          const PublicKeyRecord& own, const PublicKeyRecord& recipient,
                                          const uint8_t salt[kStrongSaltBytes], std::string& out);

// Reads a strong message for us (secret and own, our public record) from a
// sender in ring[0 .. ringCount). The sender is the ring entry with H's
// sender ID; every entry with that ID is tried in ring order (a ring may
// hold one key twice, or a damaged copy), and the first whose key verifies
// the tag is the sender. With expectedSender >= 0 (a ring index below
// ringCount) only that entry is tried, and a message from any other key is
// kOtherSender. Returns kOk with the message in plain, or the reason for
// refusal, leaving plain as it was; of several entries tried, the one that
// got furthest gives the reason. parties is always set. Costs two scalar multiplications per entry tried, and one
// SHA-256 per ring entry for its ID.
StrongStatus DecryptStrongMessage(std::string_view text, const uint16_t* secret,
                                  const PublicKeyRecord& own, const PublicKeyRecord* ring,
                                  int ringCount, int expectedSender, std::string& plain,
                                  StrongParties& parties);

// The steps of the two above, for callers that hold Z already (the fuzz
// target, which cannot afford a scalar multiplication per input).

// Z of our secret and the peer's point, with the checks of SharedElement.
// True, or false (z zero) when that gives no usable key.
bool StrongSharedSecret(const uint16_t* secret, const PublicKeyRecord& peer, uint8_t z[kStrongSecretBytes]);

// H | C | T of message under Z with the given H. Returns kOk, or kTooLong or
// kSystemError, leaving bytes as they were.
StrongStatus SealStrongMessage(const uint8_t z[kStrongSecretBytes],
                               const uint8_t header[kStrongHeaderBytes], std::string_view message,
                               std::vector<uint8_t>& bytes);

// The message of H | C | T under Z. Returns kOk with the message in plain,
// or kMalformed (bytes too short for a message, or a size between whole
// blocks), kFailedCheck (the tag, or the length field or padding it
// vouches for) or kSystemError, leaving plain as it was.
StrongStatus OpenStrongMessage(const uint8_t z[kStrongSecretBytes], const std::vector<uint8_t>& bytes,
                               std::string& plain);

// The text form of H | C | T.
std::string ArmourStrongMessage(const std::vector<uint8_t>& bytes);

// H | C | T of a text, blanks removed: kOk, or kNotStrong (no prefix) or
// kMalformed (no final '.', Base64 not strict, a size other than H, the tag
// and whole blocks of 32 bytes, or a version other than 2), leaving bytes as
// they were. The IDs are not looked at.
StrongStatus ReadStrongArmour(std::string_view text, std::vector<uint8_t>& bytes);
