#include <gtest/gtest.h>

#include <climits>

#include "numkit/numkit.h"

TEST(Vector, StartsZeroedOverItsWholeRange) {
  float* v = vector(1, 64);
  ASSERT_NE(v, nullptr);
  for (long i = 1; i <= 64; ++i) EXPECT_EQ(v[i], 0.0f) << i;
  free_vector(v, 1, 64);
}

// One caller clears and reads index 0 of a vector made with (1, N); under AddressSanitizer an
// access outside the storage fails this test.
TEST(Vector, OffersIndexZeroBelowAUnitLowerBound) {
  float* v = vector(1, 8);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v[0], 0.0f);
  for (long i = 0; i <= 8; ++i) v[i] = static_cast<float>(10 + i);
  for (long i = 0; i <= 8; ++i) EXPECT_EQ(v[i], static_cast<float>(10 + i));
  free_vector(v, 1, 8);
}

TEST(Vector, AddressesNegativeAndLargeLowerBounds) {
  float* v = vector(-3, 2);
  ASSERT_NE(v, nullptr);
  for (long i = -3; i <= 2; ++i) v[i] = static_cast<float>(i);
  for (long i = -3; i <= 2; ++i) EXPECT_EQ(v[i], static_cast<float>(i));
  free_vector(v, -3, 2);

  float* w = vector(100, 104);
  ASSERT_NE(w, nullptr);
  w[100] = 1.0f;
  w[104] = 2.0f;
  EXPECT_EQ(w[100] + w[104], 3.0f);
  free_vector(w, 100, 104);
}

TEST(Vector, MakesAnEmptyVectorForUpperBoundJustBelowLower) {
  float* v = vector(1, 0);
  ASSERT_NE(v, nullptr);
  v[0] = 5.0f;  // index 0 exists even here
  EXPECT_EQ(v[0], 5.0f);
  free_vector(v, 1, 0);
}

TEST(Vector, RefusesInvertedOrImpossibleBounds) {
  EXPECT_EQ(vector(5, 2), nullptr);
  EXPECT_EQ(vector(1, -1), nullptr);
  EXPECT_EQ(vector(1, LONG_MAX), nullptr);
  EXPECT_EQ(vector(LONG_MIN, LONG_MAX), nullptr);
  free_vector(nullptr, 1, 10);                     // releasing "no vector" is allowed
  EXPECT_EQ(vector(LONG_MIN, LONG_MIN), nullptr);  // storage from LONG_MIN up to index 0
}
