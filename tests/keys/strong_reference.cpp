#include "tests/keys/strong_reference.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "keys/formats/base64.h"
#include "keys/system/aes_gcm.h"
#include "keys/system/hkdf.h"
#include "tests/keys/hex_bytes.h"

std::string KnownAnswerMessage() {
  const std::vector<uint8_t> m = FromHex("486920426f622120d09fd180d0b8d0b2d0b5d18220f09f918b");
  return {m.begin(), m.end()};
}

std::vector<uint8_t> ReferenceHeader(uint8_t version, const std::vector<uint8_t>& senderId,
                                     const std::vector<uint8_t>& recipientId,
                                     const std::vector<uint8_t>& salt) {
  std::vector<uint8_t> h(33);
  h[0] = version;
  std::copy(senderId.begin(), senderId.begin() + 8, h.begin() + 1);
  std::copy(recipientId.begin(), recipientId.begin() + 8, h.begin() + 9);
  std::copy(salt.begin(), salt.begin() + 16, h.begin() + 17);
  return h;
}

std::vector<uint8_t> ReferenceInnerText(std::string_view message) {
  const size_t n = message.size();
  std::vector<uint8_t> inner((4 + n + 31) / 32 * 32, 0);
  for (int i = 0; i < 4; ++i) inner[i] = static_cast<uint8_t>(n >> (24 - 8 * i));
  std::copy(message.begin(), message.end(), inner.begin() + 4);
  return inner;
}

namespace {

std::string Armoured(const char* prefix, const std::vector<uint8_t>& body) {
  std::string text(Base64Chars(body.size()), '\0');
  Base64Encode(body.data(), body.size(), text.data());
  return prefix + text + ".";
}

std::vector<uint8_t> Sealed(const uint8_t okm[44], const std::vector<uint8_t>& header,
                            const std::vector<uint8_t>& inner) {
  std::vector<uint8_t> body = header;
  body.resize(header.size() + inner.size() + 16);
  EXPECT_EQ(AesGcmSeal(okm, okm + 32, header.data(), header.size(), inner.data(), inner.size(),
                       body.data() + header.size(), body.data() + header.size() + inner.size()),
            1);
  return body;
}

}  // namespace

std::string ReferenceSeal(const std::vector<uint8_t>& z, const std::vector<uint8_t>& header,
                          const std::vector<uint8_t>& inner) {
  const std::string label = "Vaultwing message v2";
  std::vector<uint8_t> info(label.begin(), label.end());
  info.insert(info.end(), header.begin(), header.begin() + 17);
  uint8_t okm[44];
  EXPECT_TRUE(Hkdf(header.data() + 17, 16, z.data(), z.size(), info.data(), info.size(), okm, sizeof okm));

  return Armoured("?VW2:", Sealed(okm, header, inner));
}

std::vector<uint8_t> ReferenceV3InnerText(uint64_t time, std::string_view message) {
  const size_t n = message.size();
  std::vector<uint8_t> inner((12 + n + 31) / 32 * 32, 0);
  for (int i = 0; i < 8; ++i) inner[i] = static_cast<uint8_t>(time >> (56 - 8 * i));
  for (int i = 0; i < 4; ++i) inner[8 + i] = static_cast<uint8_t>(n >> (24 - 8 * i));
  std::copy(message.begin(), message.end(), inner.begin() + 12);
  return inner;
}

std::string ReferenceV3Seal(const std::vector<uint8_t>& ikm, const std::vector<uint8_t>& header,
                            const std::vector<uint8_t>& senderPoint, const std::vector<uint8_t>& recipientPoint,
                            const std::vector<uint8_t>& inner) {
  const std::string label = "Vaultwing message v3";
  std::vector<uint8_t> info(label.begin(), label.end());
  for (const std::vector<uint8_t>* part : {&header, &senderPoint, &recipientPoint})
    info.insert(info.end(), part->begin(), part->end());
  uint8_t okm[44];
  EXPECT_TRUE(Hkdf(nullptr, 0, ikm.data(), ikm.size(), info.data(), info.size(), okm, sizeof okm));
  return Armoured("?VW3:", Sealed(okm, header, inner));
}
