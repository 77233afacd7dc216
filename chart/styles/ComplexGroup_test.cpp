#include "chart/styles/ComplexGroup.h"

#include <gtest/gtest.h>

#include "testsupport/RecordingDC.h"

namespace {

using tessmor::POINT;
using tessmor::RECT;

TEST(ComplexGroup, AddedPolygonsAreUnitedIntoTheGroupsRegion) {
  CComplexGroup c;
  const POINT a[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  const POINT b[4] = {{20, 0}, {30, 0}, {30, 10}, {20, 10}};
  c.AddPolygon(3, a, 4);
  const ComplexGroupRegion* r = c.AddPolygon(3, b, 4);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->bounds, (RECT{0, 0, 30, 10}));
  EXPECT_EQ(c.HitTest(POINT{5, 5}), 3);
  EXPECT_EQ(c.HitTest(POINT{25, 5}), 3);
  EXPECT_EQ(c.HitTest(POINT{15, 5}), 0);  // between the two squares
  EXPECT_EQ(c.GetRecord(3)->type, 64);
}

TEST(ComplexGroup, HitTestReturnsTheLowestOverlappingId) {
  CComplexGroup c;
  const POINT a[3] = {{0, 0}, {40, 0}, {0, 40}};
  c.AddPolygon(9, a, 3);
  c.AddPolygon(4, a, 3);
  EXPECT_EQ(c.HitTest(POINT{5, 5}), 4);
}

TEST(ComplexGroup, HitTestConvertsDevicePixelsToLogicalUnits) {
  tessmor::testing::RecordingDC dc;
  dc.SetMapMode(tessmor::MM_ANISOTROPIC);
  dc.SetWindowExt(1, 1);
  dc.SetViewportExt(2, 2);  // one logical unit is two pixels
  CComplexGroup c;
  const POINT a[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  c.AddPolygon(1, a, 4);
  EXPECT_EQ(c.HitTest(dc, POINT{18, 18}), 1);  // logical (9, 9)
  EXPECT_EQ(c.HitTest(dc, POINT{30, 4}), 0);   // logical (15, 2)
}

TEST(ComplexGroup, DeleteReportsWhetherAnythingWent) {
  CComplexGroup c;
  const POINT a[3] = {{0, 0}, {4, 0}, {0, 4}};
  EXPECT_EQ(c.AddPolygon(2, a, 2), nullptr);  // too few points
  EXPECT_EQ(c.AddPolygon(0, a, 3), nullptr);  // 0 names no group
  c.AddPolygon(2, a, 3);
  EXPECT_EQ(c.DeleteGroup(2), 1);
  EXPECT_EQ(c.DeleteGroup(2), 0);
  EXPECT_EQ(c.GetRegion(2), nullptr);
  EXPECT_TRUE(c.IsEmpty());
}

}  // namespace
