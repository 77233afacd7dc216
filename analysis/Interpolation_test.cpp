#include <gtest/gtest.h>

#include "platform/ui/Prompts.h"
#include "profile/TessmorDoc.h"
#include "testsupport/FakePrompts.h"

namespace {

using tessmor::testing::FakePrompts;

void Fill(CTessmorDoc& doc, std::initializer_list<ProfilePoint> points) {
  for (const auto& p : points) doc.AddPoint(p);
  doc.m_bEquallySpaced = doc.FindUnequalSpacing() == 0 ? 1 : 0;
}

TEST(Interpolation, SamplesLieAThirdOfASpacingRightOfTheirReportedPlace) {
  FakePrompts prompts;
  CTessmorDoc doc;
  // A broken line: up to 10 mGal at 1 km, flat to 2.5 km, up to 40 at 4 km, down to 0 at 6 km.
  Fill(doc, {{0, 0.0}, {1000, 10.0}, {2500, 10.0}, {4000, 40.0}, {6000, 0.0}});
  doc.SetInterpolation(4, 500);
  ASSERT_EQ(doc.m_nInterpStatus, 0);
  ASSERT_EQ(doc.GetPointCount(10), 12);
  ASSERT_EQ(doc.m_interpolated.GetSize(), 12);
  // Sample k is taken at 166 + 500 k metres and reported at 500 k.
  EXPECT_EQ(doc.GetPoint(0, false).distance, 0);
  EXPECT_EQ(doc.GetPoint(11, false).distance, 5500);
  EXPECT_NEAR(doc.GetPoint(0, false).anomaly, 1.66, 1e-5);
  EXPECT_NEAR(doc.GetPoint(2, false).anomaly, 10.0, 1e-5);                            // at 1166 m
  EXPECT_NEAR(doc.GetPoint(5, false).anomaly, 10.0 + 30.0 * 166.0 / 1500.0, 1e-4);    // 2666 m
  EXPECT_NEAR(doc.GetPoint(11, false).anomaly, 40.0 - 40.0 * 1666.0 / 2000.0, 1e-4);  // 5666 m
  int lo = 0, hi = 0;
  doc.GetDistanceRange(lo, hi, 10);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 5500);
  EXPECT_TRUE(prompts.texts().empty());
}

TEST(Interpolation, TooFewPointsOrSamplesFailSilently) {
  FakePrompts prompts;
  CTessmorDoc three;
  Fill(three, {{0, 1.0}, {1000, 2.0}, {2500, 3.0}});
  three.SetInterpolation(4, 100);
  EXPECT_EQ(three.m_nInterpStatus, 1);
  EXPECT_EQ(three.m_interpolated.GetSize(), 0);

  CTessmorDoc four;
  Fill(four, {{0, 1.0}, {1000, 2.0}, {2500, 3.0}, {5000, 4.0}});
  four.SetInterpolation(4, 1000);  // 5 samples: enough
  EXPECT_EQ(four.m_nInterpStatus, 0);
  EXPECT_EQ(four.m_interpolated.GetSize(), 5);
  four.SetInterpolation(4, 1250);  // 4 samples: not enough, the old series stays
  EXPECT_EQ(four.m_nInterpStatus, 1);
  EXPECT_EQ(four.m_interpolated.GetSize(), 5);
  EXPECT_TRUE(prompts.texts().empty());
}

TEST(Interpolation, CoincidingDistancesKeepThePreviousSeries) {
  FakePrompts prompts;
  CTessmorDoc doc;
  Fill(doc, {{0, 1.0}, {1000, 2.0}, {2500, 3.0}, {4000, 4.0}, {6000, 5.0}});
  doc.SetInterpolation(4, 500);
  ASSERT_EQ(doc.m_nInterpStatus, 0);
  const float kept = doc.m_interpolated.GetAt(3);
  doc.m_points[2]->distance = 1000;
  doc.SetInterpolation(1, 500);
  EXPECT_EQ(doc.m_nInterpStatus, 1);
  EXPECT_EQ(prompts.texts(),
            std::vector<std::string>{"Cannot perform Interpolation\n Two or more anomaly values "
                                     "with the same X-value\n\nPlease Check the Data"});
  EXPECT_EQ(doc.m_interpolated.GetAt(3), kept);
  // A failed interpolation: the range falls back to the measured points.
  int lo = 0, hi = 0;
  doc.GetDistanceRange(lo, hi, 10);
  EXPECT_EQ(hi, 6000);
}

TEST(Interpolation, BackgroundChangeRunsItAgain) {
  FakePrompts prompts;
  CTessmorDoc doc;
  Fill(doc, {{0, 1.0}, {1000, 2.0}, {2500, 3.0}, {4000, 4.0}, {6000, 5.0}});
  doc.m_nSpacing = 500;
  doc.m_nInterpMethod = 4;
  doc.SetBackground(kBackgroundConstant, {0, 0.5}, {});
  EXPECT_EQ(doc.m_nInterpStatus, 0);
  EXPECT_EQ(doc.m_interpolated.GetSize(), 12);
  // The series keeps the measured anomalies; the background comes off in GetPoint.
  EXPECT_NEAR(doc.GetPoint(0, false).anomaly, 1.166, 1e-5);
  EXPECT_NEAR(doc.GetPoint(0, true).anomaly, 0.666, 1e-5);
}

}  // namespace
