#include "util/NormalGravity.h"

#include <gtest/gtest.h>

#include <limits>

#include "util/FieldModel.h"

namespace {

DEGMINSEC Latitude(int d, int m = 0, int s = 0) {
  return DEGMINSEC{static_cast<std::int16_t>(d), static_cast<std::int16_t>(m),
                   static_cast<std::int16_t>(s)};
}

// --- normal gravity ---

TEST(CalculateIGF, GivesTheEquatorialGravityOfEachForm) {
  const DEGMINSEC equator = Latitude(0);
  EXPECT_DOUBLE_EQ(CalculateIGF(&equator, 1), 978031.846);
  EXPECT_DOUBLE_EQ(CalculateIGF(&equator, 0), 978031.8);
}

TEST(CalculateIGF, GivesThePolarGravityOf1967) {
  // Geodetic Reference System 1967: normal gravity at the poles 983217.72 mGal.
  const DEGMINSEC pole = Latitude(90);
  EXPECT_NEAR(CalculateIGF(&pole, 1), 983217.72, 0.01);
  EXPECT_NEAR(CalculateIGF(&pole, 0), 983217.72, 0.01);
}

TEST(CalculateIGF, BothFormsAgreeWithinATenthOfAMilligal) {
  // They are the same formula; they differ only by the rounding of their coefficients.
  for (int lat = -90; lat <= 90; lat += 5) {
    const DEGMINSEC at = Latitude(lat);
    EXPECT_NEAR(CalculateIGF(&at, 1), CalculateIGF(&at, 0), 0.1) << lat;
  }
}

TEST(CalculateIGF, IsSymmetricAndGrowsTowardsThePoles) {
  const DEGMINSEC north = Latitude(30, 30);
  const DEGMINSEC south = Latitude(-30, 30);
  EXPECT_DOUBLE_EQ(CalculateIGF(&north, 1), CalculateIGF(&south, 1));
  double previous = 0.0;
  for (int lat = 0; lat <= 90; lat += 10) {
    const DEGMINSEC at = Latitude(lat);
    const double g = CalculateIGF(&at, 1);
    EXPECT_GT(g, previous);
    previous = g;
  }
  EXPECT_EQ(CalculateIGF(nullptr, 1), 0.0);
}

TEST(CalculateIGF, ReadsMinutesAndSeconds) {
  // 45 degrees 30 minutes is the same latitude as 45.5 degrees written as 45 30' 0".
  const DEGMINSEC a = Latitude(45, 30, 0);
  const DEGMINSEC b = Latitude(45, 29, 60);
  EXPECT_DOUBLE_EQ(CalculateIGF(&a, 0), CalculateIGF(&b, 0));
  const DEGMINSEC c = Latitude(45, 0, 0);
  EXPECT_GT(CalculateIGF(&a, 0), CalculateIGF(&c, 0));
}

// --- field-model input checks ---

TEST(ValidateIGRF, ClampsYearsHeightsAndLatitudesToTheirLimits) {
  float year = 2000.0f;
  EXPECT_EQ(ValidateIGRFYear(&year), 1);
  EXPECT_EQ(year, 2000.0f);
  year = 2300.0f;
  EXPECT_EQ(ValidateIGRFYear(&year), 0);
  EXPECT_EQ(year, 2200.0f);
  year = 1939.5f;
  EXPECT_EQ(ValidateIGRFYear(&year), 0);
  EXPECT_EQ(year, 1940.0f);
  year = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(ValidateIGRFYear(&year), 0);
  EXPECT_EQ(year, 1940.0f);

  float height = -5.0f;
  EXPECT_EQ(ValidateIGRFHeight(&height), 0);
  EXPECT_EQ(height, 0.0f);
  height = 30000.0f;
  EXPECT_EQ(ValidateIGRFHeight(&height), 1);

  float lat = 95.0f;
  EXPECT_EQ(ValidateIGRFLatitude(&lat), 0);
  EXPECT_EQ(lat, 90.0f);
  lat = -90.0f;
  EXPECT_EQ(ValidateIGRFLatitude(&lat), 1);
  EXPECT_EQ(ValidateIGRFLatitude(nullptr), 0);
}

TEST(ValidateIGRF, AcceptsLongitudesWithinAHalfOrAWholeTurn) {
  EXPECT_EQ(ValidateIGRFLongitude(200.0f, 1), 1);
  EXPECT_EQ(ValidateIGRFLongitude(200.0f, 0), 0);
  EXPECT_EQ(ValidateIGRFLongitude(-180.0f, 0), 1);
  EXPECT_EQ(ValidateIGRFLongitude(-360.5f, 1), 0);
  EXPECT_EQ(ValidateIGRFLongitude(std::numeric_limits<float>::quiet_NaN(), 1), 0);
}

TEST(ValidateIGRF, ChecksTheProfileEndItsKindUses) {
  IGRFPROFILE p{45.0f, 10.0f, 100.0f, 2000.0f, 95.0f, 400.0f, 40000.0f, 2300.0f, 0};
  EXPECT_EQ(ValidateIGRFProfile(&p), 1);  // a single point ignores the second end
  p.kind = 2;
  EXPECT_EQ(ValidateIGRFProfile(&p), 0);  // longitude 400
  p.kind = 1;
  EXPECT_EQ(ValidateIGRFProfile(&p), 0);
  EXPECT_EQ(p.latitude2, 90.0f);
  EXPECT_EQ(ValidateIGRFProfile(&p), 1);  // clamped, it is now in range
  p.kind = 3;
  EXPECT_EQ(ValidateIGRFProfile(&p), 0);
  EXPECT_EQ(p.height2, 30000.0f);
  p.kind = 4;
  EXPECT_EQ(ValidateIGRFProfile(&p), 0);
  EXPECT_EQ(p.year2, 2200.0f);
}

TEST(ValidateIGRF, RefusesUnknownKindsAndBadFirstPoints) {
  IGRFPROFILE p{45.0f, 10.0f, 100.0f, 2000.0f, 0.0f, 0.0f, 0.0f, 2000.0f, 5};
  EXPECT_EQ(ValidateIGRFProfile(&p), 0);
  p.kind = 0;
  p.year = 1900.0f;
  p.height = -1.0f;
  EXPECT_EQ(ValidateIGRFProfile(&p), 0);
  EXPECT_EQ(p.year, 1940.0f);  // every check ran
  EXPECT_EQ(p.height, 0.0f);
  EXPECT_EQ(ValidateIGRFProfile(nullptr), 0);
}

}  // namespace
