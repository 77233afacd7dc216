#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "chart/items/VexaLine.h"
#include "chart/items/VexaString.h"
#include "chart/view/VexaView.h"
#include "plotsupport/Axis.h"
#include "testsupport/FakePrompts.h"

namespace {

// Texts and anchors are single-precision paper mm, ticks added up step by step.
constexpr float kTol = 1e-3f;

class AxisDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.AddView(&view);
    view.OnInitialUpdate();
    view.NewChart();
  }
  // Labels 3 mm high, title 4 mm, ticks 2 mm; with `step`, the scale is the caller's.
  AXIS Axis(float length, std::uint32_t flags, const char* title = "", float step = 0.0f,
            float scale = 0.0f, float origin = 0.0f, std::int32_t digits = -2) {
    AXIS a;
    a.length = length;
    a.flags = flags;
    a.tickLength = 2.0f;
    a.labelStyle = DefaultTextStyle();
    a.labelStyle.height = 3.0f;
    a.labelStyle.colour = 0x0000FF;
    a.titleStyle = DefaultTextStyle();
    a.titleStyle.height = 4.0f;
    std::strncpy(a.title, title, sizeof a.title - 1);
    a.fixedScale = step != 0.0f;
    a.origin = origin;
    a.scale = scale;
    a.step = step;
    a.labelDigits = digits;
    return a;
  }
  std::vector<CVEXALine*> Lines() {
    view.EndLine();
    std::vector<CVEXALine*> out;
    for (CLineStyle* s : doc.m_lineManager.AllStyles())
      for (int i = 0; i < s->GetLineCount(); ++i) out.push_back(s->GetLine(i));
    return out;
  }
  std::vector<CVEXAString*> Texts() {
    std::vector<CVEXAString*> out;
    for (CCharStyle* s : doc.m_charManager.AllStyles())
      for (int i = 0; i < s->GetStringCount(); ++i) out.push_back(s->GetString(i));
    return out;
  }
  // The text of each item, "|"-separated.
  std::string Joined() {
    std::string out;
    for (CVEXAString* t : Texts()) out += (out.empty() ? "" : "|") + t->GetLines().at(0);
    return out;
  }

  tessmor::testing::FakePrompts prompts;
  CVexaDoc doc;
  CVexaView view;
};

void ExpectAt(PaperPoint p, float x, float y) {
  EXPECT_NEAR(p.x, x, kTol);
  EXPECT_NEAR(p.y, y, kTol);
}

TEST_F(AxisDrawingTest, DistanceAxisGetsRoundTicksLabelsAndTitle) {
  view.ShiftOrigin(20, 30);
  AXIS axis = Axis(100.0f, 0, "Distance In Km");
  EXPECT_EQ(view.DrawAxis(0.0f, 12.3f, &axis), 0);
  // 12.3 km + 10 % gives 13; 7 intervals of 2 exceed it least: 0 … 14 km, 2-digit integer
  // labels (2 × 3 mm on ticks 100/7 mm apart: all labelled, 2 + 2 mm below). Flags 0 → 145.
  EXPECT_EQ(axis.flags, 145u);
  EXPECT_FLOAT_EQ(axis.step, 2.0f);
  EXPECT_EQ(axis.labelDigits, -2);
  EXPECT_EQ(axis.labelEvery, 0);

  const std::vector<CVEXALine*> lines = Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->GetCategory(), 4);
  ASSERT_EQ(lines[0]->GetPointCount(), 3 + 3 * 7);
  const std::vector<CVEXAString*> texts = Texts();
  ASSERT_EQ(texts.size(), 9u);
  EXPECT_EQ(Joined(), " 0| 2| 4| 6| 8|10|12|14|Distance In Km");
  for (int i = 0; i <= 7; ++i) {
    const float x = 20.0f + 100.0f * i / 7.0f;
    ExpectAt(lines[0]->GetPoint(3 * i), x, 30.0f);
    ExpectAt(lines[0]->GetPoint(3 * i + 1), x, 28.0f);
    ExpectAt(texts[i]->GetAnchor(), x, 26.0f);
    EXPECT_EQ(texts[i]->GetStyle()->GetTextStyle().justification, kJustifyCentreTop);
  }
  // Middle, label height + tick + 4 = 9 mm below, centre-top; the record's place unchanged.
  ExpectAt(texts[8]->GetAnchor(), 70.0f, 21.0f);
  EXPECT_EQ(texts[8]->GetStyle()->GetTextStyle().justification, kJustifyCentreTop);
  EXPECT_EQ(axis.titleY, 0.0f);
}

TEST_F(AxisDrawingTest, TurnedAxisDrawsAlongItAndRestoresTheFrame) {
  // At 90°, frame (x, y) is paper (-y, x); ticks and labels on the frame's positive side.
  AXIS axis = Axis(20.0f, kAxisLabelsPositiveSide | kAxisLabelsRotated, "", 5.0f, 0.5f);
  axis.angle = 90.0f;
  view.DrawAxis(0.0f, 0.0f, &axis);
  ASSERT_EQ(Lines().at(0)->GetPointCount(), 9);
  ExpectAt(Lines()[0]->GetPoint(7), -2.0f, 20.0f);
  ASSERT_EQ(Joined(), " 0| 5|10");
  ExpectAt(Texts()[2]->GetAnchor(), -4.0f, 20.0f);
  EXPECT_EQ(Texts()[2]->GetStyle()->GetTextStyle().font.lfEscapement, 900);
  EXPECT_EQ(view.GetTransform().rotation(), 0.0f);
  EXPECT_EQ(view.m_fTextAngle, 0.0f);
}

TEST_F(AxisDrawingTest, CrowdedLabelsGoOnEverySecondTick) {
  // 10 intervals of 5 mm, labels 6 mm: 6/5 > 0.83, 6/10 fits.
  AXIS axis = Axis(50.0f, 145, "mGal", 1.0f, 0.2f);
  axis.titleX = 3.0f;
  axis.titleY = -1.0f;
  view.DrawAxis(0.0f, 0.0f, &axis);
  EXPECT_EQ(axis.labelEvery, 1);
  ASSERT_EQ(Joined(), " 0| 2| 4| 6| 8|10|mGal");
  ExpectAt(Texts()[5]->GetAnchor(), 50.0f, -4.0f);
  // With a fixed scale the record's title place is an offset from the computed (25, -9).
  ExpectAt(Texts()[6]->GetAnchor(), 28.0f, -10.0f);
  EXPECT_EQ(axis.titleX, 3.0f);
}

TEST_F(AxisDrawingTest, EndOnlyLabelTruncatesWhileTickLabelsRound) {
  // 10 ticks 2 mm apart, labels 8 × 3 mm: even 24/20 is too much. End 20 × 0.395 = 7.9.
  AXIS end = Axis(20.0f, 145, "", 0.79f, 0.395f, 0.0f, -8);
  view.DrawAxis(0.0f, 0.0f, &end);
  EXPECT_EQ(end.labelEvery, -1);
  EXPECT_EQ(Joined(), "       7");
  ExpectAt(Texts()[0]->GetAnchor(), 20.0f, -4.0f);
  AXIS ticks = Axis(10.0f, 145, "", 1.0f, 0.1f, 7.9f, -1);
  view.DrawAxis(0.0f, 0.0f, &ticks);
  EXPECT_EQ(Joined(), "       7|8|9");
}

TEST_F(AxisDrawingTest, EmptyTitleWritesNothingAndNoLabelsFlagKeepsTicks) {
  AXIS plain = Axis(50.0f, 145, "", 5.0f, 0.2f);
  view.DrawAxis(0.0f, 0.0f, &plain);
  EXPECT_EQ(Joined(), " 0| 5|10");
  EXPECT_FLOAT_EQ(doc.m_charManager.GetTextStyle().height, 3.0f);
  EXPECT_EQ(doc.m_charManager.GetTextStyle().colour, 0x0000FFu);

  view.NewChart();
  AXIS bare = Axis(50.0f, kAxisNoLabels | kAxisDefaultFlags, "Depth", 1.0f, 0.2f);
  view.DrawAxis(0.0f, 0.0f, &bare);
  EXPECT_EQ(Lines().at(0)->GetPointCount(), 3 + 3 * 10);
  EXPECT_EQ(Joined(), "Depth");
}

TEST_F(AxisDrawingTest, UnusableScaleDrawsAPlainLine) {
  EXPECT_EQ(view.DrawAxis(0.0f, 1.0f, nullptr), 0);
  // No intervals (step NaN), and 100000 of them: the line alone.
  AXIS nan = Axis(30.0f, 145, "", std::nanf(""), 1.0f);
  AXIS dense = Axis(30.0f, 145, "", 0.0003f, 1.0f);
  view.DrawAxis(0.0f, 0.0f, &nan);
  view.DrawAxis(0.0f, 0.0f, &dense);
  const std::vector<CVEXALine*> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  for (const CVEXALine* line : lines) {
    ASSERT_EQ(line->GetPointCount(), 2);
    ExpectAt(line->GetPoint(1), 30.0f, 0.0f);
  }
  EXPECT_TRUE(Texts().empty());
}

TEST_F(AxisDrawingTest, IntegerLabelsBeyondTwoBillionKeepTheirValue) {
  // 0 … 3e9 in 6 steps of 5e8; the labels used to stop at 2147483647. End-only labels too.
  AXIS axis = Axis(150.0f, 145);
  view.DrawAxis(0.0f, 3e9f, &axis);
  ASSERT_EQ(axis.labelDigits, -10);
  std::string expected;
  for (long long i = 0; i <= 6; i += axis.labelEvery + 1) {
    const std::string value = std::to_string(i * 500000000LL);
    expected += (expected.empty() ? "" : "|") + std::string(10 - value.size(), ' ') + value;
  }
  EXPECT_EQ(Joined(), expected);
  EXPECT_NE(Joined().find("3000000000"), std::string::npos);

  view.NewChart();
  AXIS end = Axis(20.0f, 145, "", 5e8f, 4e9f / 20.0f, 0.0f, -10);
  view.DrawAxis(0.0f, 0.0f, &end);
  ASSERT_EQ(end.labelEvery, -1);
  EXPECT_EQ(Joined(), "4000000000");
}

TEST_F(AxisDrawingTest, DecimalLabelsStateTheirTickValues) {
  // A derivative range -0.099 … 0.072 becomes -0.123 … 0.080 in 7 steps of 0.029; every
  // second tick is labelled, each with the three decimals its value has.
  AXIS axis = Axis(100.0f, 145);
  view.DrawAxis(-0.099f, 0.072f, &axis);
  EXPECT_EQ(axis.labelDigits, 3);
  std::string expected;
  for (int i = 0; i <= 7; i += axis.labelEvery + 1) {
    static const char* const kValues[] = {"-0.123", "-0.094", "-0.065", "-0.036",
                                          "-0.007", " 0.022", " 0.051", " 0.080"};
    expected += (expected.empty() ? "" : "|") + std::string(kValues[i]);
  }
  EXPECT_EQ(Joined(), expected);
}

}  // namespace
