#include "keys/user_id_text.h"

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

}  // namespace

bool IsPrintableUserId(const char* text) {
  for (; *text; ++text)
    if (IsControl(static_cast<unsigned char>(*text))) return false;
  return true;
}

std::string DisplayUserId(const PublicKeyRecord& r) {
  char id[kUserIdBytes + 1];
  GetUserId(r, id);
  static const char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (const char* p = id; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (IsControl(c)) {
      shown += {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
    } else {
      shown += *p;
    }
  }
  return shown;
}
