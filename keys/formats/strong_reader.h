// How both strong formats read a message from a ring. Their headers open
// alike (the version, the sender's key ID, the recipient's), and the sender
// is searched for alike; what differs is which key an ID names and what it
// takes to open the message with an entry, which each format passes in.
//
// hasId(key, id) answers 1 when key's ID is id, 0 when not, -1 when the hash
// fails.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "keys/formats/strong_message.h"

// Resets parties (no sender found), reads H | C | T with readArmour, copies
// H's two IDs into parties and checks that own is the recipient. Returns
// kOk, readArmour's refusal, kNotForThisKey or kSystemError.
template <typename Key, typename HasId, typename Parties>
StrongStatus ReadStrongHeader(std::string_view text, StrongStatus (*readArmour)(std::string_view, std::vector<uint8_t>&),
                              const Key& own, HasId hasId, std::vector<uint8_t>& bytes, Parties& parties) {
  parties = {};
  parties.senderIndex = -1;
  const StrongStatus read = readArmour(text, bytes);
  if (read != StrongStatus::kOk) return read;
  std::memcpy(parties.senderId, bytes.data() + kStrongSenderAt, kKeyIdBytes);
  std::memcpy(parties.recipientId, bytes.data() + kStrongRecipientAt, kKeyIdBytes);
  switch (hasId(own, parties.recipientId)) {
    case -1: return StrongStatus::kSystemError;
    case 0: return StrongStatus::kNotForThisKey;
  }
  return StrongStatus::kOk;
}

// Tries, in ring order, every entry of ring[0 .. ringCount) whose ID is
// senderId, or only ring[expectedSender] when expectedSender >= 0.
// open(key) answers kOk, kNoUsableKey (the entry's key gives no shared
// secret), kFailedCheck, or a refusal that ends the search. Returns kOk with
// senderIndex set to the entry that opened it, or the reason for refusal:
// of the entries tried, one whose key fails the tag outranks one that has
// no usable key, which outranks having none with the ID (kOtherSender when
// the expected entry has another ID).
template <typename Key, typename HasId, typename Open>
StrongStatus FindStrongSender(const Key* ring, int ringCount, int expectedSender, const uint8_t senderId[kKeyIdBytes],
                              HasId hasId, Open open, int& senderIndex) {
  const bool expected = expectedSender >= 0;
  const int first = expected ? expectedSender : 0;
  const int end = expected ? expectedSender + 1 : ringCount;
  StrongStatus status = StrongStatus::kUnknownSender;
  for (int i = first; i < end; ++i) {
    const int match = hasId(ring[i], senderId);
    if (match < 0) return StrongStatus::kSystemError;
    if (match == 0) continue;
    const StrongStatus opened = open(ring[i]);
    if (opened == StrongStatus::kOk) {
      senderIndex = i;
      return opened;
    }
    if (opened == StrongStatus::kNoUsableKey) {
      if (status == StrongStatus::kUnknownSender) status = StrongStatus::kNoUsableKey;
      continue;
    }
    if (opened != StrongStatus::kFailedCheck) return opened;
    status = opened;
  }
  return expected && status == StrongStatus::kUnknownSender ? StrongStatus::kOtherSender : status;
}
