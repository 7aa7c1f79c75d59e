// Encrypted messages inside a longer text: a copy from a chat carries the
// names, times and other lines around them, and wraps each message over
// several lines. Every format allows blanks (spaces, tabs, CRs, LFs)
// anywhere in a message, so a message is found across line breaks; what
// lies around it is left out.
//
// The text is one byte per character: ASCII and the ANSI code page's bytes
// as they are, any character the code page cannot hold as one byte given as
// a byte that no message uses (0, say). A strong message ("?VW3:" or
// "?VW2:", blanks allowed inside the prefix too) runs over Base64 and blanks
// up to its '.'; one cut before its '.' ends at its last Base64 character,
// and its reader refuses it as damaged. An old-format message is a run of
// whole 72-character blocks, blanks aside, each of characters 0x21..0xA0
// and ending with kBlockTail; words written against its first block, with
// no blank between, are not taken for part of it, since the block's tail
// fixes where it starts. Old-format messages with only blanks between them
// are one run of blocks: nothing in the format marks where a message
// starts, and decrypting the run gives their texts in order.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

enum class MessageKind { kV3, kV2, kOld };

// A message's place in the text: [begin, end), blanks inside it included,
// none before or after it.
struct FoundMessage {
  MessageKind kind;
  size_t begin;
  size_t end;
};

// Every message of text, in order. Linear in the text's length.
std::vector<FoundMessage> FindMessages(std::string_view text);
