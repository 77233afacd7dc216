#include "util/NumberFormat.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct FixedCase {
  double value;
  int decimals;
  const char* text;
};

// Checks the text ftoadS writes through a generous buffer and that it returns minus its
// length.
void ExpectFixed(const FixedCase& c) {
  char buf[1024];
  const int result = ftoadS(c.value, buf, c.decimals, sizeof buf);
  EXPECT_STREQ(buf, c.text) << c.value << " with " << c.decimals;
  EXPECT_EQ(result, -static_cast<int>(std::strlen(c.text))) << c.value;
  EXPECT_EQ(FormatFixed(c.value, c.decimals), c.text);
}

// --- fixed-decimal text ---

TEST(FixedDecimals, WritesTheDocumentedExamples) {
  for (const FixedCase& c : std::vector<FixedCase>{{12.3456, 3, " 12.346"},
                                                   {-2.5, 3, "-2.500"},
                                                   {0.0, 3, "0.000"},
                                                   {0.0004, 3, " 0.000"},
                                                   {-0.0004, 3, "0.000"},
                                                   {1234567.0, 3, " 1234567.000"},
                                                   {0.0123, 2, " 0.01"},
                                                   {0.6, 0, " 1"},
                                                   {0.4, 0, "0"}}) {
    ExpectFixed(c);
  }
}

TEST(FixedDecimals, RoundsHalvesAwayFromZeroAsWritten) {
  // 0.125 is exact in binary; 1.005 and 2.675 are stored just below the half, and the text
  // follows the written value.
  for (const FixedCase& c : std::vector<FixedCase>{{2.5, 0, " 3"},
                                                   {-2.5, 0, "-3"},
                                                   {0.125, 2, " 0.13"},
                                                   {-0.125, 2, "-0.13"},
                                                   {1.005, 2, " 1.01"},
                                                   {2.675, 2, " 2.68"},
                                                   {-0.0009, 4, "-0.0009"},
                                                   {-0.6, 0, "-1"},
                                                   {-0.4, 0, "0"},
                                                   {-0.0, 2, "0.00"}}) {
    ExpectFixed(c);
  }
}

TEST(FixedDecimals, WritesEveryIntegerDigitOfLargeValues) {
  // 1e30 to 15 significant digits is a one and thirty zeros.
  const std::string zeros(30, '0');
  ExpectFixed({1e30, 0, (" 1" + zeros).c_str()});
  ExpectFixed({-1e30, 1, ("-1" + zeros + ".0").c_str()});
  ExpectFixed({12345678901.25, 1, " 12345678901.3"});
  EXPECT_EQ(FormatFixed(std::numeric_limits<double>::max(), 0).size(), 310u);
}

TEST(FixedDecimals, PointerFormsReadTheirArguments) {
  const float f = 12.3456f;
  const double d = -2.5;
  const int three = 3;
  char buf[32];
  EXPECT_EQ(ftoa(&f, buf, &three, sizeof buf), -7);
  EXPECT_STREQ(buf, " 12.346");
  EXPECT_EQ(ftoad(&d, buf, &three, sizeof buf), -6);
  EXPECT_STREQ(buf, "-2.500");
  EXPECT_EQ(ftoa(nullptr, buf, &three, sizeof buf), 0);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(ftoad(&d, buf, nullptr, sizeof buf), 0);
}

TEST(FixedDecimals, DecimalsOutsideTheUsefulRange) {
  ExpectFixed({2.6, -3, " 3"});  // negative decimals count as none
  ExpectFixed({1.0, kMaxFixedDecimals, (" 1." + std::string(kMaxFixedDecimals, '0')).c_str()});
  ExpectFixed({1.5e-12, 13, " 0.0000000000015"});
  char buf[1024] = "x";
  EXPECT_EQ(ftoadS(1.0, buf, kMaxFixedDecimals + 1, sizeof buf), 0);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(FormatFixed(1.0, INT_MAX), "");
}

TEST(FixedDecimals, WritesNaNAndInfinitiesAsWords) {
  ExpectFixed({std::nan(""), 3, " nan"});
  ExpectFixed({kInf, 3, " inf"});
  ExpectFixed({-kInf, 0, "-inf"});
}

TEST(FixedDecimals, WritesAPointWhateverTheLocale) {
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no de_DE.UTF-8 locale";
  const std::string text = FormatFixed(12.3456, 3);
  const int same = AreSamef(1.0000001f, 1.0f);
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(text, " 12.346");
  EXPECT_EQ(same, 1);
}

TEST(FixedDecimalsGuard, WritesWhenTextAndTerminatorJustFitAndRefusesOneByteLess) {
  char buf[9];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(ftoadS(12.3456, buf, 3, 8), -7);
  EXPECT_STREQ(buf, " 12.346");
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(ftoadS(12.3456, buf, 3, 7), 0);
  EXPECT_EQ(buf[0], '\0');
  EXPECT_EQ(buf[1], 'x');  // nothing else written
  EXPECT_EQ(ftoadS(1e30, buf, 3, sizeof buf), 0);
}

TEST(FixedDecimalsGuard, TouchesNothingWithZeroSizeOrNullBuffer) {
  char buf[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(ftoadS(1.0, buf, 1, 0), 0);
  EXPECT_EQ(buf[0], 'x');
  EXPECT_EQ(ftoadS(1.0, nullptr, 1, 16), 0);
}

// --- rounding to integers ---

TEST(Rounding, NearestIntegerTakesHalvesUpward) {
  EXPECT_EQ(nintf(-0.5f), 0);
  EXPECT_EQ(nintf(0.5f), 1);
  EXPECT_EQ(nintd(2.5), 3);
  EXPECT_EQ(nintd(-2.5), -2);
  EXPECT_EQ(nintd(-2.6), -3);
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
  EXPECT_EQ(nintd(2147483646.6), INT_MAX);
  EXPECT_EQ(nintd(-2147483648.4), INT_MIN);
  EXPECT_EQ(nintd(std::nan("")), 0);
  EXPECT_EQ(nintf(std::numeric_limits<float>::infinity()), INT_MAX);
  EXPECT_EQ(nintf(kNaN), 0);
  EXPECT_EQ(RoundUp(-kInf), INT_MIN);
  EXPECT_EQ(RoundUp(std::nan("")), 0);
}

// --- comparison ---

TEST(Comparison, AgreesToSixOrTenSignificantDigits) {
  EXPECT_EQ(AreSamef(1.0000001f, 1.0f), 1);
  EXPECT_EQ(AreSamef(1.00001f, 1.0f), 0);
  EXPECT_EQ(AreSamef(123456.4f, 123456.0f), 1);
  EXPECT_EQ(AreSamef(-1.0f, 1.0f), 0);
  EXPECT_EQ(AreSamef(9.9999996f, 10.0f), 1);  // rounds to 1.00000e+01
  EXPECT_EQ(AreSamed(1.0 + 1e-11, 1.0), 1);
  EXPECT_EQ(AreSamed(1.0 + 1e-9, 1.0), 0);
}

TEST(Comparison, ZerosOfEitherSignAgreeAndNaNAgreesWithNothing) {
  EXPECT_EQ(AreSamef(0.0f, -0.0f), 1);
  EXPECT_EQ(AreSamef(kNaN, kNaN), 0);
  EXPECT_EQ(AreSamed(kInf, kInf), 1);
  EXPECT_EQ(AreSamed(kInf, -kInf), 0);
}

TEST(Comparison, DecimalPlacesWorthShowing) {
  EXPECT_EQ(AreDecimalPlaces(2.5f), 1);
  EXPECT_EQ(AreDecimalPlaces(-2.5f), 1);
  EXPECT_EQ(AreDecimalPlaces(2.0f), 0);
  EXPECT_EQ(AreDecimalPlaces(2.9995f), 0);
  EXPECT_EQ(AreDecimalPlaces(2.00005f), 0);
  EXPECT_EQ(AreDecimalPlaces(kNaN), 0);
}

TEST(Comparison, ZeroTestsAreBitwise) {
  EXPECT_EQ(IsZero(0.0f), 1);
  EXPECT_EQ(IsZero(-0.0f), 0);
  EXPECT_EQ(IsZero(1e-45f), 0);
  EXPECT_EQ(IsZerol(0.0), 1);
  EXPECT_EQ(IsZerol(-0.0), 0);
}

TEST(Angles, UseTheLibraryPi) {
  // The library's pi is 3.141592654, about 4.1e-10 above the true value.
  EXPECT_NEAR(Rad(180.0), 3.141592654, 1e-15);
  EXPECT_GT(std::fabs(Rad(180.0) - 3.14159265358979), 3e-10);
  EXPECT_NEAR(Deg(3.141592654), 180.0, 1e-12);
  EXPECT_NEAR(Deg(Rad(-37.5)), -37.5, 1e-12);
}

// --- sorting ---

TEST(SortFloats, AscendingWithCode200AndDescendingOtherwise) {
  std::vector<float> v{3.0f, 1.0f, 2.0f};
  SortFloatArray(v.data(), 3, 200);
  EXPECT_EQ(v, (std::vector<float>{1.0f, 2.0f, 3.0f}));
  SortFloatArray(v.data(), 3, 201);
  EXPECT_EQ(v, (std::vector<float>{3.0f, 2.0f, 1.0f}));
  SortFloatArray(nullptr, 10, 200);
  SortFloatArray(v.data(), -5, 200);
  EXPECT_EQ(v, (std::vector<float>{3.0f, 2.0f, 1.0f}));
}

TEST(SortFloats, PutsNaNsLastInEitherOrder) {
  std::vector<float> v{2.0f, kNaN, 1.0f, kNaN, 3.0f};
  for (unsigned char order : {200, 1}) {
    SortFloatArray(v.data(), 5, order);
    const std::vector<float> numbers(v.begin(), v.begin() + 3);
    EXPECT_EQ(numbers,
              order == 200 ? (std::vector<float>{1, 2, 3}) : (std::vector<float>{3, 2, 1}));
    EXPECT_TRUE(std::isnan(v[3]) && std::isnan(v[4]));
  }
}

// --- rounding of directions ---

TEST(RoundDirection, BringsDeclinationsAbove360BackButKeeps360) {
  PMVECTOR v{2.5, 359.96f, 10.0f};
  RoundVec(&v, 1);
  EXPECT_EQ(v.dec, 360.0f);
  EXPECT_EQ(v.intensity, 2.5);
  v.dec = 361.25f;
  RoundVec(&v, 1);
  // 361.3 held in single precision is 361.2999878; less 360 leaves 1.2999878, within one
  // single-precision step at 361 (2^-15) of 1.3.
  EXPECT_NEAR(v.dec, 1.3f, 3.1e-5f);
  v.dec = 1e30f;  // far too many turns to take off one by one
  RoundVec(&v, 1);
  EXPECT_GT(v.dec, 0.0f);
  EXPECT_LE(v.dec, 360.0f);
}

TEST(RoundDirection, InclinationHalvesGoAwayFromZeroAndDeclinationHalvesUpward) {
  // Halves of .5 are exact in binary.
  PMVECTOR v{1.0, -10.5f, -12.5f};
  RoundVec(&v, 0);
  EXPECT_EQ(v.inc, -13.0f);
  EXPECT_EQ(v.dec, -10.0f);
  v.inc = 12.5f;
  RoundVec(&v, 0);
  EXPECT_EQ(v.inc, 13.0f);
}

TEST(RoundDirection, KeepsValuesThatCannotCarryTheDecimals) {
  PMVECTOR v{1.0, 12.345f, kNaN};
  RoundVec(&v, 60);
  EXPECT_EQ(v.dec, 12.345f);
  EXPECT_TRUE(std::isnan(v.inc));
  RoundVec(nullptr, 1);
}

}  // namespace
