#include "keys/formats/key_format.h"

#include <cstring>

#include "crypto/wipe.h"
#include "keys/key_check.h"

namespace {

constexpr uint8_t kMagic[4] = {'V', 'W', 'G', '.'};
constexpr uint8_t kTrailerMagic[4] = {'V', 'W', 'G', 'S'};
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

// Slot layout: the word 1 or 0, x (30 words), y (30 words).
constexpr int kSlotX = 2;
constexpr int kSlotY = kSlotX + 2 * kElementWords;
static_assert(kSlotY + 2 * kElementWords == kTrailerSlotBytes);

void DecodeSlot(const uint8_t* p, StrongKey& key) {
  key.present = GetWord(p);
  GetWords(p + kSlotX, key.x, kElementWords);
  GetWords(p + kSlotY, key.y, kElementWords);
}

void EncodeSlot(const StrongKey& key, uint8_t* p) {
  PutWord(p, key.present);
  PutWords(p + kSlotX, key.x, kElementWords);
  PutWords(p + kSlotY, key.y, kElementWords);
}

// The size bytes after the entries, to the end of the file, begin a
// trailer.
bool IsTrailer(const uint8_t* p, int size) {
  return size >= static_cast<int>(sizeof kTrailerMagic) && std::memcmp(p, kTrailerMagic, sizeof kTrailerMagic) == 0;
}

bool TrailerPasses(const uint8_t* p, int size, int count, PublicKeyCheck check) {
  if (!IsTrailer(p, size)) return true;
  if (size != TrailerBytes(count) || static_cast<int16_t>(GetWord(p + sizeof kTrailerMagic)) != count) return false;
  for (int k = 0; k < count; ++k) {
    StrongKey key;
    DecodeSlot(p + kTrailerHeaderBytes + kTrailerSlotBytes * k, key);
    if (!IsValidStrongKey(key, check == PublicKeyCheck::kFull)) return false;
  }
  return true;
}

// The strong keys of a trailer that passed; none without one.
void DecodeTrailer(const uint8_t* p, int size, int count, StrongKey* strong) {
  for (int k = 0; k < count; ++k) {
    if (IsTrailer(p, size))
      DecodeSlot(p + kTrailerHeaderBytes + kTrailerSlotBytes * k, strong[k]);
    else
      strong[k] = kNoStrongKey;
  }
}

}  // namespace

void ScrambleUserId(uint8_t id[kUserIdBytes]) {
  for (int i = 0; i < kUserIdBytes; ++i) id[i] = static_cast<uint8_t>((id[i] + kIdOffset) ^ IdMask(i));
}

void UnscrambleUserId(uint8_t id[kUserIdBytes]) {
  for (int i = 0; i < kUserIdBytes; ++i) id[i] = static_cast<uint8_t>((id[i] ^ IdMask(i)) - kIdOffset);
}

bool HasStrongKeys(int count, const StrongKey* strong) {
  for (int k = 0; k < count; ++k)
    if (strong[k].present) return true;
  return false;
}

int PublicFileSize(int count, const StrongKey* strong) {
  return PublicFileBytes(count) + (HasStrongKeys(count, strong) ? TrailerBytes(count) : 0);
}

int ParsePublicKeyFile(const uint8_t* data, int size, PublicKeyRecord* entries, StrongKey* strong,
                       PublicKeyCheck check) {
  if (size < kPublicHeaderBytes || !HeaderMatches(data, kPublicFileType)) return 0;
  const int count = static_cast<int16_t>(GetWord(data + kFileHeaderBytes));
  if (count < 1 || count > kMaxRingKeys || size < PublicFileBytes(count)) return 0;
  // Every entry and slot is checked before the first is stored, so that a
  // rejected file leaves nothing behind in the caller's buffers.
  const uint8_t* first = data + kPublicHeaderBytes;
  for (int k = 0; k < count; ++k) {
    PublicKeyRecord r;
    DecodeEntry(first + kPublicEntryBytes * k, r);
    if (!EntryPasses(r, check)) return 0;
  }
  const int end = PublicFileBytes(count);
  if (!TrailerPasses(data + end, size - end, count, check)) return 0;
  for (int k = 0; k < count; ++k) DecodeEntry(first + kPublicEntryBytes * k, entries[k]);
  DecodeTrailer(data + end, size - end, count, strong);
  return count;
}

void FormatPublicKeyFile(int count, const PublicKeyRecord* entries, const StrongKey* strong, uint8_t* out) {
  PutHeader(out, kPublicFileType);
  PutWord(out + kFileHeaderBytes, static_cast<uint16_t>(count));
  for (int k = 0; k < count; ++k) {
    EncodeEntry(entries[k], out + kPublicHeaderBytes + kPublicEntryBytes * k);
  }
  if (!HasStrongKeys(count, strong)) return;
  uint8_t* trailer = out + PublicFileBytes(count);
  std::memcpy(trailer, kTrailerMagic, sizeof kTrailerMagic);
  PutWord(trailer + sizeof kTrailerMagic, static_cast<uint16_t>(count));
  for (int k = 0; k < count; ++k) EncodeSlot(strong[k], trailer + kTrailerHeaderBytes + kTrailerSlotBytes * k);
}

bool IsValidSecretKey(const uint16_t* key) {
  const int n = key[0];
  if (n < 1 || n > kMaxScalarBits || key[n] != 1) return false;
  for (int i = 1; i <= kMaxScalarBits; ++i) {
    if (key[i] > 1) return false;
  }
  return true;
}

bool ParseSecretKeyFile(const uint8_t* data, int size, uint16_t* key) {
  if (size < kSecretFileBytes || !HeaderMatches(data, kSecretFileType)) return false;
  uint16_t parsed[kScalarWords];
  GetWords(data + kFileHeaderBytes, parsed, kScalarWords);
  const bool valid = IsValidSecretKey(parsed);
  if (valid) std::memcpy(key, parsed, sizeof parsed);
  SecureWipe(parsed, sizeof parsed);
  return valid;
}

void FormatSecretKeyFile(const uint16_t* key, uint8_t out[kSecretFileBytes]) {
  PutHeader(out, kSecretFileType);
  PutWords(out + kFileHeaderBytes, key, kScalarWords);
}
