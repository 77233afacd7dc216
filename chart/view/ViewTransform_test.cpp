#include "chart/view/ViewTransform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "chart/paper/Mapper.h"
#include "platform/io/Settings.h"
#include "testsupport/RecordingDC.h"

namespace {

using tessmor::POINT;
using tessmor::RECT;

// The angles are converted with π = 3.141592654, 4e-10 off the true value, so a quarter turn
// leaves components of about 2e-10 where exact arithmetic has 0.
constexpr double kAngleTol = 1e-9;

// Each test starts from an empty save slot, which every transform of the process shares.
class ViewTransformTest : public ::testing::Test {
 protected:
  ViewTransformTest() { CViewTransform().SaveRestoreTransform(-1); }
  ~ViewTransformTest() override { CViewTransform().SaveRestoreTransform(-1); }
};

void ExpectNear(PaperPointD p, double x, double y, double tol) {
  EXPECT_NEAR(p.x, x, tol);
  EXPECT_NEAR(p.y, y, tol);
}

void ExpectIdentity(const CViewTransform& t) {
  EXPECT_EQ(t.originX(), 0.0);
  EXPECT_EQ(t.originY(), 0.0);
  EXPECT_EQ(t.shiftX(), 0.0);
  EXPECT_EQ(t.shiftY(), 0.0);
  EXPECT_EQ(t.scaleX(), 1.0f);
  EXPECT_EQ(t.scaleY(), 1.0f);
  EXPECT_EQ(t.rotation(), 0.0f);
}

// --- world to paper ---

TEST_F(ViewTransformTest, NewTransformMapsWorldUnitsToMillimetres) {
  CViewTransform t;
  ExpectIdentity(t);
  EXPECT_EQ(t.factor(), 1.0f);
  const PaperPointD p = t.WorldToPaper(3.0, 4.0);
  EXPECT_EQ(p.x, 3.0);
  EXPECT_EQ(p.y, 4.0);
}

TEST_F(ViewTransformTest, ScalesAndFactorMultiplyWorldUnits) {
  CViewTransform t;
  ASSERT_TRUE(t.SetScale(2.0f, 0.5f));
  ASSERT_TRUE(t.SetFactor(3.0f));
  const PaperPointD p = t.WorldToPaper(1.0, 2.0);
  EXPECT_EQ(p.x, 6.0);  // 1 · 2 · 3
  EXPECT_EQ(p.y, 3.0);  // 2 · 0.5 · 3
  EXPECT_EQ(t.TransformX(1.0, 2.0), 6.0);
  EXPECT_EQ(t.TransformY(1.0, 2.0), 3.0);
}

TEST_F(ViewTransformTest, RotationTurnsWorldAxesCounterClockwise) {
  CViewTransform t;
  t.RotateBy(90.0f);
  ExpectNear(t.WorldToPaper(1.0, 0.0), 0.0, 1.0, kAngleTol);
  ExpectNear(t.WorldToPaper(0.0, 1.0), -1.0, 0.0, kAngleTol);
  t.RotateBy(-60.0f);  // 30 degrees: (cos 30, sin 30)
  ExpectNear(t.WorldToPaper(2.0, 0.0), std::sqrt(3.0), 1.0, kAngleTol);
}

TEST_F(ViewTransformTest, NonFiniteScaleOrFactorIsRefused) {
  CViewTransform t;
  EXPECT_FALSE(t.SetScale(std::numeric_limits<float>::quiet_NaN(), 2.0f));
  EXPECT_FALSE(t.SetFactor(std::numeric_limits<float>::infinity()));
  EXPECT_EQ(t.scaleX(), 1.0f);
  EXPECT_EQ(t.scaleY(), 1.0f);
  EXPECT_EQ(t.factor(), 1.0f);
}

// --- pen and origin ---

TEST_F(ViewTransformTest, PenKeepsPaperAndScaledWorldPositions) {
  CViewTransform t;
  t.SetScale(2.0f, 4.0f);
  t.SetFactor(0.5f);
  t.ShiftOrigin(10.0, 20.0);  // origin at paper (10, 40)
  t.MovePenTo(3.0, 4.0);
  EXPECT_EQ(t.penX(), 13.0);
  EXPECT_EQ(t.penY(), 48.0);
  EXPECT_EQ(t.penU(), 3.0);
  EXPECT_EQ(t.penV(), 8.0);
  t.MovePenBy(1.0, -1.0);
  EXPECT_EQ(t.penX(), 14.0);
  EXPECT_EQ(t.penY(), 46.0);
  const PaperPointD w = t.PenWorld();
  EXPECT_EQ(w.x, 4.0);
  EXPECT_EQ(w.y, 3.0);
}

TEST_F(ViewTransformTest, OriginShiftKeepsThePenOnTheSamePaperPoint) {
  CViewTransform t;
  t.SetScale(2.0f, 3.0f);
  t.RotateBy(30.0f);
  t.MovePenTo(5.0, 7.0);
  const PaperPointD before = {t.penX(), t.penY()};
  t.ShiftOrigin(2.0, -1.0);
  // The pen's world position in the shifted frame still lands on its paper position.
  const PaperPointD w = t.PenWorld();
  EXPECT_NEAR(w.x, 3.0, 1e-12);
  EXPECT_NEAR(w.y, 8.0, 1e-12);
  ExpectNear(t.WorldToPaper(w.x, w.y), before.x, before.y, 1e-12);
  EXPECT_EQ(t.penX(), before.x);
  EXPECT_EQ(t.penY(), before.y);
}

TEST_F(ViewTransformTest, OriginShiftAccumulatesRotatedScaledAndUnscaledOffsets) {
  CViewTransform t;
  t.SetScale(2.0f, 2.0f);
  t.RotateBy(90.0f);
  t.ShiftOrigin(10.0, 0.0);
  // The world x axis points up the paper: 10 units of 2 mm each.
  EXPECT_NEAR(t.originX(), 0.0, 20 * kAngleTol);
  EXPECT_NEAR(t.originY(), 20.0, 20 * kAngleTol);
  EXPECT_NEAR(t.shiftX(), 0.0, 10 * kAngleTol);
  EXPECT_NEAR(t.shiftY(), 10.0, 10 * kAngleTol);
  t.ShiftOrigin(0.0, 5.0);
  EXPECT_NEAR(t.originX(), -10.0, 20 * kAngleTol);
  EXPECT_NEAR(t.shiftX(), -5.0, 10 * kAngleTol);
  ExpectNear(t.WorldToPaper(0.0, 0.0), -10.0, 20.0, 20 * kAngleTol);
}

TEST_F(ViewTransformTest, RelativeMoveStartsFromThePen) {
  CViewTransform t;
  t.ShiftOrigin(100.0, 100.0);
  t.MovePenTo(1.0, 1.0);
  const PaperPointD p = t.WorldToPaperRelative(2.0, 3.0);
  EXPECT_EQ(p.x, 103.0);
  EXPECT_EQ(p.y, 104.0);
}

TEST_F(ViewTransformTest, PenWorldWithAZeroScaleGivesZero) {
  CViewTransform t;
  t.MovePenTo(3.0, 4.0);
  t.SetScale(0.0f, 1.0f);
  const PaperPointD w = t.PenWorld();
  EXPECT_EQ(w.x, 0.0);
  EXPECT_EQ(w.y, 4.0);
}

// --- rotation ---

TEST_F(ViewTransformTest, RotationIsKeptBelowAFullTurn) {
  CViewTransform t;
  t.RotateBy(360.0f);
  EXPECT_EQ(t.rotation(), 0.0f);
  t.RotateBy(370.0f);
  EXPECT_EQ(t.rotation(), 10.0f);
  t.RotateBy(340.0f);  // 350
  t.RotateBy(20.0f);
  EXPECT_EQ(t.rotation(), 10.0f);
  t.RotateBy(-40.0f);
  EXPECT_EQ(t.rotation(), 330.0f);
  t.RotateBy(-690.0f);  // -360: two whole turns below 330
  EXPECT_EQ(t.rotation(), 0.0f);
}

TEST_F(ViewTransformTest, AngleJustBelowZeroThatRoundsToAFullTurnIsZero) {
  CViewTransform t;
  // 360 − 1e-6 is 360 in single precision.
  t.RotateBy(-1e-6f);
  EXPECT_EQ(t.rotation(), 0.0f);
}

TEST_F(ViewTransformTest, HugeAnglesStayWithinATurnAndNonFiniteOnesChangeNothing) {
  CViewTransform t;
  t.RotateBy(45.0f);
  t.RotateBy(std::numeric_limits<float>::infinity());
  t.RotateBy(std::numeric_limits<float>::quiet_NaN());
  t.RotateBy(3e38f);  // finite: reduced by whole turns like any other angle
  t.RotateBy(-3e38f);
  EXPECT_GE(t.rotation(), 0.0f);
  EXPECT_LT(t.rotation(), 360.0f);
  CViewTransform u;
  u.RotateBy(45.0f);
  u.RotateBy(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(u.rotation(), 45.0f);
}

TEST_F(ViewTransformTest, RotationReExpressesThePenButLeavesItsPaperPosition) {
  CViewTransform t;
  t.MovePenTo(3.0, 4.0);
  t.RotateBy(90.0f);
  // r = 5, φ = θ − atan2(4, 3) = 90° − 53.13°: (5 cos φ, 5 sin φ) = (4, 3).
  EXPECT_NEAR(t.penU(), 4.0, 10 * kAngleTol);
  EXPECT_NEAR(t.penV(), 3.0, 10 * kAngleTol);
  EXPECT_EQ(t.penX(), 3.0);
  EXPECT_EQ(t.penY(), 4.0);
}

// --- save slot ---

TEST_F(ViewTransformTest, SaveResetsAndRestoreBringsTheFrameBack) {
  CViewTransform t;
  t.SetScale(2.0f, 3.0f);
  t.SetFactor(0.5f);
  t.RotateBy(30.0f);
  t.ShiftOrigin(4.0, 5.0);
  const double ox = t.originX(), oy = t.originY(), sx = t.shiftX(), sy = t.shiftY();
  t.MovePenTo(1.0, 1.0);
  const double px = t.penX();

  t.SaveRestoreTransform(0);
  ExpectIdentity(t);
  EXPECT_EQ(t.factor(), 0.5f);  // never touched
  EXPECT_EQ(t.penX(), px);

  t.RotateBy(10.0f);
  t.SaveRestoreTransform(1);
  EXPECT_EQ(t.originX(), ox);
  EXPECT_EQ(t.originY(), oy);
  EXPECT_EQ(t.shiftX(), sx);
  EXPECT_EQ(t.shiftY(), sy);
  EXPECT_EQ(t.scaleX(), 2.0f);
  EXPECT_EQ(t.scaleY(), 3.0f);
  EXPECT_EQ(t.rotation(), 30.0f);
}

TEST_F(ViewTransformTest, EveryViewSharesOneSaveSlot) {
  CViewTransform a;
  a.RotateBy(45.0f);
  a.SaveRestoreTransform(0);
  CViewTransform b;
  b.SaveRestoreTransform(1);
  EXPECT_EQ(b.rotation(), 45.0f);
  EXPECT_EQ(a.rotation(), 0.0f);
}

TEST_F(ViewTransformTest, ResetKeepsTheSlotAndClearingEmptiesIt) {
  CViewTransform t;
  t.SetScale(5.0f, 5.0f);
  t.SaveRestoreTransform(0);
  t.RotateBy(20.0f);
  t.SaveRestoreTransform(2);
  ExpectIdentity(t);
  t.SaveRestoreTransform(1);
  EXPECT_EQ(t.scaleX(), 5.0f);

  t.SaveRestoreTransform(-1);
  ExpectIdentity(t);
  t.SetScale(7.0f, 7.0f);
  t.SaveRestoreTransform(1);
  ExpectIdentity(t);

  t.SetScale(7.0f, 7.0f);
  t.SaveRestoreTransform(3);  // not a mode
  EXPECT_EQ(t.scaleX(), 7.0f);
}

// --- client to paper ---

TEST(ViewTransformWindow, OriginOffsetLeavesRoomAroundThePaper) {
  EXPECT_EQ(CViewTransform::WindowOriginOffset(RECT{}), (POINT{-100, 100}));
  EXPECT_EQ(CViewTransform::WindowOriginOffset(RECT{50, 300, 400, 40}), (POINT{-100, 100}));
  EXPECT_EQ(CViewTransform::WindowOriginOffset(RECT{-500, 300, 400, 250}), (POINT{-500, 250}));
  // No area: the edges do not count.
  EXPECT_EQ(CViewTransform::WindowOriginOffset(RECT{-500, 300, -500, 250}), (POINT{-100, 100}));
}

class ClientToPaperTest : public ViewTransformTest {
 protected:
  ClientToPaperTest() { previous_ = tessmor::SetSettings(&settings_); }
  ~ClientToPaperTest() override { tessmor::SetSettings(previous_); }

  // Where the view's device context puts a paper point before the window-origin offset: the
  // chart draws it at PaperToDevice, in a window whose origin is moved by `offset`.
  static POINT Clicked(const CMapper& m, PaperPointD p, POINT offset) {
    const POINT drawn = m.PaperToDevice({static_cast<float>(p.x), static_cast<float>(p.y)});
    return {drawn.x - offset.x, drawn.y - offset.y};
  }

  tessmor::MemorySettings settings_;
  tessmor::Settings* previous_;
};

TEST_F(ClientToPaperTest, ClickOnADrawnPointGivesItsPaperPosition) {
  CMapper m;  // A4 landscape, k = 100
  CViewTransform t;
  const POINT offset = CViewTransform::WindowOriginOffset(RECT{});
  const PaperPointD p = t.ClientToPaper(Clicked(m, {10.0, 20.0}, offset), offset, m);
  EXPECT_NEAR(p.x, 10.0, 1e-6);
  EXPECT_NEAR(p.y, 20.0, 1e-6);
}

TEST_F(ClientToPaperTest, ClickGivesTheWorldPointUnderItInARotatedScaledFrame) {
  CMapper m;
  m.SetPaper(10);
  m.SetZoom(2.0f);  // 0.1 mm at 200 %: k = 20
  CViewTransform t;
  t.SetScale(2.0f, 2.0f);
  t.SetFactor(1.5f);
  t.ShiftOrigin(20.0, 15.0);
  t.RotateBy(30.0f);
  const POINT offset{-700, 300};
  const PaperPointD paper = t.WorldToPaper(7.0, -3.0);
  const PaperPointD w = t.ClientToPaper(Clicked(m, paper, offset), offset, m);
  // Logical units of 1/20 mm round the paper point by up to 0.025 mm in each axis; a world
  // unit is 3 mm.
  EXPECT_NEAR(w.x, 7.0, 0.025 * std::sqrt(2.0) / 3.0);
  EXPECT_NEAR(w.y, -3.0, 0.025 * std::sqrt(2.0) / 3.0);
}

TEST_F(ClientToPaperTest, ZeroScaleGivesZeroInsteadOfDividing) {
  CMapper m;
  CViewTransform t;
  t.SetScale(0.0f, 1.0f);
  const POINT offset{-100, 100};
  const PaperPointD p = t.ClientToPaper(Clicked(m, {10.0, 20.0}, offset), offset, m);
  EXPECT_EQ(p.x, 0.0);
  EXPECT_NEAR(p.y, 20.0, 1e-6);
}

TEST_F(ClientToPaperTest, ClickOnTheScreenFindsThePointDrawnUnderIt) {
  CMapper m;
  CViewTransform t;
  t.SetScale(0.5f, 0.25f);
  t.ShiftOrigin(40.0, 80.0);
  const RECT extent{-300, -100, 30000, 500};  // items drawn beyond the paper's top left
  const POINT offset = CViewTransform::WindowOriginOffset(extent);
  ASSERT_EQ(offset, (POINT{-300, 500}));

  // Drawn as the view draws: 0.01 mm units with the window origin moved by the offset.
  tessmor::testing::RecordingDC drawing(96);
  drawing.SetMapMode(tessmor::MM_HIMETRIC);
  drawing.OffsetWindowOrg(offset.x, offset.y);
  const PaperPointD paper = t.WorldToPaper(30.0, 100.0);
  const POINT pixel =
      drawing.LPtoDP(m.PaperToDevice({static_cast<float>(paper.x), static_cast<float>(paper.y)}));

  // Clicked on that pixel, read through a context prepared without the offset.
  tessmor::testing::RecordingDC prepared(96);
  prepared.SetMapMode(tessmor::MM_HIMETRIC);
  const PaperPointD w = t.ClientToPaper(prepared, pixel, extent, m);
  // A pixel at 96 dpi is 0.265 mm: the pixel rounds by half of it in each axis, and the two
  // conversions to 0.01 mm by 0.005 mm each; over 0.5 and 0.25 mm per world unit.
  EXPECT_NEAR(w.x, 30.0, (0.1323 + 0.01) / 0.5);
  EXPECT_NEAR(w.y, 100.0, (0.1323 + 0.01) / 0.25);
}

}  // namespace
