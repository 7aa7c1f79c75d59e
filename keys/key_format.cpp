#include "keys/key_format.h"

#include <cstring>

#include "crypto/wipe.h"
#include "keys/key_check.h"

namespace {

constexpr uint8_t kMagic[4] = {'V', 'W', 'G', '.'};
constexpr uint16_t kPublicFileType = 1;
constexpr uint16_t kSecretFileType = 2;
constexpr uint16_t kFormatVersion = 1;

constexpr uint8_t kIdOffset = 0x47;
constexpr uint8_t IdMask(int i) { return static_cast<uint8_t>(0x3C + 0x11 * i); }

uint16_t GetWord(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

void PutWord(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void GetWords(const uint8_t* p, uint16_t* words, int n) {
  for (int i = 0; i < n; ++i) words[i] = GetWord(p + 2 * i);
}

void PutWords(uint8_t* p, const uint16_t* words, int n) {
  for (int i = 0; i < n; ++i) PutWord(p + 2 * i, words[i]);
}

bool HeaderMatches(const uint8_t* data, uint16_t type) {
  return std::memcmp(data, kMagic, sizeof kMagic) == 0 && GetWord(data + 4) == type &&
         GetWord(data + 6) == kFormatVersion;
}

void PutHeader(uint8_t* out, uint16_t type) {
  std::memcpy(out, kMagic, sizeof kMagic);
  PutWord(out + 4, type);
  PutWord(out + 6, kFormatVersion);
}

// Entry layout: scrambled ID (20 bytes), x (30 words), spare word, y (30 words).
constexpr int kEntryX = kUserIdBytes;
constexpr int kEntrySpare = kEntryX + 2 * kElementWords;
constexpr int kEntryY = kEntrySpare + 2;
static_assert(kEntryY + 2 * kElementWords == kPublicEntryBytes);

void DecodeEntry(const uint8_t* p, PublicKeyRecord& r) {
  uint8_t id[kUserIdBytes];
  std::memcpy(id, p, kUserIdBytes);
  UnscrambleUserId(id);
  std::memcpy(r.userId, id, kUserIdBytes);
  GetWords(p + kEntryX, r.x, kElementWords);
  r.spare = GetWord(p + kEntrySpare);
  GetWords(p + kEntryY, r.y, kElementWords);
}

void EncodeEntry(const PublicKeyRecord& r, uint8_t* p) {
  std::memcpy(p, r.userId, kUserIdBytes);
  ScrambleUserId(p);
  PutWords(p + kEntryX, r.x, kElementWords);
  PutWord(p + kEntrySpare, r.spare);
  PutWords(p + kEntryY, r.y, kElementWords);
}

bool EntryPasses(const PublicKeyRecord& r, PublicKeyCheck check) {
  CurvePoint p;
  RecordPoint(r, p);
  return check == PublicKeyCheck::kFull ? IsUsablePublicPoint(p) : IsValidPublicPoint(p);
}

}  // namespace

void ScrambleUserId(uint8_t id[kUserIdBytes]) {
  for (int i = 0; i < kUserIdBytes; ++i) id[i] = static_cast<uint8_t>((id[i] + kIdOffset) ^ IdMask(i));
}

void UnscrambleUserId(uint8_t id[kUserIdBytes]) {
  for (int i = 0; i < kUserIdBytes; ++i) id[i] = static_cast<uint8_t>((id[i] ^ IdMask(i)) - kIdOffset);
}

int ParsePublicKeyFile(const uint8_t* data, int size, PublicKeyRecord* entries,
                       PublicKeyCheck check) {
  if (size < kPublicHeaderBytes || !HeaderMatches(data, kPublicFileType)) return 0;
  const int count = static_cast<int16_t>(GetWord(data + kFileHeaderBytes));
  if (count < 1 || count > kMaxRingKeys || size < PublicFileBytes(count)) return 0;
  // Every entry is checked before the first is stored, so that a rejected
  // file leaves nothing behind in the caller's buffer.
  const uint8_t* first = data + kPublicHeaderBytes;
  for (int k = 0; k < count; ++k) {
    PublicKeyRecord r;
    DecodeEntry(first + kPublicEntryBytes * k, r);
    if (!EntryPasses(r, check)) return 0;
  }
  for (int k = 0; k < count; ++k) DecodeEntry(first + kPublicEntryBytes * k, entries[k]);
  return count;
}

void FormatPublicKeyFile(int count, const PublicKeyRecord* entries, uint8_t* out) {
  PutHeader(out, kPublicFileType);
  PutWord(out + kFileHeaderBytes, static_cast<uint16_t>(count));
  for (int k = 0; k < count; ++k) {
    EncodeEntry(entries[k], out + kPublicHeaderBytes + kPublicEntryBytes * k);
  }
}

bool IsValidSecretKey(const uint16_t* key) {
  const int n = key[0];
  if (n < 1 || n > kMaxScalarBits || key[n] != 1) return false;
  for (int i = 1; i <= kMaxScalarBits; ++i) {
    if (key[i] > 1) return false;
  }
  return true;
}

int ParseSecretKeyFile(const uint8_t* data, int size, uint16_t* key) {
  if (size < kSecretFileBytes || !HeaderMatches(data, kSecretFileType)) return 0;
  uint16_t parsed[kScalarWords];
  GetWords(data + kFileHeaderBytes, parsed, kScalarWords);
  const bool valid = IsValidSecretKey(parsed);
  if (valid) std::memcpy(key, parsed, sizeof parsed);
  SecureWipe(parsed, sizeof parsed);
  return valid ? 1 : 0;
}

void FormatSecretKeyFile(const uint16_t* key, uint8_t out[kSecretFileBytes]) {
  PutHeader(out, kSecretFileType);
  PutWords(out + kFileHeaderBytes, key, kScalarWords);
}
