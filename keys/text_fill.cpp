#include "keys/text_fill.h"

#include <charconv>
#include <cstring>

namespace {

// The kind of argument the place after a % takes; false for a place we do
// not fill (%x, %ls, a % ending the text).
bool PlaceKind(char conversion, TextArg::Kind& kind) {
  switch (conversion) {
    case 's': kind = TextArg::Kind::kText; return true;
    case 'd': kind = TextArg::Kind::kSigned; return true;
    case 'u': kind = TextArg::Kind::kUnsigned; return true;
    default: return false;
  }
}

// Checked before anything is written, so that a mismatch leaves no half
// filled text.
bool PlacesMatch(const char* text, const TextArg* args, size_t count) {
  size_t used = 0;
  for (const char* p = text; *p; ++p) {
    if (*p != '%') continue;
    if (*++p == '%') continue;
    TextArg::Kind kind = TextArg::Kind::kText;
    if (!PlaceKind(*p, kind) || used == count || args[used].kind() != kind) return false;
    ++used;
  }
  return used == count;
}

// out as it fills, one byte always kept for the terminator.
struct Filling {
  char* out;
  size_t room;
  size_t at = 0;
  bool cut = false;

  void Put(const char* s, size_t n) {
    if (n > room - at) {
      n = room - at;
      cut = true;
    }
    std::memcpy(out + at, s, n);
    at += n;
  }
};

void PutArg(Filling& filling, const TextArg& arg) {
  char number[24];
  std::to_chars_result end{};
  switch (arg.kind()) {
    case TextArg::Kind::kText: return filling.Put(arg.text(), std::strlen(arg.text()));
    case TextArg::Kind::kSigned: end = std::to_chars(number, number + sizeof number, arg.signedValue()); break;
    case TextArg::Kind::kUnsigned: end = std::to_chars(number, number + sizeof number, arg.unsignedValue()); break;
  }
  filling.Put(number, static_cast<size_t>(end.ptr - number));
}

}  // namespace

TextFill FillTextInto(char* out, size_t size, const char* text, const TextArg* args, size_t count) {
  Filling filling{out, size - 1};
  const bool match = PlacesMatch(text, args, count);
  if (!match) {
    filling.Put(text, std::strlen(text));
  } else {
    size_t next = 0;
    for (const char* p = text; *p; ++p) {
      if (*p != '%') {
        filling.Put(p, 1);
      } else if (*++p == '%') {
        filling.Put(p, 1);
      } else {
        PutArg(filling, args[next++]);
      }
    }
  }
  out[filling.at] = '\0';
  if (!match) return TextFill::kMismatch;
  return filling.cut ? TextFill::kCut : TextFill::kWhole;
}

TextFill FillStringTextInto(char* out, size_t size, int id, const TextArg* args, size_t count) {
  const char* text = StringText(id);
  if (*text == '\0') {
    out[0] = '\0';
    return TextFill::kNoText;
  }
  return FillTextInto(out, size, text, args, count);
}
