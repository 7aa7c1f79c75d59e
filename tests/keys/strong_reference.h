// The strong message format written out again from its description, on the
// system primitives alone and without keys/strong_*: the yardstick for the
// known answer's pieces, and the writer of messages that no writer of ours
// produces (a tag that is valid over a wrong length field or padding).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The 33-byte header: version, sender ID, recipient ID, salt.
std::vector<uint8_t> ReferenceHeader(uint8_t version, const std::vector<uint8_t>& senderId,
                                     const std::vector<uint8_t>& recipientId,
                                     const std::vector<uint8_t>& salt);

// n as 4 bytes big-endian, the message, zeros up to a multiple of 32.
std::vector<uint8_t> ReferenceInnerText(std::string_view message);

// "?VW2:" Base64(header | AES-256-GCM(inner) | tag) "." with the key and
// nonce from HKDF-SHA256 over z.
std::string ReferenceSeal(const std::vector<uint8_t>& z, const std::vector<uint8_t>& header,
                          const std::vector<uint8_t>& inner);
