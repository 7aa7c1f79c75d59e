// A public key file from bytes, as LoadPublicKeyFile and LoadImportFile read
// it: header, count, every entry with its point checks. What parses must
// format back to the very same bytes, and the full check (which adds the
// order of each point) may only refuse what the cheap one accepted.
#include <cstring>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "keys/key_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > static_cast<size_t>(kMaxPublicFileBytes) + 16) return 0;
  static std::vector<PublicKeyRecord> entries(kMaxRingKeys);
  const int size32 = static_cast<int>(size);
  const int count = ParsePublicKeyFile(data, size32, entries.data(), PublicKeyCheck::kCheap);
  FUZZ_CHECK(count >= 0 && count <= kMaxRingKeys);
  if (count == 0) return 0;
  FUZZ_CHECK(PublicFileBytes(count) <= size32);

  std::vector<uint8_t> again(PublicFileBytes(count));
  FormatPublicKeyFile(count, entries.data(), again.data());
  FUZZ_CHECK(std::memcmp(again.data(), data, again.size()) == 0);

  // One scalar multiplication per entry: small files, on a sample.
  if (count <= 2 && Sampled(data, size)) {
    static std::vector<PublicKeyRecord> checked(kMaxRingKeys);
    const int full = ParsePublicKeyFile(data, size32, checked.data(), PublicKeyCheck::kFull);
    FUZZ_CHECK(full == 0 || full == count);
    if (full) FUZZ_CHECK(std::memcmp(checked.data(), entries.data(), sizeof(PublicKeyRecord) * count) == 0);
  }
  return 0;
}
