// The passphrase rule: UTF-8 of at most 1024 bytes without NUL, checked
// against a decoder written from the definition of UTF-8 (the code point's
// value first, then its range and shortest form) on every sequence of up to
// three bytes, the four-byte ones by their first three, and random texts;
// the first line of passphrase files; on Windows, text as dialogs and the
// console hand it over.
#include "keys/passphrase_rule.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "resources/strings.h"
#include "tests/keys/test_keys.h"

#ifdef _WIN32
#include <windows.h>

#include "keys/passphrase_from_wide.h"
#endif

namespace {

int Fault(const std::string& text) {
  return PassphraseFault(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// The plain reference: one code point decoded by its value, then judged. The
// bytes after the lead must each be 10xxxxxx; the value must need exactly
// that many bytes, lie below U+110000 and outside the surrogates, and not be
// NUL. The length of the sequence at text, 0 for none.
size_t ReferenceLength(const std::string& text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(at);
  size_t length;
  uint32_t value;
  if (lead < 0x80) {
    length = 1, value = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1Fu;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0Fu;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    value = value << 6 | (byte(at + i) & 0x3Fu);
  }
  const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < least[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF) || value == 0) return 0;
  return length;
}

int ReferenceFault(const std::string& text) {
  if (text.size() > kMaxPassphraseBytes) return IDS_PASSPHRASE_TOO_LONG;
  for (size_t at = 0; at < text.size();) {
    const size_t length = ReferenceLength(text, at);
    if (length == 0) return IDS_PASSPHRASE_NOT_TEXT;
    at += length;
  }
  return 0;
}

TEST(PassphraseRule, KnownTextsAndTheirFaults) {
  const struct {
    std::string text;
    int fault;
  } cases[] = {
      {"", 0},
      {"correct horse", 0},
      {"Schl\xC3\xBC" "ssel \xE2\x80\x93 \xE9\x8D\xB5 \xF0\x9F\x94\x91", 0},  // 1 to 4 bytes a character
      {"\xEF\xBB\xBF" "a", 0},                                                // a mark inside is text
      {"\x7F\x01\t\r", 0},                                                    // control characters are text
      {"\xF4\x8F\xBF\xBF", 0},                                                // U+10FFFF
      {std::string(1024, 'a'), 0},
      {std::string(1025, 'a'), IDS_PASSPHRASE_TOO_LONG},
      {std::string(1025, '\xFF'), IDS_PASSPHRASE_TOO_LONG},  // the length first
      {std::string("pass\0word", 9), IDS_PASSPHRASE_NOT_TEXT},
      {"caf\xE9", IDS_PASSPHRASE_NOT_TEXT},          // Latin-1, as a terminal in another code page sends it
      {"\x80", IDS_PASSPHRASE_NOT_TEXT},             // a continuation without a lead
      {"\xC0\x80", IDS_PASSPHRASE_NOT_TEXT},         // NUL in two bytes
      {"\xC1\xBF", IDS_PASSPHRASE_NOT_TEXT},         // overlong
      {"\xE0\x9F\xBF", IDS_PASSPHRASE_NOT_TEXT},     // overlong
      {"\xF0\x8F\xBF\xBF", IDS_PASSPHRASE_NOT_TEXT}, // overlong
      {"\xED\xA0\x80", IDS_PASSPHRASE_NOT_TEXT},     // a surrogate, U+D800
      {"\xF4\x90\x80\x80", IDS_PASSPHRASE_NOT_TEXT}, // U+110000
      {"\xF5\x80\x80\x80", IDS_PASSPHRASE_NOT_TEXT},
      {"\xE2\x82", IDS_PASSPHRASE_NOT_TEXT},         // cut short
      {"\xE2\x82" "a", IDS_PASSPHRASE_NOT_TEXT},
  };
  for (const auto& c : cases) EXPECT_EQ(Fault(c.text), c.fault) << Hex(c.text.data(), c.text.size());
  EXPECT_STREQ(StringText(IDS_PASSPHRASE_TOO_LONG),
               "This passphrase is too long: a passphrase has at most 1024 bytes in UTF-8, which is 1024 characters "
               "of plain English and at least 256 of any script.");
  EXPECT_STREQ(StringText(IDS_PASSPHRASE_NOT_TEXT), "A passphrase must be text in UTF-8, without NUL characters.");
}

// Every sequence of one, two and three bytes, alone and before an "a"; the
// four-byte ones for every first three bytes, with the fourth at the edges
// of the continuation range and just outside it.
TEST(PassphraseRule, AgreesWithTheReferenceOnEveryShortSequence) {
  std::string text;
  int differences = 0;
  auto check = [&](const std::string& t) {
    if (Fault(t) != ReferenceFault(t) && ++differences <= 10) ADD_FAILURE() << Hex(t.data(), t.size());
  };
  for (uint32_t n = 0; n < (1u << 24); ++n) {
    for (const size_t length : {1, 2, 3}) {
      if (length < 3 && n >> (8 * length) != 0) continue;
      text.assign(length, '\0');
      for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>(n >> (8 * (length - 1 - i)));
      check(text);
      if (length == 3 && static_cast<uint8_t>(text[0]) >= 0xF0) {
        for (const char last : {'\x7F', '\x80', '\xBF', '\xC0'}) check(text + last);
      }
    }
  }
  for (uint32_t n = 0; n < (1u << 16); ++n) check(std::string{static_cast<char>(n >> 8), static_cast<char>(n), 'a'});
  EXPECT_EQ(differences, 0);
}

// Random texts of valid characters, some bytes changed, cut at random.
TEST(PassphraseRule, AgreesWithTheReferenceOnRandomTexts) {
  std::mt19937 rng(TestSeed());
  const std::string pieces[] = {"a", "\xC3\xBC", "\xE2\x80\x93", "\xF0\x9F\x94\x91", "\xED\x9F\xBF", "\xEE\x80\x80"};
  int invalid = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const size_t goal = rng() % 1100;
    while (text.size() < goal) text += pieces[rng() % std::size(pieces)];
    if (rng() % 2 && !text.empty()) text[rng() % text.size()] = static_cast<char>(rng());
    if (rng() % 4 == 0) text.resize(rng() % (text.size() + 1));
    const int expected = ReferenceFault(text);
    invalid += expected == IDS_PASSPHRASE_NOT_TEXT;
    ASSERT_EQ(Fault(text), expected) << Hex(text.data(), text.size());
  }
  EXPECT_GT(invalid, 1000) << "the changes make many texts invalid";
}

std::string FromFile(const std::string& bytes, int* fault = nullptr) {
  Passphrase passphrase;
  SetPassphrase(passphrase, "left over");
  const int f = PassphraseFromFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), passphrase);
  if (fault) *fault = f;
  return std::string(reinterpret_cast<const char*>(passphrase.data()), passphrase.size());
}

// The first line without its line end (LF or CR LF) and without a byte
// order mark before it; a lone CR is part of the line. A line of 1024 bytes
// fits with both around it; whatever follows the line is not looked at.
TEST(PassphraseRule, APassphraseFileGivesItsFirstLine) {
  const std::string mark = "\xEF\xBB\xBF", longest(1024, 'x');
  const struct {
    std::string file, passphrase;
  } cases[] = {
      {"pass\n", "pass"},
      {"pass\r\nsecond line\n", "pass"},
      {"pass", "pass"},
      {"pass\r", "pass\r"},
      {"pa\rss\n", "pa\rss"},
      {"pass\r\r\n", "pass\r"},
      {mark + "pass\r\n", "pass"},
      {mark + mark + "pass", mark + "pass"},
      {"\n", ""},
      {"", ""},
      {mark, ""},
      {"pass\n\xFF\xFE", "pass"},
      {mark + longest + "\r\n", longest},
      {mark + longest, longest},
  };
  for (const auto& c : cases) {
    int fault = -1;
    EXPECT_EQ(FromFile(c.file, &fault), c.passphrase) << Hex(c.file.data(), c.file.size());
    EXPECT_EQ(fault, 0);
  }
  EXPECT_EQ(kPassphraseFileBytes, (mark + longest + "\r\n").size());
  const struct {
    std::string file;
    int fault;
  } refused[] = {
      {longest + "y\n", IDS_PASSPHRASE_TOO_LONG},
      {(mark + longest + "yy").substr(0, kPassphraseFileBytes), IDS_PASSPHRASE_TOO_LONG},  // the read's end
      {"caf\xE9\n", IDS_PASSPHRASE_NOT_TEXT},
      {std::string("a\0b\n", 4), IDS_PASSPHRASE_NOT_TEXT},
      {"\xFF\xFEp\0a\0s\0s\0", IDS_PASSPHRASE_NOT_TEXT},  // UTF-16, as Notepad may save it
  };
  for (const auto& r : refused) {
    int fault = 0;
    EXPECT_EQ(FromFile(r.file, &fault), "") << Hex(r.file.data(), r.file.size());
    EXPECT_EQ(fault, r.fault);
  }
}

#ifdef _WIN32
std::string FromWide(const std::wstring& text, int* fault) {
  Passphrase passphrase;
  *fault = PassphraseFromWide(text.data(), text.size(), passphrase);
  return std::string(reinterpret_cast<const char*>(passphrase.data()), passphrase.size());
}

// What a dialog's field or the console holds: every character as UTF-8,
// 1024 bytes at most however many characters that is, and no unpaired
// surrogate (which UTF-16 allows and UTF-8 cannot say).
TEST(PassphraseRule, WideTextBecomesUtf8WithinTheLimit) {
  int fault = -1;
  EXPECT_EQ(FromWide(L"Schl\u00fcssel \u2013 \u9375 \U0001F511", &fault),
            "Schl\xC3\xBCssel \xE2\x80\x93 \xE9\x8D\xB5 \xF0\x9F\x94\x91");
  EXPECT_EQ(fault, 0);
  EXPECT_EQ(FromWide(L"", &fault), "");
  EXPECT_EQ(fault, 0);
  std::wstring keys;
  for (int i = 0; i < 256; ++i) keys += L"\U0001F511";  // 512 units, 1024 bytes
  EXPECT_EQ(FromWide(keys, &fault).size(), 1024u);
  EXPECT_EQ(fault, 0);
  const struct {
    std::wstring text;
    int fault;
  } refused[] = {
      {keys + L"a", IDS_PASSPHRASE_TOO_LONG},
      {std::wstring(342, L'\u20ac'), IDS_PASSPHRASE_TOO_LONG},  // 1026 bytes in 342 units
      {std::wstring(1025, L'a'), IDS_PASSPHRASE_TOO_LONG},
      {L"a\xD83D" L"b", IDS_PASSPHRASE_NOT_TEXT},
      {L"\xDD11", IDS_PASSPHRASE_NOT_TEXT},
      {std::wstring(L"a\0b", 3), IDS_PASSPHRASE_NOT_TEXT},
  };
  for (const auto& r : refused) {
    EXPECT_EQ(FromWide(r.text, &fault), "") << r.text.size();
    EXPECT_EQ(fault, r.fault) << r.text.size();
  }
  EXPECT_EQ(FromWide(std::wstring(341, L'\u20ac'), &fault).size(), 1023u);
  EXPECT_EQ(fault, 0);
}
#endif

}  // namespace
