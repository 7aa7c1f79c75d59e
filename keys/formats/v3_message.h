// ?VW3: messages: strong messages between strong keys (keys/strong_key.h),
// which the old block format never multiplies with, and which prove their
// sender.
//
// Text form: "?VW3:" Base64(H | C | T) "." (keys/formats/strong_armour.h).
//   H, 133 bytes: version 3, the sender's strong key ID, the recipient's
//     strong key ID, the point bytes of an ephemeral point E = e * G;
//   C: AES-256-GCM of the inner text with H as associated data, T its tag;
//   inner text: the time of writing (8 bytes big-endian, seconds since
//     1970-01-01 UTC), the message length n (4 bytes big-endian), the n
//     message bytes, zero bytes up to the next multiple of 32;
//   key and nonce: the 32 + 12 bytes of HKDF-SHA256 with an empty salt, the
//     IKM es | ss, and as info "Vaultwing message v3" | H | the sender's
//     strong key's point bytes | the recipient's;
//   es = x(e * R2), ss = x(s2 * R2) for the sender (s2 its strong scalar, R2
//     the recipient's strong key); x(s2' * E) and x(s2' * S2) for the
//     recipient (s2' its strong scalar, S2 the sender's strong key); each the
//     58 coefficient bytes of x.
// docs/message-format.md describes it byte by byte.
//
// es makes every message's key new and gone with e once it is sent, so a
// stolen secret key opens only the messages sent to it; ss makes only the
// holder of the sender's strong key able to write to the recipient under
// the sender's name. Every refusal leaves the caller's output as it was, and
// every secret (the scalars, es, ss, the derived key, inner texts) is wiped
// once used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "keys/fingerprint.h"
#include "keys/formats/strong_message.h"
#include "keys/strong_key.h"

constexpr char kV3Prefix[] = "?VW3:";
constexpr uint8_t kV3Version = 3;
constexpr int kV3SenderAt = 1;
constexpr int kV3RecipientAt = kV3SenderAt + kKeyIdBytes;
constexpr int kV3EphemeralAt = kV3RecipientAt + kKeyIdBytes;
constexpr int kV3HeaderBytes = kV3EphemeralAt + kPointBytes;  // 133
constexpr int kV3TimeBytes = 8;
constexpr int kV3LengthBytes = 4;
constexpr int kV3SecretBytes = 2 * kFieldDegree;  // es, ss: one x coordinate each
constexpr size_t kV3MinBytes = kV3HeaderBytes + kStrongPadBytes + kGcmTagBytes;
constexpr bool IsV3MessageSize(size_t n) { return n >= kV3MinBytes && (n - kV3MinBytes) % kStrongPadBytes == 0; }

// What a reader learns of the parties. The IDs are those of H, set whenever
// H could be read (from kNotForThisKey on, and with kOk), zero otherwise.
struct V3Parties {
  uint8_t senderId[kKeyIdBytes];
  uint8_t recipientId[kKeyIdBytes];
  int senderIndex;   // with kOk, the ring entry whose strong key wrote it; else -1
  uint64_t written;  // with kOk, the time of writing the sender put in it
};

// Blanks aside, text starts with "?VW3:".
bool LooksLikeV3Message(std::string_view text);

// The ?VW3: encryption of message at time now (seconds since 1970 UTC) from
// the owner of secret, whose strong key own is (the caller has checked it:
// IsKeyPairOf), to the recipient's strong key, into out. The ephemeral
// scalar comes from the system's random source. Returns kOk, or
// kNoUsableKey (a recipient without a usable strong key: absent, off the
// curve or not of the base point's order), kTooLong or kSystemError,
// leaving out as it was. Costs four scalar multiplications (the order check
// of the recipient's strong key, E, es and ss).
StrongStatus EncryptV3Message(std::string_view message, uint64_t now, const uint16_t* secret,
                              const StrongKey& own, const StrongKey& recipient, std::string& out);

// The same with the given ephemeral scalar (nonzero, bit count and one bit
// per word). Only for known answers: an ephemeral scalar used twice with
// one recipient repeats the AES key and nonce, which gives away both texts.
StrongStatus EncryptV3MessageWithEphemeral(std::string_view message, uint64_t now, const uint16_t* secret,
                                           const StrongKey& own, const StrongKey& recipient,
                                           const uint16_t* ephemeral, std::string& out);

// Reads a ?VW3: message for the owner of secret, whose strong key own is,
// from a sender among the strong keys ring[0 .. ringCount) (absent ones
// never match). Every entry whose strong key ID is H's sender ID is tried in
// ring order, and the first whose key verifies the tag is the sender; with
// expectedSender >= 0 (an index below ringCount) only that entry is tried,
// and a message from any other key is kOtherSender. Returns kOk with the
// message in plain, or the reason for refusal, leaving plain as it was:
// kNotStrong (no prefix), kMalformed (armour, size, version), kNotForThisKey,
// kFailedCheck (E unusable, or the tag, length or padding wrong),
// kUnknownSender, kOtherSender, kNoUsableKey (the sender's strong key is not
// of the base point's order), kSystemError. parties is always set. Costs
// the order check of E, and three scalar multiplications per entry tried.
StrongStatus DecryptV3Message(std::string_view text, const uint16_t* secret, const StrongKey& own,
                              const StrongKey* ring, int ringCount, int expectedSender, std::string& plain,
                              V3Parties& parties);

// The steps of the two above, for callers that hold es and ss already (the
// fuzz target, which cannot afford scalar multiplications per input).

// H | C | T of message at time now under ikm = es | ss, with the given H and
// the two strong keys' point bytes. Returns kOk, or kTooLong or
// kSystemError, leaving bytes as they were.
StrongStatus SealV3Message(const uint8_t ikm[2 * kV3SecretBytes], const uint8_t header[kV3HeaderBytes],
                           const uint8_t senderPoint[kPointBytes], const uint8_t recipientPoint[kPointBytes],
                           uint64_t now, std::string_view message, std::vector<uint8_t>& bytes);

// The message and its time of H | C | T under ikm and the two point bytes.
// Returns kOk, or kMalformed (a size that is no message's), kFailedCheck
// (the tag, or the length field or padding it vouches for) or kSystemError,
// leaving plain and *written as they were.
StrongStatus OpenV3Message(const uint8_t ikm[2 * kV3SecretBytes], const uint8_t senderPoint[kPointBytes],
                           const uint8_t recipientPoint[kPointBytes], const std::vector<uint8_t>& bytes,
                           std::string& plain, uint64_t* written);

// The text form of H | C | T.
std::string ArmourV3Message(const std::vector<uint8_t>& bytes);

// H | C | T of a text, blanks removed: kOk, or kNotStrong (no prefix) or
// kMalformed (no final '.', Base64 not strict, a size other than H, the tag
// and whole blocks of 32 bytes, or a version other than 3), leaving bytes as
// they were.
StrongStatus ReadV3Armour(std::string_view text, std::vector<uint8_t>& bytes);

// The x coordinate of k * p into out (58 bytes, the coefficient words high
// byte first). True, or false (out zero) when the product is the point at
// infinity.
// CT: in k, as PointMultiply; only the verdict depends on it.
bool SharedX(const uint16_t* k, const CurvePoint& p, uint8_t out[kV3SecretBytes]);

// E of H's point bytes: on the curve, x != 0 and of the base point's order.
// False for any other point (E = (0, 0) among them). Costs a scalar
// multiplication.
bool ReadEphemeralPoint(const uint8_t bytes[kPointBytes], CurvePoint& e);

// "YYYY-MM-DD HH:MM" of a time of writing, UTC.
std::string UtcTimeText(uint64_t seconds);

// True when a message written at written is read at now more than 24 hours
// later, or more than 10 minutes before it was written: the notice then says
// when it was written.
bool IsOutOfTime(uint64_t written, uint64_t now);
