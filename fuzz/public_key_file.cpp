// A public key file from bytes, as LoadPublicKeyRing and LoadImportFile read
// it: header, count, every entry with its point checks, and the trailer of
// strong keys with theirs. What parses must format back to the very same
// bytes (the trailer included, when one of its keys is present), and the
// full check (which adds the order of each point) may only refuse what the
// cheap one accepted.
#include <cstring>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "keys/formats/key_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > static_cast<size_t>(kMaxPublicFileBytes) + 16) return 0;
  static std::vector<PublicKeyRecord> entries(kMaxRingKeys);
  static std::vector<StrongKey> strong(kMaxRingKeys);
  const int size32 = static_cast<int>(size);
  const int count = ParsePublicKeyFile(data, size32, entries.data(), strong.data(), PublicKeyCheck::kCheap);
  FUZZ_CHECK(count >= 0 && count <= kMaxRingKeys);
  if (count == 0) return 0;
  const int formatted = PublicFileSize(count, strong.data());
  FUZZ_CHECK(formatted <= size32);
  // A file with a trailer ends with it; one without may carry other bytes.
  const bool trailer = size32 > PublicFileBytes(count) + 3 && std::memcmp(data + PublicFileBytes(count), "VWGS", 4) == 0;
  if (trailer) FUZZ_CHECK(size32 == PublicFileBytes(count) + TrailerBytes(count));

  std::vector<uint8_t> again(static_cast<size_t>(formatted));
  FormatPublicKeyFile(count, entries.data(), strong.data(), again.data());
  if (trailer && !HasStrongKeys(count, strong.data())) {
    // An all-empty trailer is read, but a writer leaves it out.
    FUZZ_CHECK(formatted == PublicFileBytes(count));
  } else {
    FUZZ_CHECK(std::memcmp(again.data(), data, again.size()) == 0);
  }

  // One scalar multiplication per point: small files, on a sample.
  if (count <= 2 && Sampled(data, size)) {
    static std::vector<PublicKeyRecord> checked(kMaxRingKeys);
    static std::vector<StrongKey> checkedStrong(kMaxRingKeys);
    const int full = ParsePublicKeyFile(data, size32, checked.data(), checkedStrong.data(), PublicKeyCheck::kFull);
    FUZZ_CHECK(full == 0 || full == count);
    if (full) {
      FUZZ_CHECK(std::memcmp(checked.data(), entries.data(), sizeof(PublicKeyRecord) * count) == 0);
      FUZZ_CHECK(std::memcmp(checkedStrong.data(), strong.data(), sizeof(StrongKey) * count) == 0);
    }
  }
  return 0;
}
