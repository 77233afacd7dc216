#include "util/SettingsText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

TEST(ScanSettingsText, ReadsEveryConversionInOrder) {
  const auto v = ScanSettingsText("3,0.25,255, -7,word", "%u,%f,%u,%d,%s");
  ASSERT_EQ(v.size(), 5u);
  EXPECT_EQ(std::get<std::uint32_t>(v[0]), 3u);
  EXPECT_EQ(std::get<float>(v[1]), 0.25f);
  EXPECT_EQ(std::get<std::uint32_t>(v[2]), 255u);
  EXPECT_EQ(std::get<std::int32_t>(v[3]), -7);
  EXPECT_EQ(std::get<std::string>(v[4]), "word");
}

TEST(ScanSettingsText, StopsAtTheFirstMismatch) {
  // The ";" does not match the "," of the format: only the first value counts.
  EXPECT_EQ(ScanSettingsText("1;2;3", "%d,%d,%d").size(), 1u);
  EXPECT_EQ(ScanSettingsText("1,x,3", "%d,%d,%d").size(), 1u);
  EXPECT_EQ(ScanSettingsText("", "%d").size(), 0u);
  EXPECT_EQ(ScanSettingsText("1,2", "%d,%d,%d").size(), 2u);
}

TEST(ScanSettingsText, TreatsFormatSpaceAsAnyRunOfWhiteSpace) {
  // A space of the format matches none, one or many white-space characters; a conversion
  // skips white space before its number, but a literal comma must come directly.
  EXPECT_EQ(ScanSettingsText("1,2,3", "%u, %u, %d").size(), 3u);
  EXPECT_EQ(ScanSettingsText("1,\t 2,\n3", "%u, %u, %d").size(), 3u);
  EXPECT_EQ(ScanSettingsText("1 ,2", "%u,%u").size(), 1u);
}

TEST(ScanSettingsText, WrapsNegativeUnsignedLikeA32BitStrtoul) {
  const auto v = ScanSettingsText("-1,+5", "%u,%u");
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(std::get<std::uint32_t>(v[0]), 4294967295u);
  EXPECT_EQ(std::get<std::uint32_t>(v[1]), 5u);
}

TEST(ScanSettingsText, RefusesNumbersBeyondTheirRange) {
  EXPECT_EQ(ScanSettingsText("2147483647", "%d").size(), 1u);
  EXPECT_EQ(ScanSettingsText("-2147483648", "%d").size(), 1u);
  EXPECT_EQ(ScanSettingsText("2147483648", "%d").size(), 0u);
  EXPECT_EQ(ScanSettingsText("4294967295", "%u").size(), 1u);
  EXPECT_EQ(ScanSettingsText("4294967296", "%u").size(), 0u);
  EXPECT_EQ(ScanSettingsText("99999999999999999999999", "%u").size(), 0u);
  EXPECT_EQ(ScanSettingsText("1e39", "%f").size(), 0u);
}

TEST(ScanSettingsText, ReadsRealsInEveryFormStrtofKnows) {
  const auto v = ScanSettingsText("+1.5e2 -0.5 .25 nan -inf", "%f %f %f %f %f");
  ASSERT_EQ(v.size(), 5u);
  EXPECT_EQ(std::get<float>(v[0]), 150.0f);
  EXPECT_EQ(std::get<float>(v[1]), -0.5f);
  EXPECT_EQ(std::get<float>(v[2]), 0.25f);
  EXPECT_TRUE(std::isnan(std::get<float>(v[3])));
  EXPECT_EQ(std::get<float>(v[4]), -INFINITY);
  EXPECT_EQ(ScanSettingsText("+-1", "%f").size(), 0u);
}

TEST(ScanSettingsText, IgnoresTheUsersDecimalComma) {
  // A German locale writes and reads "0,5"; settings texts always use the point.
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old ? old : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale here";
  const auto v = ScanSettingsText("0.5,2", "%f,%u");
  const std::string text = FormatSettingsReal(0.5);
  std::setlocale(LC_NUMERIC, saved.c_str());
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(std::get<float>(v[0]), 0.5f);
  EXPECT_EQ(text, "0.500000");
}

TEST(ScanSettingsText, ReadsLongConversionsAsThirtyTwoBit) {
  const auto v = ScanSettingsText("-500,7 %", "%ld,%lu %%");
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(std::get<std::int32_t>(v[0]), -500);
  EXPECT_EQ(std::get<std::uint32_t>(v[1]), 7u);
}

TEST(FormatSettingsReal, WritesWhatPrintfWritesWithSixDecimals) {
  EXPECT_EQ(FormatSettingsReal(0.2f), "0.200000");
  EXPECT_EQ(FormatSettingsReal(-12.5), "-12.500000");
  EXPECT_EQ(FormatSettingsReal(0.0000004), "0.000000");
  EXPECT_EQ(FormatSettingsReal(0.0000005000001), "0.000001");
  EXPECT_EQ(FormatSettingsReal(1e20), "100000000000000000000.000000");
  EXPECT_EQ(FormatSettingsReal(NAN), "nan");
  EXPECT_EQ(FormatSettingsReal(-INFINITY), "-inf");
}

}  // namespace
