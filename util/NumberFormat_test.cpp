#include "util/NumberFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

// The text ftoadS writes, with its result, through a generous buffer.
struct Fixed {
  std::string text;
  int result;
};

Fixed WriteFixed(double value, int decimals) {
  char buf[1024];
  std::memset(buf, 'x', sizeof buf);
  const int result = ftoadS(value, buf, decimals, sizeof buf);
  return {buf, result};
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// --- fixed-decimal text ---

TEST(FixedDecimals, WritesDocumentedExamplesWithThreeDecimals) {
  EXPECT_EQ(WriteFixed(12.3456, 3).text, " 12.346");
  EXPECT_EQ(WriteFixed(12.3456, 3).result, -7);
  EXPECT_EQ(WriteFixed(-2.5, 3).text, "-2.500");
  EXPECT_EQ(WriteFixed(-2.5, 3).result, -6);
  EXPECT_EQ(WriteFixed(1234567.0, 3).text, " 1234567.000");
  EXPECT_EQ(WriteFixed(1234567.0, 3).result, -12);
}

TEST(FixedDecimals, ZeroAndValuesRoundingToZeroLoseTheirSignPlace) {
  EXPECT_EQ(WriteFixed(0.0, 3).text, "0.000");
  EXPECT_EQ(WriteFixed(0.0, 3).result, -5);
  EXPECT_EQ(WriteFixed(-0.0004, 3).text, "0.000");
  EXPECT_EQ(WriteFixed(-0.0004, 3).result, -5);
  EXPECT_EQ(WriteFixed(-0.0, 2).text, "0.00");
  // A positive value that rounds to zero keeps its space.
  EXPECT_EQ(WriteFixed(0.0004, 3).text, " 0.000");
  EXPECT_EQ(WriteFixed(0.0004, 3).result, -6);
}

TEST(FixedDecimals, WritesDocumentedExamplesWithFewerDecimals) {
  EXPECT_EQ(WriteFixed(0.0123, 2).text, " 0.01");
  EXPECT_EQ(WriteFixed(0.6, 0).text, " 1");
  EXPECT_EQ(WriteFixed(0.6, 0).result, -2);
  EXPECT_EQ(WriteFixed(0.4, 0).text, "0");
  EXPECT_EQ(WriteFixed(0.4, 0).result, -1);
  EXPECT_EQ(WriteFixed(-0.4, 0).text, "0");
}

TEST(FixedDecimals, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(WriteFixed(2.5, 0).text, " 3");
  EXPECT_EQ(WriteFixed(-2.5, 0).text, "-3");
  // 0.125 is exact in binary, so these are true halves.
  EXPECT_EQ(WriteFixed(0.125, 2).text, " 0.13");
  EXPECT_EQ(WriteFixed(-0.125, 2).text, "-0.13");
  EXPECT_EQ(WriteFixed(0.124, 2).text, " 0.12");
}

TEST(FixedDecimals, RoundsDecimalHalvesAsWritten) {
  // 1.005 and 2.675 are stored slightly below the half; the text follows the written value.
  EXPECT_EQ(WriteFixed(1.005, 2).text, " 1.01");
  EXPECT_EQ(WriteFixed(2.675, 2).text, " 2.68");
  EXPECT_EQ(WriteFixed(-1.005, 2).text, "-1.01");
}

TEST(FixedDecimals, NegativeValuesBelowOneKeepTheirSignWhenADigitShows) {
  EXPECT_EQ(WriteFixed(-0.0009, 4).text, "-0.0009");
  EXPECT_EQ(WriteFixed(-0.25, 1).text, "-0.3");
  EXPECT_EQ(WriteFixed(-0.6, 0).text, "-1");
}

TEST(FixedDecimals, WritesEveryIntegerDigitOfLargeValues) {
  // 1e30 to 15 significant digits is a one and thirty zeros.
  EXPECT_EQ(WriteFixed(1e30, 0).text, " 1" + std::string(30, '0'));
  EXPECT_EQ(WriteFixed(-1e30, 1).text, "-1" + std::string(30, '0') + ".0");
  EXPECT_EQ(WriteFixed(12345678901.25, 1).text, " 12345678901.3");
  EXPECT_EQ(WriteFixed(std::numeric_limits<double>::max(), 0).text.size(), 310u);
}

TEST(FixedDecimals, NarrowFloatsAreWidenedFirst) {
  const float f = 12.3456f;
  const int three = 3;
  char buf[32];
  EXPECT_EQ(ftoa(&f, buf, &three, sizeof buf), -7);
  EXPECT_STREQ(buf, " 12.346");
  const double d = -2.5;
  EXPECT_EQ(ftoad(&d, buf, &three, sizeof buf), -6);
  EXPECT_STREQ(buf, "-2.500");
}

TEST(FixedDecimals, FormatFixedGivesTheSameTextUntruncated) {
  for (double v : {12.3456, -2.5, 0.0, -0.0004, 0.0004, 1234567.0, 1e30, -7.77777}) {
    for (int d : {0, 1, 3, 10}) {
      EXPECT_EQ(FormatFixed(v, d), WriteFixed(v, d).text) << v << " " << d;
    }
  }
}

TEST(FixedDecimalsGuard, WritesWhenTextAndTerminatorJustFit) {
  char buf[8];
  EXPECT_EQ(ftoadS(12.3456, buf, 3, 8), -7);
  EXPECT_STREQ(buf, " 12.346");
}

TEST(FixedDecimalsGuard, RefusesWithEmptyTextWhenOneByteShort) {
  char buf[8];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(ftoadS(12.3456, buf, 3, 7), 0);
  EXPECT_EQ(buf[0], '\0');
  EXPECT_EQ(buf[7], 'x');  // nothing written beyond the stated size
}

TEST(FixedDecimalsGuard, TouchesNothingWithZeroSizeOrNullBuffer) {
  char buf[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(ftoadS(1.0, buf, 1, 0), 0);
  EXPECT_EQ(buf[0], 'x');
  EXPECT_EQ(ftoadS(1.0, nullptr, 1, 16), 0);
  const int one = 1;
  EXPECT_EQ(ftoa(nullptr, buf, &one, sizeof buf), 0);
  EXPECT_EQ(buf[0], '\0');
  const double d = 1.0;
  EXPECT_EQ(ftoad(&d, buf, nullptr, sizeof buf), 0);
}

TEST(FixedDecimalsGuard, LargeValueIsRefusedBySmallBuffer) {
  char buf[16];
  EXPECT_EQ(ftoadS(1e30, buf, 3, sizeof buf), 0);
  EXPECT_STREQ(buf, "");
}

TEST(FixedDecimalsDecimals, NegativeDecimalsCountAsNone) {
  EXPECT_EQ(WriteFixed(2.6, -3).text, " 3");
  EXPECT_EQ(WriteFixed(0.4, -1).text, "0");
}

TEST(FixedDecimalsDecimals, WritesUpToTheLimitAndRefusesBeyond) {
  const Fixed most = WriteFixed(1.0, kMaxFixedDecimals);
  EXPECT_EQ(most.result, -(3 + kMaxFixedDecimals));
  EXPECT_EQ(most.text, " 1." + std::string(kMaxFixedDecimals, '0'));
  const Fixed beyond = WriteFixed(1.0, kMaxFixedDecimals + 1);
  EXPECT_EQ(beyond.result, 0);
  EXPECT_EQ(beyond.text, "");
  EXPECT_EQ(FormatFixed(1.0, INT_MAX), "");
}

TEST(FixedDecimalsDecimals, ShowsTheDigitsOfSmallValuesWithManyDecimals) {
  EXPECT_EQ(WriteFixed(1.5e-12, 13).text, " 0.0000000000015");
}

TEST(FixedDecimalsSpecial, WritesNaNAndInfinitiesAsWords) {
  EXPECT_EQ(WriteFixed(std::nan(""), 3).text, " nan");
  EXPECT_EQ(WriteFixed(std::nan(""), 3).result, -4);
  EXPECT_EQ(WriteFixed(kInf, 3).text, " inf");
  EXPECT_EQ(WriteFixed(-kInf, 0).text, "-inf");
}

// --- rounding to integers ---

TEST(Rounding, NearestIntegerTakesHalvesUpward) {
  EXPECT_EQ(nintf(-0.5f), 0);
  EXPECT_EQ(nintf(0.5f), 1);
  EXPECT_EQ(nintd(2.5), 3);
  EXPECT_EQ(nintd(-2.5), -2);
  EXPECT_EQ(nintd(-2.6), -3);
  EXPECT_EQ(nintd(7.49), 7);
}

TEST(Rounding, NearestIntegerOfFloatAddsTheHalfInDoublePrecision) {
  // 0.49999997 + 0.5 is below 1 exactly, though in single precision it would round to 1.
  EXPECT_EQ(nintf(0.49999997f), 0);
}

TEST(Rounding, RoundUpGoesAwayFromZero) {
  EXPECT_EQ(RoundUp(-1.2), -2);
  EXPECT_EQ(RoundUp(1.2), 2);
  EXPECT_EQ(RoundUp(0.0), 0);
  EXPECT_EQ(RoundUp(3.0), 3);
}

TEST(Rounding, ClampsOutsideTheIntegerRangeAndMapsNaNToZero) {
  EXPECT_EQ(nintd(1e10), INT_MAX);
  EXPECT_EQ(nintd(-1e10), INT_MIN);
  EXPECT_EQ(nintd(2147483646.6), INT_MAX);
  EXPECT_EQ(nintd(-2147483648.4), INT_MIN);
  EXPECT_EQ(nintd(std::nan("")), 0);
  EXPECT_EQ(nintf(std::numeric_limits<float>::infinity()), INT_MAX);
  EXPECT_EQ(nintf(kNaN), 0);
  EXPECT_EQ(RoundUp(-kInf), INT_MIN);
  EXPECT_EQ(RoundUp(3e9), INT_MAX);
  EXPECT_EQ(RoundUp(std::nan("")), 0);
}

// --- comparison ---

TEST(Comparison, SinglesAgreeToSixSignificantDigits) {
  EXPECT_EQ(AreSamef(1.0000001f, 1.0f), 1);
  EXPECT_EQ(AreSamef(1.00001f, 1.0f), 0);
  EXPECT_EQ(AreSamef(123456.4f, 123456.0f), 1);
  EXPECT_EQ(AreSamef(123456.6f, 123456.0f), 0);
  EXPECT_EQ(AreSamef(-1.0f, 1.0f), 0);
  EXPECT_EQ(AreSamef(1.0f, 10.0f), 0);
}

TEST(Comparison, RoundingIntoTheNextDecadeStillCompares) {
  // 9.9999996 to six digits is 1.00000e+01.
  EXPECT_EQ(AreSamef(9.9999996f, 10.0f), 1);
}

TEST(Comparison, DoublesAgreeToTenSignificantDigits) {
  EXPECT_EQ(AreSamed(1.0 + 1e-11, 1.0), 1);
  EXPECT_EQ(AreSamed(1.0 + 1e-9, 1.0), 0);
  EXPECT_EQ(AreSamed(-3.25e-200, -3.25e-200), 1);
}

TEST(Comparison, ZerosOfEitherSignAgreeAndNaNAgreesWithNothing) {
  EXPECT_EQ(AreSamef(0.0f, -0.0f), 1);
  EXPECT_EQ(AreSamed(-0.0, 0.0), 1);
  EXPECT_EQ(AreSamef(kNaN, kNaN), 0);
  EXPECT_EQ(AreSamed(std::nan(""), 1.0), 0);
  EXPECT_EQ(AreSamed(kInf, kInf), 1);
  EXPECT_EQ(AreSamed(kInf, -kInf), 0);
}

TEST(Comparison, DecimalPlacesWorthShowing) {
  EXPECT_EQ(AreDecimalPlaces(2.5f), 1);
  EXPECT_EQ(AreDecimalPlaces(-2.5f), 1);
  EXPECT_EQ(AreDecimalPlaces(2.0f), 0);
  EXPECT_EQ(AreDecimalPlaces(2.9995f), 0);
  EXPECT_EQ(AreDecimalPlaces(2.00005f), 0);
  EXPECT_EQ(AreDecimalPlaces(0.25f), 1);
  EXPECT_EQ(AreDecimalPlaces(kNaN), 0);
  EXPECT_EQ(AreDecimalPlaces(std::numeric_limits<float>::infinity()), 0);
}

TEST(Comparison, ZeroTestsAreBitwise) {
  EXPECT_EQ(IsZero(0.0f), 1);
  EXPECT_EQ(IsZero(-0.0f), 0);
  EXPECT_EQ(IsZero(1e-45f), 0);
  EXPECT_EQ(IsZerol(0.0), 1);
  EXPECT_EQ(IsZerol(-0.0), 0);
  EXPECT_EQ(IsZerol(5e-324), 0);
}

// --- angles ---

TEST(Angles, UseTheLibraryPi) {
  // The library's pi is 3.141592654, about 4.1e-10 above the true value.
  EXPECT_NEAR(Rad(180.0), 3.141592654, 1e-15);
  EXPECT_GT(std::fabs(Rad(180.0) - 3.14159265358979), 3e-10);
  EXPECT_NEAR(Deg(3.141592654), 180.0, 1e-12);
  EXPECT_NEAR(Rad(90.0), 1.570796327, 1e-15);
}

TEST(Angles, DegreesAndRadiansAreInverse) {
  for (double deg : {-720.0, -37.5, 0.0, 12.25, 359.9}) {
    EXPECT_NEAR(Deg(Rad(deg)), deg, 1e-12 * std::max(1.0, std::fabs(deg)));
  }
}

// --- sorting ---

TEST(SortFloats, AscendingWithCode200AndDescendingOtherwise) {
  std::vector<float> v{3.0f, 1.0f, 2.0f};
  SortFloatArray(v.data(), 3, 200);
  EXPECT_EQ(v, (std::vector<float>{1.0f, 2.0f, 3.0f}));
  SortFloatArray(v.data(), 3, 0);
  EXPECT_EQ(v, (std::vector<float>{3.0f, 2.0f, 1.0f}));
  v = {3.0f, 1.0f, 2.0f};
  SortFloatArray(v.data(), 3, 201);
  EXPECT_EQ(v, (std::vector<float>{3.0f, 2.0f, 1.0f}));
}

TEST(SortFloats, SortsALargeArrayAndKeepsEveryValue) {
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> dist(-1000.0f, 1000.0f);
  std::vector<float> v(5000);
  for (float& x : v) x = dist(gen);
  std::vector<float> expected = v;
  std::sort(expected.begin(), expected.end());
  SortFloatArray(v.data(), static_cast<int>(v.size()), 200);
  EXPECT_EQ(v, expected);
}

TEST(SortFloats, PutsNaNsLastInEitherOrder) {
  std::vector<float> v{2.0f, kNaN, 1.0f, kNaN, 3.0f};
  SortFloatArray(v.data(), 5, 200);
  EXPECT_EQ((std::vector<float>{v[0], v[1], v[2]}), (std::vector<float>{1.0f, 2.0f, 3.0f}));
  EXPECT_TRUE(std::isnan(v[3]) && std::isnan(v[4]));
  SortFloatArray(v.data(), 5, 1);
  EXPECT_EQ((std::vector<float>{v[0], v[1], v[2]}), (std::vector<float>{3.0f, 2.0f, 1.0f}));
  EXPECT_TRUE(std::isnan(v[3]) && std::isnan(v[4]));
}

TEST(SortFloats, IgnoresNullAndShortArrays) {
  SortFloatArray(nullptr, 10, 200);
  float one = 4.0f;
  SortFloatArray(&one, 1, 200);
  SortFloatArray(&one, -5, 200);
  EXPECT_EQ(one, 4.0f);
}

// --- rounding of directions ---

TEST(RoundDirection, DeclinationJustBelow360RoundsTo360AndStays) {
  PMVECTOR v{2.5, 359.96f, 10.0f};
  RoundVec(&v, 1);
  EXPECT_EQ(v.dec, 360.0f);
  EXPECT_EQ(v.intensity, 2.5);
}

TEST(RoundDirection, DeclinationAbove360IsBroughtBack) {
  PMVECTOR v{1.0, 361.25f, 0.0f};
  RoundVec(&v, 1);
  // 361.3 held in single precision is 361.2999878; less 360 leaves 1.2999878, within
  // one single-precision step at 361 (2^-15) of 1.3.
  EXPECT_NEAR(v.dec, 1.3f, 3.1e-5f);
  PMVECTOR w{1.0, 720.0f, 0.0f};
  RoundVec(&w, 0);
  EXPECT_EQ(w.dec, 360.0f);
}

TEST(RoundDirection, HugeDeclinationEndsWithin360) {
  PMVECTOR v{1.0, 1e30f, 0.0f};
  RoundVec(&v, 1);
  EXPECT_GT(v.dec, 0.0f);
  EXPECT_LE(v.dec, 360.0f);
}

TEST(RoundDirection, InclinationHalvesGoAwayFromZero) {
  // 12.5 and -12.5 are exact in binary, so these are true halves.
  PMVECTOR v{1.0, 0.0f, -12.5f};
  RoundVec(&v, 0);
  EXPECT_EQ(v.inc, -13.0f);
  v.inc = 12.5f;
  RoundVec(&v, 0);
  EXPECT_EQ(v.inc, 13.0f);
  v.inc = -45.04f;
  RoundVec(&v, 1);
  EXPECT_FLOAT_EQ(v.inc, -45.0f);
}

TEST(RoundDirection, DeclinationHalvesGoUpward) {
  PMVECTOR v{1.0, -10.5f, 0.0f};
  RoundVec(&v, 0);
  EXPECT_EQ(v.dec, -10.0f);
}

TEST(RoundDirection, KeepsValuesThatCannotCarryTheDecimals) {
  PMVECTOR v{1.0, 12.345f, kNaN};
  RoundVec(&v, 60);
  EXPECT_EQ(v.dec, 12.345f);
  EXPECT_TRUE(std::isnan(v.inc));
  RoundVec(nullptr, 1);
}

}  // namespace
