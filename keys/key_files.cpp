#include "keys/key_files.h"

#include <cstring>
#include <vector>

#include "keys/file_io.h"
#include "keys/key_check.h"
#include "keys/report_error.h"
#include "resources/strings.h"

char PublicKeyPath[kPathChars];
char SecretKeyPath[kPathChars];

static int Refuse(int text, bool fatal) {
  ReportError(StringText(text), fatal);
  return 0;
}

// The system's text for the failure that file_io has just left behind.
static int SystemFailure(bool fatal) {
  ReportError(nullptr, fatal);
  return 0;
}

static int LoadPublicFile(const char* path, PublicKeyRecord* entries, bool fatal,
                          PublicKeyCheck check) {
  // Bytes after the last possible entry are never needed.
  std::vector<uint8_t> data(kMaxPublicFileBytes);
  int size = 0;
  if (!ReadFilePrefix(path, data.data(), kMaxPublicFileBytes, &size)) return SystemFailure(fatal);
  const int count = ParsePublicKeyFile(data.data(), size, entries, check);
  return count ? count : Refuse(IDS_BAD_PUBLIC_KEY_FILE, fatal);
}

int LoadPublicKeyFile(const char* path, PublicKeyRecord* entries, bool fatal) {
  return LoadPublicFile(path, entries, fatal, PublicKeyCheck::kCheap);
}

int LoadImportFile(const char* path, PublicKeyRecord* entries, bool fatal) {
  return LoadPublicFile(path, entries, fatal, PublicKeyCheck::kFull);
}

int LoadPublicKeyRing(PublicKeyRecord* entries, bool fatal) {
  const int count = LoadPublicKeyFile(PublicKeyPath, entries, fatal);
  if (count) OwnPublicKey = entries[0];
  return count;
}

int SavePublicKeyFile(const char* path, int count, const PublicKeyRecord* entries, bool fatal) {
  if (count > kMaxRingKeys) return Refuse(IDS_RING_FULL, fatal);
  if (count < 1) return Refuse(IDS_BAD_PUBLIC_KEY_FILE, fatal);
  for (int k = 0; k < count; ++k) {
    CurvePoint p;
    RecordPoint(entries[k], p);
    if (!IsValidPublicPoint(p)) return Refuse(IDS_BAD_KEY, fatal);
  }
  std::vector<uint8_t> data(PublicFileBytes(count));
  FormatPublicKeyFile(count, entries, data.data());
  if (!WriteFileAtomic(path, data.data(), static_cast<int>(data.size()), false)) {
    return SystemFailure(fatal);
  }
  return 1;
}

int AppendToPublicKeyRing(int count, const PublicKeyRecord* entries, bool fatal) {
  std::vector<PublicKeyRecord> ring(kMaxRingKeys);
  const int n = LoadPublicKeyRing(ring.data(), fatal);
  if (!n) return 0;
  if (count > kMaxRingKeys - n) return Refuse(IDS_RING_FULL, fatal);
  std::memcpy(ring.data() + n, entries, sizeof(PublicKeyRecord) * static_cast<size_t>(count));
  return SavePublicKeyFile(PublicKeyPath, n + count, ring.data(), fatal);
}

int LoadSecretKeyFile(const char* path, uint16_t* key, bool fatal) {
  uint8_t data[kSecretFileBytes];
  int size = 0;
  if (!ReadFilePrefix(path, data, kSecretFileBytes, &size)) return SystemFailure(fatal);
  return ParseSecretKeyFile(data, size, key) ? 1 : Refuse(IDS_BAD_SECRET_KEY_FILE, fatal);
}

int SaveSecretKeyFile(const char* path, const uint16_t* key, bool fatal) {
  if (!IsValidSecretKey(key)) return Refuse(IDS_BAD_SECRET_KEY_FILE, fatal);
  uint8_t data[kSecretFileBytes];
  FormatSecretKeyFile(key, data);
  return WriteFileAtomic(path, data, kSecretFileBytes, true) ? 1 : SystemFailure(fatal);
}
