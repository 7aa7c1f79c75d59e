// Which dialogs Auto-Decrypt may write a plain text into, by the facts of
// their processes' tokens: the programs a user meets, case by case.
#include "icq/write_trust.h"

#include <gtest/gtest.h>

namespace {

constexpr TokenFacts Facts(uint32_t integrity, bool appContainer = false) { return {true, integrity, appContainer}; }
constexpr TokenFacts kUnknown{};
constexpr uint32_t kMediumPlus = 0x2100;
constexpr uint32_t kUntrusted = 0;

struct Case {
  const char* what;
  TokenFacts own, dialog;
  bool writes;
};

TEST(WriteTrust, OnlyIntoProcessesAtOurLevelOrAboveOutsideAnAppContainer) {
  const Case cases[] = {
      {"ICQ beside us, both medium", Facts(kMediumIntegrity), Facts(kMediumIntegrity), true},
      {"ICQ run as administrator", Facts(kMediumIntegrity), Facts(kHighIntegrity), true},
      {"a service's window", Facts(kMediumIntegrity), Facts(kSystemIntegrity), true},
      {"medium-plus, above medium", Facts(kMediumIntegrity), Facts(kMediumPlus), true},
      {"a sandboxed browser tab", Facts(kMediumIntegrity), Facts(kLowIntegrity), false},
      {"an untrusted process", Facts(kMediumIntegrity), Facts(kUntrusted), false},
      {"a store app: medium level, in an AppContainer", Facts(kMediumIntegrity), Facts(kMediumIntegrity, true), false},
      {"an AppContainer at a high level", Facts(kLowIntegrity), Facts(kHighIntegrity, true), false},
      {"we run as administrator, ICQ does not", Facts(kHighIntegrity), Facts(kMediumIntegrity), false},
      {"both low: our own level is the bar", Facts(kLowIntegrity), Facts(kLowIntegrity), true},
      {"our own AppContainer does not matter", Facts(kMediumIntegrity, true), Facts(kMediumIntegrity), true},
      {"a token that could not be read", Facts(kMediumIntegrity), kUnknown, false},
      {"our own token could not be read", kUnknown, Facts(kSystemIntegrity), false},
  };
  for (const Case& c : cases) EXPECT_EQ(MayWriteUnasked(c.own, c.dialog), c.writes) << c.what;
}

// Facts marked unknown are never trusted, whatever else they hold.
TEST(WriteTrust, UnknownFactsCountForNothing) {
  for (uint32_t level : {kUntrusted, kLowIntegrity, kMediumIntegrity, kHighIntegrity, kSystemIntegrity}) {
    const TokenFacts half{false, level, false};
    EXPECT_FALSE(MayWriteUnasked(Facts(kUntrusted), half)) << level;
    EXPECT_FALSE(MayWriteUnasked(half, Facts(kSystemIntegrity))) << level;
  }
}

}  // namespace
