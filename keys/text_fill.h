// String-table texts filled with what they name: a user ID, a path, a count.
// Every text with % places goes through here, in both programs, so that a
// text whose places do not fit what its caller hands over shows up as the
// text unfilled (its % places in plain sight, and kMismatch) instead of as
// whatever printf makes of a wrong argument, and so that a text too long for
// its buffer says so.
//
// The places are %s (a text), %d (a signed and %u an unsigned integer) and
// %% (a percent sign). An argument is put in as it is: a user ID holding
// "%s" is not read as a place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

#include "resources/strings.h"

// Room for the filled texts of ours: the longest, the question before a
// file's import, is about 2,200 characters with a full path and ten keys
// listed, their user IDs written out byte by byte. Only a window caption
// naming some two hundred senders would be cut.
constexpr size_t kFilledTextChars = 4096;

enum class TextFill {
  kWhole,     // every place filled, all of it in the buffer
  kCut,       // filled, then cut to the buffer
  kMismatch,  // places and arguments differ in number or kind: the text unfilled
  kNoText,    // no entry with that id: ""
};

// One value for a % place, of the kind its type says.
class TextArg {
 public:
  enum class Kind { kText, kSigned, kUnsigned };

  TextArg(const char* text) : kind_(Kind::kText), text_(text) {}
  TextArg(const std::string& text) : TextArg(text.c_str()) {}
  template <typename T>
  TextArg(T value)
      : kind_(std::is_signed_v<T> ? Kind::kSigned : Kind::kUnsigned),
        signed_(static_cast<int64_t>(value)),
        unsigned_(static_cast<uint64_t>(value)) {
    static_assert(
        std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char> && !std::is_same_v<T, wchar_t>,
        "a place takes a text or an integer: bool and characters are neither");
  }

  Kind kind() const { return kind_; }
  const char* text() const { return text_; }
  int64_t signedValue() const { return signed_; }
  uint64_t unsignedValue() const { return unsigned_; }

 private:
  Kind kind_;
  const char* text_ = "";
  int64_t signed_ = 0;
  uint64_t unsigned_ = 0;
};

// text with its places filled from args[0..count) into out (size > 0
// bytes, always terminated). On kMismatch out holds text as it is, cut to
// size like any other.
TextFill FillTextInto(char* out, size_t size, const char* text, const TextArg* args, size_t count);
// The same for the string-table text id (StringText); kNoText for an id
// with none.
TextFill FillStringTextInto(char* out, size_t size, int id, const TextArg* args, size_t count);

// The string-table text id filled with args into out; each argument's type
// is matched against its place when the text is filled.
template <size_t N, typename... Args>
TextFill FillStringText(char (&out)[N], int id, const Args&... args) {
  const TextArg list[] = {TextArg(args)..., TextArg("")};  // the last one only keeps the array from being empty
  return FillStringTextInto(out, N, id, list, sizeof...(Args));
}

// The same in a kFilledTextChars buffer, as a string, for callers that go
// on to join texts.
template <typename... Args>
std::string FilledText(int id, const Args&... args) {
  char text[kFilledTextChars];
  FillStringText(text, id, args...);
  return text;
}
