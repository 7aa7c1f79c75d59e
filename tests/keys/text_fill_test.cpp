#include "keys/text_fill.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/test_seed.h"

namespace {

// The filled text of format, whatever the outcome.
template <typename... Args>
std::string Fill(const char* format, TextFill expected, const Args&... args) {
  const TextArg list[] = {TextArg(args)..., TextArg("")};
  char out[256];
  EXPECT_EQ(FillTextInto(out, sizeof out, format, list, sizeof...(Args)), expected) << format;
  return out;
}

TEST(TextFill, EachKindOfPlaceTakesItsKindOfArgument) {
  char out[64];
  EXPECT_EQ(FillStringText(out, IDS_IMPORT_MORE, 12), TextFill::kWhole);
  EXPECT_STREQ(out, "... and 12 more");
  EXPECT_EQ(FillStringText(out, IDS_FROM_SENDER, std::string("alice"), "0123ABCD"), TextFill::kWhole);
  EXPECT_STREQ(out, "From alice (0123ABCD).");
  // An argument goes in as it is: a user ID that holds a place is no place.
  EXPECT_EQ(FilledText(IDS_READING_CAPTION, "%s %d %"), "Message from %s %d %");
  EXPECT_EQ(Fill("%u%% of %d, %s", TextFill::kWhole, 50u, int64_t{-8}, ""), "50% of -8, ");
  EXPECT_EQ(Fill("no places", TextFill::kWhole), "no places");
  EXPECT_EQ(Fill("%d %d %u", TextFill::kWhole, std::numeric_limits<int64_t>::min(), short{-1},
                 std::numeric_limits<uint64_t>::max()),
            "-9223372036854775808 -1 18446744073709551615");
}

// The numbers against printf's, the plain reference, over the whole range
// of each width and biased towards its ends.
TEST(TextFill, NumbersReadAsPrintfWritesThem) {
  const uint32_t seed = TestSeed();
  std::mt19937_64 rng(seed);
  for (int i = 0; i < 2000; ++i) {
    const uint64_t bits = rng() >> (rng() % 64);
    const int64_t s = (i & 1) ? static_cast<int64_t>(bits) : -static_cast<int64_t>(bits >> 1);
    char expected[96];
    std::snprintf(expected, sizeof expected, "[%" PRId64 "|%" PRIu64 "|%d|%u]", s, bits, static_cast<int32_t>(s),
                  static_cast<uint32_t>(bits));
    EXPECT_EQ(Fill("[%d|%u|%d|%u]", TextFill::kWhole, s, bits, static_cast<int32_t>(s), static_cast<uint32_t>(bits)),
              expected)
        << "seed " << seed;
  }
}

// Cut to the buffer, always terminated, and said so; a text that just fits
// is whole.
TEST(TextFill, ATextTooLongForItsBufferIsCutAndSaysSo) {
  char exact[16], cut[15], tiny[1];
  EXPECT_EQ(FillStringText(exact, IDS_IMPORT_MORE, 12), TextFill::kWhole);
  EXPECT_STREQ(exact, "... and 12 more");
  EXPECT_EQ(FillStringText(cut, IDS_IMPORT_MORE, 12), TextFill::kCut);
  EXPECT_STREQ(cut, "... and 12 mor");
  char inArgument[12];
  EXPECT_EQ(FillStringText(inArgument, IDS_IMPORT_MORE, 123456789), TextFill::kCut);
  EXPECT_STREQ(inArgument, "... and 123");
  EXPECT_EQ(FillStringText(tiny, IDS_READING_CAPTION, "alice"), TextFill::kCut);
  EXPECT_STREQ(tiny, "");
}

// A text whose places do not fit its arguments is shown unfilled, its
// places in sight, whatever was handed over: never read as another type.
TEST(TextFill, PlacesThatDoNotFitTheArgumentsLeaveTheTextUnfilled) {
  const char* more = StringText(IDS_IMPORT_MORE);
  char out[64];
  EXPECT_EQ(FillStringText(out, IDS_IMPORT_MORE, "12"), TextFill::kMismatch);
  EXPECT_STREQ(out, more);
  EXPECT_EQ(FillStringText(out, IDS_IMPORT_MORE, 12u), TextFill::kMismatch) << "%d takes a signed number";
  EXPECT_EQ(FillStringText(out, IDS_IMPORT_MORE), TextFill::kMismatch);
  EXPECT_EQ(FillStringText(out, IDS_IMPORT_MORE, 1, 2), TextFill::kMismatch);
  EXPECT_STREQ(out, more);
  EXPECT_EQ(FillStringText(out, IDS_APP_NAME, "extra"), TextFill::kMismatch);
  EXPECT_STREQ(out, "Vaultwing for ICQ");
  EXPECT_EQ(Fill("%s of %s", TextFill::kMismatch, "one"), "%s of %s");
  // Places we do not fill, whatever is given for them.
  EXPECT_EQ(Fill("%x", TextFill::kMismatch, 1u), "%x");
  EXPECT_EQ(Fill("%ls", TextFill::kMismatch, "wide"), "%ls");
  EXPECT_EQ(Fill("%5s", TextFill::kMismatch, "padded"), "%5s");
  EXPECT_EQ(Fill("ends in %", TextFill::kMismatch), "ends in %");
  // Unfilled, it is still cut to its buffer.
  char small[4];
  EXPECT_EQ(FillStringText(small, IDS_IMPORT_MORE, "12"), TextFill::kMismatch);
  EXPECT_STREQ(small, "...");
}

TEST(TextFill, AnIdWithoutATextGivesNone) {
  char out[32] = "left over";
  EXPECT_EQ(FillStringText(out, 1299, "alice"), TextFill::kNoText);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(FilledText(0), "");
}

// Every text of the table has only places that are filled here: one with
// a place of another kind would be shown unfilled wherever it is used.
TEST(TextFill, EveryTextOfTheTableCanBeFilledWhole) {
  std::vector<std::pair<int, std::string>> table;
#define VWG_LIST_TEXT(name, id, text) table.emplace_back(id, text);
  VWG_STRING_TABLE(VWG_LIST_TEXT)
#undef VWG_LIST_TEXT
  for (const auto& [id, text] : table) {
    std::vector<TextArg> args;
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 2)) {
      switch (at + 1 < text.size() ? text[at + 1] : '\0') {
        case 's': args.emplace_back("x"); break;
        case 'd': args.emplace_back(1); break;
        case 'u': args.emplace_back(1u); break;
        case '%': break;
        default: ADD_FAILURE() << id << " has a place that is not filled: " << text;
      }
    }
    char out[kFilledTextChars];
    EXPECT_EQ(FillStringTextInto(out, sizeof out, id, args.data(), args.size()), TextFill::kWhole) << id;
  }
}

}  // namespace
