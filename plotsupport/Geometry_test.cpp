#include "plotsupport/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using tessmor::POINT;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// --- turns between bearings ---

TEST(FindAngleBetween, TurnsTheShortWayAcrossNorth) {
  EXPECT_EQ(FindAngleBetween(350.0f, 10.0f), 20.0f);
  EXPECT_EQ(FindAngleBetween(10.0f, 350.0f), -20.0f);
}

TEST(FindAngleBetween, GivesHalfATurnWithTheSignOfTheDifference) {
  EXPECT_EQ(FindAngleBetween(0.0f, 180.0f), 180.0f);
  EXPECT_EQ(FindAngleBetween(180.0f, 0.0f), -180.0f);
}

TEST(FindAngleBetween, GivesSmallTurnsAsTheyAre) {
  EXPECT_EQ(FindAngleBetween(30.0f, 75.0f), 45.0f);
  EXPECT_EQ(FindAngleBetween(75.0f, 30.0f), -45.0f);
  EXPECT_EQ(FindAngleBetween(90.0f, 90.0f), 0.0f);
}

TEST(FindAngleBetween, PassesNaNThrough) {
  EXPECT_TRUE(std::isnan(FindAngleBetween(kNaN, 10.0f)));
  EXPECT_TRUE(std::isnan(FindAngleBetween(10.0f, kNaN)));
}

// --- offsets along a bearing ---

POINT Offset(float bearing, POINT from, float distance) {
  POINT out{-7, -7};
  NewPointOffset(bearing, out, &from, distance);
  return out;
}

TEST(NewPointOffset, MovesAlongXForBearingNinetyAndAlongYForZero) {
  const POINT east = Offset(90.0f, {0, 0}, 10.0f);
  EXPECT_EQ(east.x, 10);
  EXPECT_EQ(east.y, 0);
  const POINT north = Offset(0.0f, {0, 0}, 10.0f);
  EXPECT_EQ(north.x, 0);
  EXPECT_EQ(north.y, 10);
}

TEST(NewPointOffset, RoundsEachOffsetFromTheStart) {
  // Bearing 45, 100 units: 70.71 along both axes from (5, -5).
  const POINT p = Offset(45.0f, {5, -5}, 100.0f);
  EXPECT_EQ(p.x, 76);
  EXPECT_EQ(p.y, 66);
  // Bearing 210 (south-south-west), 20 units: sin = -0.5, cos = -0.866.
  const POINT q = Offset(210.0f, {0, 0}, 20.0f);
  EXPECT_EQ(q.x, -10);
  EXPECT_EQ(q.y, -17);
}

TEST(NewPointOffset, MayWriteOverItsStart) {
  POINT p{100, 100};
  NewPointOffset(180.0f, p, &p, 30.0f);
  EXPECT_EQ(p.x, 100);
  EXPECT_EQ(p.y, 70);
}

TEST(NewPointOffset, StopsAtTheIntegerRange) {
  const POINT p = Offset(90.0f, {2147483000, 0}, 1e6f);
  EXPECT_EQ(p.x, std::numeric_limits<std::int32_t>::max());
  const POINT q = Offset(0.0f, {0, 0}, kNaN);
  EXPECT_EQ(q.x, 0);
  EXPECT_EQ(q.y, 0);
}

TEST(NewPointOffset, LeavesTheOutputAloneWithoutAStart) {
  POINT out{3, 4};
  NewPointOffset(90.0f, out, nullptr, 10.0f);
  EXPECT_EQ(out.x, 3);
  EXPECT_EQ(out.y, 4);
}

// --- bearings of lines ---

TEST(FindBearingOfLine, GivesMinusThousandForEqualPoints) {
  const POINT p{4, 4};
  EXPECT_EQ(FindBearingOfLine(&p, &p), -1000.0f);
  EXPECT_EQ(FindBearingOfLine(nullptr, &p), -1000.0f);
}

TEST(FindBearingOfLine, MeasuresClockwiseFromUp) {
  const POINT o{0, 0};
  const POINT up{0, 5};
  const POINT right{5, 0};
  const POINT down{0, -5};
  const POINT left{-5, 0};
  const POINT down_left{-5, -5};
  EXPECT_EQ(FindBearingOfLine(&o, &up), 0.0f);
  EXPECT_FLOAT_EQ(FindBearingOfLine(&o, &right), 90.0f);
  EXPECT_FLOAT_EQ(FindBearingOfLine(&o, &down), 180.0f);
  EXPECT_FLOAT_EQ(FindBearingOfLine(&o, &left), 270.0f);
  EXPECT_FLOAT_EQ(FindBearingOfLine(&o, &down_left), 225.0f);
}

TEST(FindBearingOfLine, HandlesCoordinatesAtTheIntegerLimits) {
  // The difference does not fit 32 bits; the line still points along +x.
  const POINT a{std::numeric_limits<std::int32_t>::min(), 0};
  const POINT b{std::numeric_limits<std::int32_t>::max(), 0};
  EXPECT_FLOAT_EQ(FindBearingOfLine(&a, &b), 90.0f);
}

TEST(FindBearingOfLine, AgreesWithNewPointOffset) {
  // Going out along a bearing and measuring the line back gives that bearing.
  const POINT from{100, -40};
  for (float bearing : {10.0f, 135.0f, 200.0f, 333.0f}) {
    POINT to;
    NewPointOffset(bearing, to, &from, 100000.0f);
    EXPECT_NEAR(FindBearingOfLine(&from, &to), bearing, 0.001f) << bearing;
  }
}

// --- angle conventions ---

TEST(ChangeAngleConvention, TurnsBearingsIntoAnglesFromX) {
  EXPECT_EQ(ChangeAngleConvention(0.0f), 90.0f);
  EXPECT_EQ(ChangeAngleConvention(90.0f), 0.0f);
  EXPECT_EQ(ChangeAngleConvention(180.0f), 270.0f);
  EXPECT_EQ(ChangeAngleConvention(270.0f), 180.0f);
  EXPECT_EQ(ChangeAngleConvention(-30.0f), 120.0f);
}

TEST(ChangeAngleConvention, IsItsOwnInverse) {
  for (float a : {0.0f, 12.5f, 90.0f, 135.0f, 300.0f}) {
    EXPECT_EQ(ChangeAngleConvention(ChangeAngleConvention(a)), a) << a;
  }
}

TEST(ChangeAngleConvention, GivesNaNForNonFiniteAngles) {
  EXPECT_TRUE(std::isnan(ChangeAngleConvention(kInf)));
  EXPECT_TRUE(std::isnan(ChangeAngleConvention(kNaN)));
}

// --- declination and inclination ---

TEST(SetSensibleDI, WrapsDeclinationAndClampsInclination) {
  DECINC r{-30.0f, 95.0f};
  SetSensibleDI(&r);
  EXPECT_EQ(r.dec, 330.0f);
  EXPECT_EQ(r.inc, 90.0f);
  r = {725.0f, -91.0f};
  SetSensibleDI(&r);
  EXPECT_EQ(r.dec, 5.0f);
  EXPECT_EQ(r.inc, -90.0f);
}

TEST(SetSensibleDI, KeepsBothEndsOfTheDeclinationRange) {
  DECINC r{360.0f, 45.0f};
  SetSensibleDI(&r);
  EXPECT_EQ(r.dec, 360.0f);
  EXPECT_EQ(r.inc, 45.0f);
  r = {720.0f, 0.0f};
  SetSensibleDI(&r);
  EXPECT_EQ(r.dec, 360.0f);
  r = {-360.0f, 0.0f};
  SetSensibleDI(&r);
  EXPECT_EQ(r.dec, 0.0f);
}

TEST(SetSensibleDI, FinishesForHugeAndNonFiniteDeclinations) {
  // 2^40 mod 45 = 2^(40 mod 24) mod 45 = 65536 mod 45 = 16 (Euler, phi(45) = 24), and 16 is
  // 0 mod 8 as 2^40 is: 2^40 mod 360 = 16.
  DECINC r{std::ldexp(1.0f, 40), 10.0f};
  SetSensibleDI(&r);
  EXPECT_EQ(r.dec, 16.0f);
  r = {kInf, 10.0f};
  SetSensibleDI(&r);
  EXPECT_TRUE(std::isnan(r.dec));
  EXPECT_EQ(r.inc, 10.0f);
  r = {10.0f, kNaN};
  SetSensibleDI(&r);
  EXPECT_EQ(r.dec, 10.0f);
  EXPECT_TRUE(std::isnan(r.inc));
  SetSensibleDI(nullptr);
}

}  // namespace
