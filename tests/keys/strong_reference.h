// The strong message formats written out again from their description, on
// the system primitives alone and without keys/formats/strong_* and v3_*: the
// yardstick for the known answers' pieces, and the writer of messages that
// no writer of ours produces (a tag that is valid over a wrong length field
// or padding). Also the fixed keys and message of both formats' known
// answers.
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

// ?VW3:'s inner text: the time (8 bytes) and n (4 bytes) big-endian, the
// message, zeros up to a multiple of 32.
std::vector<uint8_t> ReferenceV3InnerText(uint64_t time, std::string_view message);

// "?VW3:" Base64(header | AES-256-GCM(inner) | tag) "." with the key and
// nonce from HKDF-SHA256 over ikm (es | ss), the info binding the header and
// both strong keys' point bytes.
std::string ReferenceV3Seal(const std::vector<uint8_t>& ikm, const std::vector<uint8_t>& header,
                            const std::vector<uint8_t>& senderPoint, const std::vector<uint8_t>& recipientPoint,
                            const std::vector<uint8_t>& inner);

// The two fixed secret scalars of both strong formats' known answers (hex),
// and the message of each: "Hi Bob! ", a greeting in Cyrillic and an emoji,
// UTF-8 of 1 to 4 bytes.
constexpr char kSecretA[] =
    "23456789abcdef23456789abcdef23456789abcdef23456789abcdef23456789abcdef23456789abcdef23456789abcdef2345"
    "6789abcdef0123";
constexpr char kSecretB[] =
    "7edcba98765432fedcba98765432fedcba98765432fedcba98765432fedcba98765432fedcba98765432fedcba98765432fedc"
    "ba987654321234";
std::string KnownAnswerMessage();
