// The arithmetic of the button's place, against values worked out by hand.
#include "icq/button_geometry.h"

#include <gtest/gtest.h>

TEST(SendButtonX, OddSumsAreHalvedTowardZero) {
  // Kr = 100, Kl = 20: Al = 181 gives 100 + 1/2 = 100; Al = 19 gives
  // 100 + (-161)/2 = 100 - 80 = 20 (flooring would give 19).
  EXPECT_EQ(SendButtonX(181, 20, 100), 100);
  EXPECT_EQ(SendButtonX(19, 20, 100), 20);
  EXPECT_EQ(SendButtonX(182, 20, 100), 101);
  EXPECT_EQ(SendButtonX(20, 20, 100), 20);
}

TEST(SendButtonX, LiesHalfwayBetweenTheLeftEdgesOfCancelAndTheReference) {
  // Cancel at 10..80, the reference control at 276: (10 + 276) / 2 = 143.
  EXPECT_EQ(SendButtonX(276, 10, 80), 143);
  // Reference left of Cancel, negative coordinates: still the midpoint.
  EXPECT_EQ(SendButtonX(-40, 60, 130), 10);
  EXPECT_EQ(SendButtonX(-41, 60, 130), 10);  // 130 + (-181)/2 = 130 - 90
}

TEST(IncomingButtonX, CentresTheWidthInTheGapFromTheAnchorToCancel) {
  // Anchor ends at 90, Cancel starts at 280, width 74: 90 + (190 - 74)/2.
  EXPECT_EQ(IncomingButtonX(90, 280, 10, 84), 148);
  // Only the width of the reference counts, not where it stands.
  EXPECT_EQ(IncomingButtonX(90, 280, 500, 574), 148);
  // Odd gap, and a gap narrower than the button (negative sum) both truncate
  // toward zero: 90 + 117/2 = 148, 90 + (-21)/2 = 80.
  EXPECT_EQ(IncomingButtonX(90, 281, 10, 84), 148);
  EXPECT_EQ(IncomingButtonX(90, 143, 10, 84), 80);
}
