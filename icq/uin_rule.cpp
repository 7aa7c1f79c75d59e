#include "icq/uin_rule.h"

#include <algorithm>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::vector<std::string> UserIdUins(const PublicKeyRecord& key) {
  char id[kUserIdBytes + 1];
  GetUserId(key, id);
  std::vector<std::string> uins;
  AddUins(id, uins);
  return uins;
}

}  // namespace

void AddUins(std::string_view text, std::vector<std::string>& uins) {
  size_t i = 0;
  while (i < text.size()) {
    if (!IsDigit(text[i])) {
      ++i;
      continue;
    }
    const size_t start = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    const size_t length = i - start;
    if (length < kMinUinDigits || length > kMaxUinDigits) continue;
    const std::string_view run = text.substr(start, length);
    if (std::find(uins.begin(), uins.end(), run) == uins.end()) uins.emplace_back(run);
  }
}

bool KeyHoldsUin(const PublicKeyRecord& key, const std::vector<std::string>& uins) {
  for (const std::string& held : UserIdUins(key))
    if (std::find(uins.begin(), uins.end(), held) != uins.end()) return true;
  return false;
}

int FindCorrespondent(const PublicKeyRing& ring, const std::vector<std::string>& uins) {
  int found = -1;
  for (int i = 1; i < ring.count(); ++i) {
    if (!KeyHoldsUin(ring.keys[i], uins)) continue;
    if (found >= 0) return -1;
    found = i;
  }
  return found;
}

bool RingHoldsUins(const PublicKeyRing& ring) {
  for (int i = 1; i < ring.count(); ++i)
    if (!UserIdUins(ring.keys[i]).empty()) return true;
  return false;
}
