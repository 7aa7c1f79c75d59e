#include "keys/formats/protected_key_file.h"

#include <cstring>

#include "base/random_source.h"
#include "crypto/wipe.h"
#include "keys/system/hmac_sha256.h"

namespace {

// "VWG.", then file type 2 and format version 2 as little-endian words.
constexpr uint8_t kProtectedMagicTypeVersion[kFileHeaderBytes] = {'V', 'W', 'G', '.', 2, 0,
                                                                  kProtectedFormatVersion, 0};

uint32_t GetLe(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

void PutLe(uint8_t* p, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> 8 * i);
}

bool AcceptedIterations(uint32_t n) { return n >= kMinProtectedIterations && n <= kMaxProtectedIterations; }

// The file key from the passphrase and the salt and count of header.
bool DeriveFileKey(const uint8_t* passphrase, size_t passphraseSize, const uint8_t* header,
                   uint8_t fileKey[kAesKeyBytes]) {
  return Pbkdf2Sha256(passphrase, passphraseSize, header + kProtectedSaltAt, kProtectedSaltBytes,
                      ProtectedKeyIterations(header), fileKey, kAesKeyBytes) == 1;
}

}  // namespace

bool IsProtectedKeyFile(const uint8_t* data, int size) {
  return size >= kFileHeaderBytes && std::memcmp(data, kProtectedMagicTypeVersion, kFileHeaderBytes) == 0;
}

// An over-long file is refused, not cut: bytes after the tag would be
// outside what the tag vouches for, and a file has exactly one form.
ProtectedKeyStatus CheckProtectedKeyFile(const uint8_t* data, int size) {
  if (!IsProtectedKeyFile(data, size)) return ProtectedKeyStatus::kNotProtected;
  if (size != kProtectedFileBytes || GetLe(data + kProtectedKdfAt, 2) != kKdfPbkdf2Sha256 ||
      !AcceptedIterations(ProtectedKeyIterations(data))) {
    return ProtectedKeyStatus::kMalformed;
  }
  return ProtectedKeyStatus::kOk;
}

uint32_t ProtectedKeyIterations(const uint8_t* data) { return GetLe(data + kProtectedIterationsAt, 4); }

// The tag vouches for the inner file, so its checks after the opening tell
// a broken writer from a genuine one, not an attacker: ParseSecretKeyFile
// will do, and it fills key only when the inner file passes.
ProtectedKeyStatus ParseProtectedKeyFile(const uint8_t* data, int size, const uint8_t* passphrase,
                                         size_t passphraseSize, uint16_t* key) {
  const ProtectedKeyStatus header = CheckProtectedKeyFile(data, size);
  if (header != ProtectedKeyStatus::kOk) return header;
  uint8_t fileKey[kAesKeyBytes];
  if (!DeriveFileKey(passphrase, passphraseSize, data, fileKey)) {
    SecureWipe(fileKey, sizeof fileKey);
    return ProtectedKeyStatus::kSystemError;
  }
  uint8_t inner[kSecretFileBytes];
  const bool opened = AesGcmOpen(fileKey, data + kProtectedNonceAt, data, kProtectedHeaderBytes,
                                 data + kProtectedHeaderBytes, kSecretFileBytes, data + kProtectedTagAt, inner);
  SecureWipe(fileKey, sizeof fileKey);
  if (!opened) return ProtectedKeyStatus::kWrongPassphrase;  // AesGcmOpen has wiped inner
  const bool valid = ParseSecretKeyFile(inner, kSecretFileBytes, key) == 1;
  SecureWipe(inner, sizeof inner);
  return valid ? ProtectedKeyStatus::kOk : ProtectedKeyStatus::kInvalidInnerFile;
}

ProtectedKeyStatus FormatProtectedKeyFile(const uint16_t* key, const uint8_t* passphrase,
                                          size_t passphraseSize, uint32_t iterations,
                                          uint8_t out[kProtectedFileBytes]) {
  uint8_t salt[kProtectedSaltBytes], nonce[kGcmNonceBytes];
  if (!RandomBytes(salt, sizeof salt) || !RandomBytes(nonce, sizeof nonce)) {
    return ProtectedKeyStatus::kSystemError;
  }
  return FormatProtectedKeyFileWith(key, passphrase, passphraseSize, iterations, salt, nonce, out);
}

// The file is built aside and copied out whole, so that a failure leaves out
// as it was.
ProtectedKeyStatus FormatProtectedKeyFileWith(const uint16_t* key, const uint8_t* passphrase,
                                              size_t passphraseSize, uint32_t iterations,
                                              const uint8_t salt[kProtectedSaltBytes],
                                              const uint8_t nonce[kGcmNonceBytes],
                                              uint8_t out[kProtectedFileBytes]) {
  if (passphraseSize == 0) return ProtectedKeyStatus::kEmptyPassphrase;
  if (!AcceptedIterations(iterations)) return ProtectedKeyStatus::kMalformed;
  if (!IsValidSecretKey(key)) return ProtectedKeyStatus::kInvalidInnerFile;

  uint8_t file[kProtectedFileBytes];
  std::memcpy(file, kProtectedMagicTypeVersion, kFileHeaderBytes);
  PutLe(file + kProtectedKdfAt, kKdfPbkdf2Sha256, 2);
  PutLe(file + kProtectedIterationsAt, iterations, 4);
  std::memcpy(file + kProtectedSaltAt, salt, kProtectedSaltBytes);
  std::memcpy(file + kProtectedNonceAt, nonce, kGcmNonceBytes);

  uint8_t inner[kSecretFileBytes];
  FormatSecretKeyFile(key, inner);
  uint8_t fileKey[kAesKeyBytes];
  const bool sealed = DeriveFileKey(passphrase, passphraseSize, file, fileKey) &&
                      AesGcmSeal(fileKey, file + kProtectedNonceAt, file, kProtectedHeaderBytes, inner,
                                 kSecretFileBytes, file + kProtectedHeaderBytes, file + kProtectedTagAt) == 1;
  SecureWipe(fileKey, sizeof fileKey);
  SecureWipe(inner, sizeof inner);
  if (!sealed) return ProtectedKeyStatus::kSystemError;
  std::memcpy(out, file, sizeof file);
  return ProtectedKeyStatus::kOk;
}
