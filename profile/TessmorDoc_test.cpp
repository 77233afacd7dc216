#include "profile/TessmorDoc.h"

#include <gtest/gtest.h>

#include "platform/ui/Prompts.h"
#include "testsupport/FakePrompts.h"

namespace {

using tessmor::testing::FakePrompts;

const char kLarge[] =
    "One or more Gravity Anomaly Values \n >than 10000mGal !\n \n Is This correct ?";
const char kZeros[] =
    "Greater than two anomaly values\n Are zero in this File\n \n Is This Correct ?";
const char kOrder[] =
    "One or More Spacings between Adjacent \nAnomaly Points are Zero or decreasing!\n \n Please "
    "Arrange in Increasing Order";

void Fill(CTessmorDoc& doc, std::initializer_list<ProfilePoint> points) {
  for (const auto& p : points) doc.AddPoint(p);
  doc.m_bEquallySpaced = doc.FindUnequalSpacing() == 0 ? 1 : 0;
}

TEST(TessmorDoc, StartsWithItsDefaults) {
  CTessmorDoc doc;
  EXPECT_EQ(doc.m_nInterpMethod, 4);
  EXPECT_EQ(doc.m_nBackgroundType, 32);
  EXPECT_EQ(doc.m_nSpacing, 1250);
  EXPECT_EQ(doc.m_nSaveType, -1);
  EXPECT_EQ(doc.m_bEquallySpaced, 1);
  EXPECT_EQ(doc.GetPointCount(10), 0);
  int lo = 7, hi = 7;
  doc.GetDistanceRange(lo, hi, 10);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 0);
}

TEST(TessmorDoc, EquallySpacedPointsServeThemselves) {
  CTessmorDoc doc;
  Fill(doc, {{0, 1.0}, {1000, 2.0}, {2000, 3.0}, {3000, 4.0}});
  EXPECT_EQ(doc.m_bEquallySpaced, 1);
  EXPECT_EQ(doc.GetEqualSpacing(), 1000);
  EXPECT_EQ(doc.GetPointCount(10), 4);
  EXPECT_EQ(doc.GetPoint(2, false).distance, 2000);
  EXPECT_EQ(doc.GetPoint(2, false).anomaly, 3.0);
  // Outside the series: an empty point, never a read past the end.
  EXPECT_EQ(doc.GetPoint(4, false).distance, 0);
  EXPECT_EQ(doc.GetPoint(-1, true).anomaly, 0.0);
}

TEST(TessmorDoc, UnequalSpacingIsFoundAndSampled) {
  CTessmorDoc doc;
  Fill(doc, {{0, 0.5}, {1000, 1.5}, {2500, 2.5}});
  EXPECT_EQ(doc.FindUnequalSpacing(), 3);
  EXPECT_EQ(doc.m_bEquallySpaced, 0);
  EXPECT_EQ(doc.GetEqualSpacing(), -1);
  // (2500 - 0) / 3 points, integer division.
  EXPECT_EQ(doc.DefaultSpacing(), 833);
  doc.m_nSpacing = 500;
  EXPECT_EQ(doc.GetPointCount(10), 5);
  EXPECT_EQ(doc.GetPointCount(1), 3);
}

TEST(TessmorDoc, ShortProfilesHaveNoSpacingToRead) {
  CTessmorDoc doc;
  EXPECT_EQ(doc.FindUnequalSpacing(), 0);
  EXPECT_EQ(doc.GetEqualSpacing(), 0);
  EXPECT_EQ(doc.DefaultSpacing(), 0);
  doc.AddPoint({1500, 2.0});
  EXPECT_EQ(doc.GetEqualSpacing(), 0);
  int lo = 0, hi = 0;
  doc.GetDistanceRange(lo, hi, 1);
  EXPECT_EQ(lo, 1500);
  EXPECT_EQ(hi, 1500);
  // An unequal profile whose spacing is zero has no samples rather than a division by zero.
  doc.m_bEquallySpaced = 0;
  doc.m_nSpacing = 0;
  EXPECT_EQ(doc.GetPointCount(10), 0);
  EXPECT_EQ(doc.InterpolateProfile(), 1);
}

TEST(TessmorDoc, BackgroundIsRemovedOnlyWhenAsked) {
  CTessmorDoc doc;
  Fill(doc, {{2000, 12.0}, {7000, 25.0}, {12000, 40.0}});
  // The line through (2 km, 10 mGal) and (12 km, 30 mGal): slope 0.002 mGal/m, level 6 mGal.
  doc.SetBackground(kBackgroundLinear, {2000, 10.0}, {12000, 30.0});
  EXPECT_DOUBLE_EQ(doc.m_dBackgroundSlope, 0.002);
  EXPECT_DOUBLE_EQ(doc.m_dBackgroundLevel, 6.0);
  EXPECT_DOUBLE_EQ(doc.GetPoint(1, true).anomaly, 25.0 - 20.0);
  EXPECT_DOUBLE_EQ(doc.GetPoint(1, false).anomaly, 25.0);
  ProfilePoint p1, p2;
  EXPECT_EQ(doc.GetBackground(p1, p2), kBackgroundLinear);
  EXPECT_EQ(p1.distance, 2000);
  EXPECT_DOUBLE_EQ(p1.anomaly, 10.0);
  EXPECT_EQ(p2.distance, 12000);
  EXPECT_DOUBLE_EQ(p2.anomaly, 30.0);

  doc.SetBackground(kBackgroundConstant, {0, 5.0}, {});
  EXPECT_EQ(doc.m_dBackgroundSlope, 0.0);
  EXPECT_DOUBLE_EQ(doc.GetPoint(0, true).anomaly, 7.0);
  doc.SetBackground(kBackgroundNone, {}, {});
  EXPECT_DOUBLE_EQ(doc.GetPoint(0, true).anomaly, 12.0);
  // The stored points never change.
  EXPECT_EQ(doc.m_points[0]->anomaly, 12.0);
}

TEST(TessmorDoc, LinearBackgroundThroughOneDistanceHasNoSlope) {
  CTessmorDoc doc;
  doc.SetBackground(kBackgroundLinear, {3000, 1.0}, {3000, 4.0});
  EXPECT_EQ(doc.m_dBackgroundSlope, 0.0);
  EXPECT_DOUBLE_EQ(doc.m_dBackgroundLevel, 1.0);
}

TEST(TessmorDoc, ValidationAcceptsTheLimitsAndAsksBeyondThem) {
  FakePrompts prompts;
  CTessmorDoc doc;
  Fill(doc, {{0, 10000.0}, {100, -10000.0}, {200, 0.0}, {300, 0.0}});
  EXPECT_EQ(doc.ValidateProfile(), 0);
  EXPECT_TRUE(prompts.texts().empty());

  doc.m_points[1]->anomaly = 10000.001;
  doc.m_points[0]->anomaly = 0.0;  // three zeros now
  prompts.Script({tessmor::kAnswerYes, tessmor::kAnswerYes});
  EXPECT_EQ(doc.ValidateProfile(), 0);
  EXPECT_EQ(prompts.texts(), (std::vector<std::string>{kLarge, kZeros}));
  EXPECT_EQ(prompts.shown()[0].style & tessmor::kPromptButtonMask,
            static_cast<unsigned>(tessmor::kPromptYesNoCancel));

  prompts.Clear();
  prompts.Script({tessmor::kAnswerYes, tessmor::kAnswerCancel});
  EXPECT_EQ(doc.ValidateProfile(), -2);
  prompts.Clear();
  prompts.Script({tessmor::kAnswerNo});
  EXPECT_EQ(doc.ValidateProfile(), -2);
  EXPECT_EQ(prompts.texts().size(), 1u);
}

TEST(TessmorDoc, ValidationRefusesRepeatedOrDecreasingDistances) {
  FakePrompts prompts;
  CTessmorDoc doc;
  Fill(doc, {{0, 1.0}, {500, 2.0}, {500, 3.0}});
  EXPECT_EQ(doc.ValidateProfile(), -2);
  EXPECT_EQ(prompts.texts(), std::vector<std::string>{kOrder});
  // The points read stay.
  EXPECT_EQ(doc.m_points.size(), 3u);
}

TEST(TessmorDoc, DeleteContentsKeepsTheSettings) {
  CTessmorDoc doc;
  Fill(doc, {{0, 1.0}, {1000, 2.0}});
  doc.m_nSpacing = 700;
  doc.m_interpolated.Add(1.0f);
  doc.DeleteContents();
  EXPECT_TRUE(doc.m_points.empty());
  EXPECT_EQ(doc.m_interpolated.GetSize(), 0);
  EXPECT_EQ(doc.m_nSpacing, 700);
}

}  // namespace
