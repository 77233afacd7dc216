#include "dirstats/Bearing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

TEST(SetSensibleBearing, ReducesByWholeTurns) {
  EXPECT_EQ(SetSensibleBearing(725.0f), 5.0L);
  EXPECT_EQ(SetSensibleBearing(-30.0f), 330.0L);
  EXPECT_EQ(SetSensibleBearing(45.5f), 45.5L);
  EXPECT_EQ(SetSensibleBearing(-725.0f), 355.0L);
}

TEST(SetSensibleBearing, KeepsBothEndsOfTheClosedRange) {
  EXPECT_EQ(SetSensibleBearing(360.0f), 360.0L);
  EXPECT_EQ(SetSensibleBearing(0.0f), 0.0L);
  EXPECT_EQ(SetSensibleBearing(-360.0f), 0.0L);
  EXPECT_FALSE(std::signbit(SetSensibleBearing(-360.0f)));
  // Above 360 a whole number of turns stops at 360, not 0.
  EXPECT_EQ(SetSensibleBearing(720.0f), 360.0L);
  EXPECT_EQ(SetSensibleBearing(-720.0f), 0.0L);
}

TEST(SetSensibleBearing, KeepsTheFloatFractionExactly) {
  // 1000.1f - 720 and 370.25 - 360 are exact in extended precision: the subtraction loop
  // and the result agree to the last bit.
  EXPECT_EQ(SetSensibleBearing(1000.1f), static_cast<long double>(1000.1f) - 720.0L);
  EXPECT_EQ(SetSensibleBearing(-0.25f), 359.75L);
  EXPECT_EQ(SetSensibleBearing(370.25f), 10.25L);
}

TEST(SetSensibleBearing, ReducesHugeBearingsQuickly) {
  // 3.6e9 is 10^7 whole turns; 1e30 would never leave a subtraction loop in extended
  // precision. 2^100 mod 360 = 16 (2^100 = 16 mod 45 and 0 mod 8: by the Chinese remainder
  // theorem 16 mod 360).
  EXPECT_EQ(SetSensibleBearing(3.6e9f), 360.0L);
  EXPECT_EQ(SetSensibleBearing(std::ldexp(1.0f, 100)), 16.0L);
  const long double r = SetSensibleBearing(-3.0e38f);
  EXPECT_GE(r, 0.0L);
  EXPECT_LE(r, 360.0L);
}

TEST(SetSensibleBearing, GivesNaNForNonFiniteInput) {
  EXPECT_TRUE(std::isnan(SetSensibleBearing(std::numeric_limits<float>::infinity())));
  EXPECT_TRUE(std::isnan(SetSensibleBearing(-std::numeric_limits<float>::infinity())));
  EXPECT_TRUE(std::isnan(SetSensibleBearing(std::numeric_limits<float>::quiet_NaN())));
}

TEST(FilterPelvarMsg, LetsThroughAMessageNoWindowOwns) {
  MSG msg;
  msg.message = 0x0200;  // a mouse move
  EXPECT_EQ(FilterPelvarMsg(&msg), 0);
  EXPECT_EQ(FilterPelvarMsg(nullptr), 0);
}

TEST(FilterPelvarMsg, ReportsAMessageAWindowConsumed) {
  int seen = 0;
  const int id = PelvarThread().AddMessageFilter([&seen](const MSG& m) {
    ++seen;
    return m.wParam == 27;
  });
  MSG escape;
  escape.wParam = 27;
  MSG other;
  other.wParam = 13;
  EXPECT_EQ(FilterPelvarMsg(&escape), 1);
  EXPECT_EQ(FilterPelvarMsg(&other), 0);
  PelvarThread().RemoveMessageFilter(id);
  EXPECT_EQ(FilterPelvarMsg(&escape), 0);
  EXPECT_EQ(seen, 2);
}

TEST(FilterPelvarMsg, SwallowsAnExceptionOfTheFilterAndAnswersZero) {
  const int id = PelvarThread().AddMessageFilter(
      [](const MSG&) -> bool { throw std::runtime_error("window gone"); });
  MSG msg;
  EXPECT_EQ(FilterPelvarMsg(&msg), 0);
  PelvarThread().RemoveMessageFilter(id);
}

}  // namespace
