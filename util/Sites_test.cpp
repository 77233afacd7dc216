#include "util/Sites.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

DEGMINSEC Dms(int d, int m, int s) {
  return DEGMINSEC{static_cast<std::int16_t>(d), static_cast<std::int16_t>(m),
                   static_cast<std::int16_t>(s)};
}

void ExpectDms(const DEGMINSEC& got, int d, int m, int s) {
  EXPECT_EQ(got.degrees, d);
  EXPECT_EQ(got.minutes, m);
  EXPECT_EQ(got.seconds, s);
}

DEGMINSEC Split(double degrees) {
  DEGMINSEC dms = Dms(99, 99, 99);
  GetLatitude(degrees, &dms);
  return dms;
}

// --- degrees, minutes and seconds ---

TEST(SetLongLatitude, AddsMinutesAndSecondsWithTheSignOfTheDegrees) {
  const DEGMINSEC a = Dms(45, 15, 36);
  const DEGMINSEC b = Dms(-12, 30, 0);
  EXPECT_DOUBLE_EQ(SetLongLatitude(&a), 45.26);
  EXPECT_DOUBLE_EQ(SetLongLatitude(&b), -12.5);
  EXPECT_EQ(SetLongLatitude(nullptr), 0.0);
}

TEST(GetLatitude, SplitsDecimalDegrees) {
  ExpectDms(Split(45.26), 45, 15, 36);
  ExpectDms(Split(-12.5), -12, 30, 0);
  ExpectDms(Split(0.0), 0, 0, 0);
}

TEST(GetLatitude, CarriesSixtyMinutesIntoTheDegrees) {
  // 10.99999 degrees is 10 degrees and 3599.964 seconds, which round to a whole degree.
  ExpectDms(Split(10.99999), 11, 0, 0);
  ExpectDms(Split(-10.99999), -11, 0, 0);
}

TEST(GetLatitude, HoldsAnglesThatDoNotFitTheRecord) {
  ExpectDms(Split(1e6), 32767, 0, 0);
  ExpectDms(Split(-1e6), -32767, 0, 0);
  ExpectDms(Split(std::numeric_limits<double>::quiet_NaN()), 0, 0, 0);
  GetLatitude(1.0, nullptr);
}

TEST(GetLatitude, IsUndoneBySetLongLatitude) {
  for (double v : {0.5, 33.3333, -71.125, 179.999}) {
    const DEGMINSEC dms = Split(v);
    EXPECT_NEAR(SetLongLatitude(&dms), v, 0.5 / 3600.0) << v;
  }
}

TEST(ToDecimalDeg, TakesTheSignFromTheDegreesOrTheMinutes) {
  EXPECT_DOUBLE_EQ(ToDecimalDeg(12, 30.0), 12.5);
  EXPECT_DOUBLE_EQ(ToDecimalDeg(-12, 30.0), -12.5);
  EXPECT_DOUBLE_EQ(ToDecimalDeg(0, -30.0), -0.5);
  EXPECT_DOUBLE_EQ(ToDecimalDeg(3, 7.5), 3.125);
}

// --- distances and rounding ---

TEST(AngleBetweenLats, GivesTheGreatCircleDistance) {
  const LATLONG equator_10{0.0f, 10.0f};
  const LATLONG equator_50{0.0f, 50.0f};
  const LATLONG north_pole{90.0f, 0.0f};
  const LATLONG somewhere{0.0f, 123.0f};
  const LATLONG a{30.0f, 20.0f};
  const LATLONG antipode{-30.0f, 200.0f};
  EXPECT_NEAR(AngleBetweenLats(&equator_10, &equator_50), 40.0, 1e-5);
  EXPECT_NEAR(AngleBetweenLats(&north_pole, &somewhere), 90.0, 1e-5);
  EXPECT_NEAR(AngleBetweenLats(&a, &antipode), 180.0, 1e-5);
  EXPECT_EQ(AngleBetweenLats(&a, nullptr), 0.0);
}

TEST(RoundLatLong, RoundsBothAndKeepsTheLongitudeWithinATurn) {
  LATLONG a{12.345f, 359.996f};
  RoundLatLong(&a, 2);
  EXPECT_EQ(a.latitude, 12.35f);
  EXPECT_EQ(a.longitude, 360.0f);  // exactly 360 is not wrapped

  LATLONG b{-12.35f, 725.5f};
  RoundLatLong(&b, 1);
  EXPECT_EQ(b.latitude, -12.4f);  // away from zero
  EXPECT_EQ(b.longitude, 5.5f);

  LATLONG c{-2.5f, -2.5f};
  RoundLatLong(&c, 0);
  EXPECT_EQ(c.latitude, -3.0f);   // away from zero
  EXPECT_EQ(c.longitude, -2.0f);  // upward
  RoundLatLong(nullptr, 1);
}

// --- virtual geomagnetic poles ---

TEST(DecInc2Pole, ReproducesButlersWorkedExample) {
  // Butler (1992), Paleomagnetism, worked example of a VGP: a site at 30 N, 250 E with
  // D = 25, I = 45 and alpha95 = 5 has its pole at 67.8 N, 342.7 E with dp = 4.0 and
  // dm = 6.3 (tolerance: half the last printed digit).
  PMVECTOR dir{1.0, 25.0f, 45.0f};
  const LATLONG site{30.0f, 250.0f};
  VGP pole{};
  pole.alpha95 = 5.0f;
  ASSERT_EQ(DecInc2Pole(&dir, &site, &pole, 1), 1);
  EXPECT_NEAR(pole.latitude, 67.8, 0.05);
  EXPECT_NEAR(pole.longitude, 342.7, 0.05);
  EXPECT_NEAR(pole.dp, 4.0, 0.05);
  EXPECT_NEAR(pole.dm, 6.3, 0.05);
  // The palaeolatitude of I = 45 is atan(tan 45 / 2) = 26.565 degrees.
  EXPECT_NEAR(pole.palaeolatitude, 26.565, 1e-3);
}

TEST(DecInc2Pole, PutsTheAxialDipoleFieldsPoleAtTheGeographicPole) {
  // An axial dipole gives tan I = 2 tan(latitude) and D = 0 everywhere.
  for (float lat : {-60.0f, -10.0f, 0.0f, 40.0f, 75.0f}) {
    const float inc =
        static_cast<float>(std::atan(2.0 * std::tan(lat * M_PI / 180.0)) * 180.0 / M_PI);
    PMVECTOR dir{1.0, 0.0f, inc};
    const LATLONG site{lat, 123.0f};
    VGP pole{};
    ASSERT_EQ(DecInc2Pole(&dir, &site, &pole, 1), 1);
    EXPECT_NEAR(pole.latitude, 90.0, 1e-3) << lat;
    EXPECT_NEAR(pole.palaeolatitude, lat, 1e-3);
    EXPECT_EQ(pole.dp, 0.0f);  // no cone, no oval
  }
}

TEST(DecInc2Pole, TurnsThePoleBackIntoTheDirection) {
  const LATLONG site{-20.0f, 140.0f};
  PMVECTOR dir{2.5, 200.0f, -35.0f};
  VGP pole{};
  pole.alpha95 = 7.0f;
  ASSERT_EQ(DecInc2Pole(&dir, &site, &pole, 1), 1);
  PMVECTOR back{2.5, 0.0f, 0.0f};
  VGP seen = pole;
  seen.alpha95 = 0.0f;
  ASSERT_EQ(DecInc2Pole(&back, &site, &seen, 0), 1);
  EXPECT_NEAR(back.dec, 200.0, 1e-3);
  EXPECT_NEAR(back.inc, -35.0, 1e-3);
  EXPECT_NEAR(seen.alpha95, 7.0, 1e-4);
  EXPECT_NEAR(seen.palaeolatitude, pole.palaeolatitude, 1e-4);
  EXPECT_EQ(back.intensity, 2.5);
}

TEST(DecInc2Pole, ReadsTheGeographicPoleAsANorthPointingSteepDirection) {
  const LATLONG site{40.0f, 10.0f};
  VGP pole{90.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
  PMVECTOR dir{};
  ASSERT_EQ(DecInc2Pole(&dir, &site, &pole, 0), 1);
  EXPECT_NEAR(dir.dec, 0.0, 1e-4);
  EXPECT_NEAR(dir.inc, std::atan(2.0 * std::tan(40.0 * M_PI / 180.0)) * 180.0 / M_PI, 1e-4);
}

TEST(DecInc2Pole, RefusesMissingRecordsAndNonFiniteValues) {
  PMVECTOR dir{1.0, std::numeric_limits<float>::quiet_NaN(), 10.0f};
  const LATLONG site{10.0f, 10.0f};
  VGP pole{1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f};
  EXPECT_EQ(DecInc2Pole(&dir, &site, &pole, 1), 0);
  EXPECT_EQ(pole.latitude, 1.0f);
  EXPECT_EQ(pole.dp, 3.0f);
  EXPECT_EQ(DecInc2Pole(nullptr, &site, &pole, 1), 0);
  EXPECT_EQ(DecInc2Pole(&dir, nullptr, &pole, 0), 0);
  EXPECT_EQ(DecInc2Pole(&dir, &site, nullptr, 0), 0);
}

}  // namespace
