#include "util/Directions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

PMVECTOR Dir(float dec, float inc) { return PMVECTOR{1.0, dec, inc}; }

float Sensible(float dec) {
  PMVECTOR v = Dir(dec, 10.0f);
  SetSensibleDec(&v);
  EXPECT_EQ(v.inc, 10.0f) << "the inclination is not touched";
  return v.dec;
}

// The great-circle angle by the haversine formula, a different route from the dot product.
double Haversine(double dec1, double inc1, double dec2, double inc2) {
  const double r = M_PI / 180.0;
  const double a =
      std::pow(std::sin((inc2 - inc1) * r / 2), 2) +
      std::cos(inc1 * r) * std::cos(inc2 * r) * std::pow(std::sin((dec2 - dec1) * r / 2), 2);
  return 2.0 * std::asin(std::sqrt(a)) / r;
}

// --- SetSensibleDec ---

TEST(SetSensibleDec, BringsDeclinationsIntoOneTurn) {
  EXPECT_EQ(Sensible(-30.0f), 330.0f);
  EXPECT_EQ(Sensible(725.0f), 5.0f);
  EXPECT_EQ(Sensible(123.5f), 123.5f);
  EXPECT_EQ(Sensible(-725.0f), 355.0f);
}

TEST(SetSensibleDec, KeepsExactly360AndTurnsMinus360IntoZero) {
  EXPECT_EQ(Sensible(360.0f), 360.0f);
  EXPECT_EQ(Sensible(720.0f), 360.0f);
  EXPECT_EQ(Sensible(0.0f), 0.0f);
  const float minus360 = Sensible(-360.0f);
  EXPECT_EQ(minus360, 0.0f);
  EXPECT_FALSE(std::signbit(minus360));
}

TEST(SetSensibleDec, ReducesHugeDeclinationsWithoutLoopingForAges) {
  // 10^9 = 2777777 turns + 280 degrees.
  EXPECT_EQ(Sensible(1.0e9f), 280.0f);
  const float far = Sensible(-3.0e38f);
  EXPECT_GE(far, 0.0f);
  EXPECT_LE(far, 360.0f);
}

TEST(SetSensibleDec, LeavesNonFiniteDeclinationsAndNullAlone) {
  EXPECT_TRUE(std::isnan(Sensible(kNaN)));
  EXPECT_EQ(Sensible(std::numeric_limits<float>::infinity()),
            std::numeric_limits<float>::infinity());
  SetSensibleDec(nullptr);
}

// --- IsSensibleDecInc ---

TEST(IsSensibleDecInc, AcceptsUpTo500DegreesOfDeclinationAnd180OfInclination) {
  PMVECTOR edge = Dir(-500.0f, 180.0f);
  EXPECT_EQ(IsSensibleDecInc(&edge), 1);
  PMVECTOR dec_too_big = Dir(500.5f, 0.0f);
  EXPECT_EQ(IsSensibleDecInc(&dec_too_big), 0);
  PMVECTOR inc_too_big = Dir(0.0f, -180.5f);
  EXPECT_EQ(IsSensibleDecInc(&inc_too_big), 0);
  PMVECTOR nan = Dir(kNaN, 0.0f);
  EXPECT_EQ(IsSensibleDecInc(&nan), 0);
  EXPECT_EQ(IsSensibleDecInc(nullptr), 0);
}

// --- AngleBetween ---

TEST(AngleBetween, IdenticalDirectionsAreZeroApartAndOppositeOnes180) {
  PMVECTOR a = Dir(37.5f, 62.0f);
  PMVECTOR b = Dir(217.5f, -62.0f);
  EXPECT_NEAR(AngleBetween(&a, &a), 0.0, 1e-6);
  // Deg uses the library's pi, 4e-10 above the true one: 180 comes out 2e-8 short.
  EXPECT_NEAR(AngleBetween(&a, &b), 180.0, 1e-6);
}

TEST(AngleBetween, NeverNaNForEqualDirections) {
  // Rounding can put the dot product of a direction with itself just above 1.
  for (float dec = 0.0f; dec < 360.0f; dec += 7.3f) {
    for (float inc = -90.0f; inc <= 90.0f; inc += 3.1f) {
      PMVECTOR v = Dir(dec, inc);
      const double angle = AngleBetween(&v, &v);
      ASSERT_FALSE(std::isnan(angle)) << dec << " " << inc;
      EXPECT_NEAR(angle, 0.0, 1e-5);
    }
  }
}

TEST(AngleBetween, MatchesTheHaversineDistance) {
  const float cases[][4] = {{10, 30, 50, 60}, {0, 0, 90, 0}, {0, 0, 0, 90}, {350, -20, 15, 45}};
  for (const auto& c : cases) {
    PMVECTOR a = Dir(c[0], c[1]);
    PMVECTOR b = Dir(c[2], c[3]);
    EXPECT_NEAR(AngleBetween(&a, &b), Haversine(c[0], c[1], c[2], c[3]), 1e-5);
    EXPECT_NEAR(AngleBetween(&b, &a), AngleBetween(&a, &b), 1e-12);
  }
  EXPECT_EQ(AngleBetween(nullptr, nullptr), 0.0);
}

TEST(AngleBetweenRadians, WorksInRadians) {
  EXPECT_NEAR(AngleBetweenRadians(0.0, 0.0, M_PI / 2, 0.0), M_PI / 2, 1e-12);
  EXPECT_NEAR(AngleBetweenRadians(1.0, 0.3, 1.0 + M_PI, -0.3), M_PI, 1e-7);
}

// --- RoundBEARING ---

TEST(RoundBEARING, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(RoundBEARING(12.5f, 0), 13.0f);
  EXPECT_EQ(RoundBEARING(-12.5f, 0), -13.0f);
  EXPECT_EQ(RoundBEARING(12.345f, 2), 12.35f);  // 12.345f is 12.3450003
  EXPECT_EQ(RoundBEARING(-12.35f, 1), -12.4f);  // -12.35f is -12.3500004
  EXPECT_EQ(RoundBEARING(359.996f, 2), 360.0f);
  EXPECT_EQ(RoundBEARING(123.4f, -1), 120.0f);
}

TEST(RoundBEARING, KeepsZeroAndWhatCannotBeRounded) {
  EXPECT_EQ(RoundBEARING(0.0f, 3), 0.0f);
  EXPECT_EQ(RoundBEARING(-0.0f, 3), 0.0f);
  EXPECT_TRUE(std::isnan(RoundBEARING(kNaN, 2)));
  EXPECT_EQ(RoundBEARING(1e30f, 10), 1e30f);
}

}  // namespace
