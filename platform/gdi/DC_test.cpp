// The device context's mapping, state and argument checks, through the recording DC.
#include "platform/gdi/DC.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "testsupport/RecordingDC.h"

namespace tessmor {
namespace {

using testing::RecordingDC;

TEST(DCMapping, TextModeIsOnePixelPerUnitWithYDown) {
  RecordingDC dc;
  EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
  EXPECT_EQ(dc.LPtoDP(POINT{10, 20}), (POINT{10, 20}));
  EXPECT_EQ(dc.DPtoLP(POINT{-3, 7}), (POINT{-3, 7}));
}

TEST(DCMapping, LoMetricIsATenthOfAMillimetreWithYUp) {
  RecordingDC dc(96);
  EXPECT_EQ(dc.SetMapMode(MM_LOMETRIC), MM_TEXT);
  // 10 mm = 100 units; at 96 px/inch 10 mm are 37.8 px; y up: below the origin is negative.
  EXPECT_EQ(dc.LPtoDP(POINT{100, -100}), (POINT{38, 38}));
  // One inch = 254 units = 96 px exactly.
  EXPECT_EQ(dc.LPtoDP(POINT{254, 254}), (POINT{96, -96}));
}

TEST(DCMapping, HiMetricIsAHundredthOfAMillimetreWithYUp) {
  RecordingDC dc(96);
  dc.SetMapMode(MM_HIMETRIC);
  EXPECT_EQ(dc.LPtoDP(POINT{1000, -1000}), (POINT{38, 38}));
  EXPECT_EQ(dc.LPtoDP(POINT{2540, -2540}), (POINT{96, 96}));
  RecordingDC print(1200);
  print.SetMapMode(MM_HIMETRIC);
  EXPECT_EQ(print.LPtoDP(POINT{2540, -5080}), (POINT{1200, 2400}));
}

TEST(DCMapping, EnglishAndTwipsModesUseInchFractions) {
  RecordingDC dc(100);
  dc.SetMapMode(MM_LOENGLISH);
  EXPECT_EQ(dc.LPtoDP(POINT{100, -50}), (POINT{100, 50}));
  dc.SetMapMode(MM_TWIPS);
  EXPECT_EQ(dc.LPtoDP(POINT{1440, 0}), (POINT{100, 0}));
}

TEST(DCMapping, WindowAndViewportOriginsShiftTheMapping) {
  RecordingDC dc;
  EXPECT_EQ(dc.SetWindowOrg(100, 50), (POINT{0, 0}));
  EXPECT_EQ(dc.LPtoDP(POINT{100, 50}), (POINT{0, 0}));
  dc.SetViewportOrg(10, 20);
  EXPECT_EQ(dc.LPtoDP(POINT{100, 50}), (POINT{10, 20}));
  EXPECT_EQ(dc.OffsetWindowOrg(-100, -50), (POINT{100, 50}));
  EXPECT_EQ(dc.GetWindowOrg(), (POINT{0, 0}));
  EXPECT_EQ(dc.OffsetViewportOrg(5, 5), (POINT{10, 20}));
  EXPECT_EQ(dc.LPtoDP(POINT{0, 0}), (POINT{15, 25}));
}

TEST(DCMapping, WindowOriginIsInLogicalUnitsViewportOriginInPixels) {
  RecordingDC dc(96);
  dc.SetMapMode(MM_HIMETRIC);
  dc.SetWindowOrg(-2540, 2540);  // one inch left of and above the logical origin
  dc.SetViewportOrg(10, 10);
  EXPECT_EQ(dc.LPtoDP(POINT{-2540, 2540}), (POINT{10, 10}));
  EXPECT_EQ(dc.LPtoDP(POINT{0, 0}), (POINT{106, 106}));
}

TEST(DCMapping, AnisotropicModeUsesTheExtentsGiven) {
  RecordingDC dc;
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExt(1000, 1000);
  dc.SetViewportExt(500, -250);
  EXPECT_EQ(dc.LPtoDP(POINT{200, 200}), (POINT{100, -50}));
  dc.SetViewportOrg(0, 250);
  EXPECT_EQ(dc.LPtoDP(POINT{200, 200}), (POINT{100, 200}));
  EXPECT_EQ(dc.DPtoLP(POINT{100, 200}), (POINT{200, 200}));
}

TEST(DCMapping, AnisotropicModeKeepsTheExtentsOfTheModeBefore) {
  RecordingDC dc(96);
  dc.SetMapMode(MM_LOMETRIC);
  const POINT before = dc.LPtoDP(POINT{1234, -567});
  dc.SetMapMode(MM_ANISOTROPIC);
  EXPECT_EQ(dc.LPtoDP(POINT{1234, -567}), before);
}

TEST(DCMapping, FixedModesIgnoreExtentsAndZeroExtentsAreRefused) {
  RecordingDC dc(96);
  dc.SetMapMode(MM_LOMETRIC);
  const SIZE ext = dc.GetWindowExt();
  dc.SetWindowExt(1, 1);
  EXPECT_EQ(dc.GetWindowExt(), ext);
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExt(0, 5);
  dc.SetViewportExt(5, 0);
  EXPECT_EQ(dc.GetWindowExt(), ext);
  EXPECT_EQ(dc.LPtoDP(POINT{254, 0}), (POINT{96, 0}));
}

TEST(DCMapping, UnknownMapModeIsRefused) {
  RecordingDC dc;
  EXPECT_EQ(dc.SetMapMode(0), 0);
  EXPECT_EQ(dc.SetMapMode(9), 0);
  EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
}

TEST(DCMapping, IsotropicModeKeepsUnitsSquare) {
  RecordingDC dc(96);
  dc.SetMapMode(MM_ISOTROPIC);
  dc.SetWindowExt(100, 100);
  dc.SetViewportExt(200, -400);
  // The larger scale is shrunk to the smaller one, signs kept.
  EXPECT_EQ(dc.GetViewportExt(), (SIZE{200, -200}));
  EXPECT_EQ(dc.LPtoDP(POINT{10, 10}), (POINT{20, -20}));
}

TEST(DCMapping, HalvesRoundUpwards) {
  RecordingDC dc;
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExt(2, 2);
  dc.SetViewportExt(1, 1);
  EXPECT_EQ(dc.LPtoDP(POINT{1, 3}), (POINT{1, 2}));     // 0.5 → 1, 1.5 → 2
  EXPECT_EQ(dc.LPtoDP(POINT{-1, -3}), (POINT{0, -1}));  // −0.5 → 0, −1.5 → −1
}

TEST(DCMapping, DeviceToLogicalAndBackReturnsThePixel) {
  RecordingDC dc(96);
  dc.SetMapMode(MM_HIMETRIC);
  dc.SetWindowOrg(-1000, 21000);
  for (int x = -50; x <= 50; x += 7) {
    for (int y = -50; y <= 50; y += 11) {
      EXPECT_EQ(dc.LPtoDP(dc.DPtoLP(POINT{x, y})), (POINT{x, y}));
    }
  }
  // Logical to device and back is within one device pixel (26.5 units).
  const POINT p{12345, -6789};
  const POINT back = dc.DPtoLP(dc.LPtoDP(p));
  EXPECT_LE(std::abs(back.x - p.x), 14);
  EXPECT_LE(std::abs(back.y - p.y), 14);
}

TEST(DCMapping, ArraysAndRectanglesConvertCornerByCorner) {
  RecordingDC dc(96);
  dc.SetMapMode(MM_LOMETRIC);
  POINT pts[] = {{0, 0}, {254, -508}};
  dc.LPtoDP(pts, 2);
  EXPECT_EQ(pts[1], (POINT{96, 192}));
  dc.DPtoLP(pts, 2);
  EXPECT_EQ(pts[1], (POINT{254, -508}));
  EXPECT_EQ(dc.LPtoDP(RECT{0, 0, 254, -254}), (RECT{0, 0, 96, 96}));
  EXPECT_EQ(NormalizedDeviceRect(dc, RECT{254, -254, 0, 0}), (RECT{0, 0, 96, 96}));
  EXPECT_EQ(dc.SizeLPtoDP(SIZE{254, 508}), (SIZE{96, 192}));
  EXPECT_EQ(dc.SizeDPtoLP(SIZE{96, 192}), (SIZE{254, 508}));
}

TEST(DCMapping, TransformAgreesWithTheConversion) {
  RecordingDC dc(96);
  dc.SetMapMode(MM_HIMETRIC);
  dc.SetWindowOrg(500, -700);
  dc.SetViewportOrg(3, 4);
  const MappingTransform t = dc.GetMappingTransform();
  EXPECT_DOUBLE_EQ(t.sx, 96.0 / 2540.0);
  EXPECT_DOUBLE_EQ(t.sy, -96.0 / 2540.0);
  const POINT p{7777, -4444};
  const POINT d = dc.LPtoDP(p);
  EXPECT_NEAR(p.x * t.sx + t.dx, d.x, 0.5);
  EXPECT_NEAR(p.y * t.sy + t.dy, d.y, 0.5);
}

TEST(DCMapping, HugeResultsAreClampedNotWrapped) {
  RecordingDC dc;
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExt(1, 1);
  dc.SetViewportExt(1000, 1000);
  EXPECT_EQ(dc.LPtoDP(POINT{INT_MAX, INT_MIN}), (POINT{INT_MAX, INT_MIN}));
  dc.SetMapMode(MM_TEXT);
  dc.SetWindowOrg(INT_MIN, 0);
  EXPECT_EQ(dc.LPtoDP(POINT{INT_MAX, 0}).x, INT_MAX);
  EXPECT_EQ(dc.OffsetWindowOrg(INT_MIN, 0).x, INT_MIN);
  EXPECT_EQ(dc.GetWindowOrg().x, INT_MIN);
}

TEST(DCDevice, CapsReportPixelsPerInchAndSurface) {
  RecordingDC dc(96, RECT{0, 0, 960, 480});
  EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 96);
  EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 96);
  EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 960);
  EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 480);
  EXPECT_EQ(dc.GetDeviceCaps(HORZSIZE), 254);  // 10 inches
  EXPECT_EQ(dc.GetDeviceCaps(12345), 0);
  RecordingDC odd(0);
  EXPECT_EQ(odd.GetPixelsPerInchX(), 96);
}

TEST(DCClip, ClipBoxIsTheDeviceInLogicalUnits) {
  RecordingDC dc(96, RECT{0, 0, 1000, 500});
  RECT box;
  EXPECT_EQ(dc.GetClipBox(box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 1000, 500}));
  dc.SetMapMode(MM_LOMETRIC);
  dc.GetClipBox(box);
  // 1000 px = 1000 × 254 / 96 = 2645.8 units; y up.
  EXPECT_EQ(box, (RECT{0, 0, 2646, -1323}));
}

TEST(DCClip, IntersectClipRectLimitsTheClipBoxUntilRemoved) {
  RecordingDC dc(96, RECT{0, 0, 1000, 500});
  dc.SetMapMode(MM_LOMETRIC);
  EXPECT_EQ(dc.IntersectClipRect(254, -254, 508, -508), SIMPLEREGION);
  RECT box;
  dc.GetClipBox(box);
  EXPECT_EQ(box, (RECT{254, -254, 508, -508}));
  EXPECT_EQ(dc.state().clip.GetBox(), (RECT{96, 96, 192, 192}));
  // Outside the current clip: nothing is left.
  EXPECT_EQ(dc.IntersectClipRect(0, 0, 100, -100), NULLREGION);
  EXPECT_EQ(dc.GetClipBox(box), NULLREGION);
  EXPECT_EQ(dc.SelectClipRgn(nullptr), SIMPLEREGION);
  dc.GetClipBox(box);
  EXPECT_EQ(box, (RECT{0, 0, 2646, -1323}));
}

TEST(DCClip, UnboundedDeviceClipsNothing) {
  RecordingDC dc(2540, RECT{});
  RECT box;
  EXPECT_EQ(dc.GetClipBox(box), SIMPLEREGION);
  EXPECT_LT(box.left, -1000000);
  EXPECT_GT(box.right, 1000000);
}

TEST(DCState, SelectionsReturnThePreviousObject) {
  RecordingDC dc;
  const Pen red{PS_SOLID, 5, RGB(255, 0, 0)};
  EXPECT_EQ(dc.SelectPen(red), (Pen{PS_SOLID, 0, 0}));
  EXPECT_EQ(dc.SelectPen(Pen{}), red);
  const Brush hatch = HatchBrush(HS_CROSS, RGB(0, 0, 255));
  EXPECT_EQ(dc.SelectBrush(hatch), SolidBrush(0xFFFFFF));
  EXPECT_EQ(dc.GetBrush(), hatch);
  LOGFONT font;
  font.lfHeight = -500;
  SetFaceName(font, "Times New Roman");
  dc.SelectFont(font);
  EXPECT_EQ(dc.GetFont(), font);
  EXPECT_EQ(dc.SetTextColor(RGB(1, 2, 3)), 0u);
  EXPECT_EQ(dc.GetTextColor(), 0x030201u);
}

TEST(DCState, InvalidModesAreRefused) {
  RecordingDC dc;
  EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
  EXPECT_EQ(dc.SetBkMode(3), 0);
  EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
  EXPECT_EQ(dc.SetPolyFillMode(WINDING), ALTERNATE);
  EXPECT_EQ(dc.SetPolyFillMode(0), 0);
  EXPECT_EQ(dc.GetPolyFillMode(), WINDING);
  EXPECT_EQ(dc.SetROP2(17), 0);
  EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
  dc.SetTextAlign(0xFFFFFFFF);
  EXPECT_EQ(dc.GetTextAlign(), TA_MASK);
}

TEST(DCState, FaceNameIsAlwaysTerminated) {
  RecordingDC dc;
  LOGFONT font;
  std::memset(font.lfFaceName, 'x', sizeof font.lfFaceName);
  dc.SelectFont(font);
  EXPECT_EQ(std::strlen(dc.GetFont().lfFaceName), 31u);
  SetFaceName(font, "A face name longer than thirty-one characters");
  EXPECT_EQ(std::string(font.lfFaceName), "A face name longer than thirty-");
}

TEST(DCState, RestoreDCGoesBackToTheSavedState) {
  RecordingDC dc(96);
  EXPECT_EQ(dc.SaveDC(), 1);
  dc.SetMapMode(MM_HIMETRIC);
  dc.SelectPen(Pen{PS_DASH, 7, 0xFF});
  dc.IntersectClipRect(0, 0, 100, -100);
  EXPECT_EQ(dc.SaveDC(), 2);
  dc.SetWindowOrg(5, 5);
  dc.MoveTo(3, 4);
  EXPECT_EQ(dc.SaveDC(), 3);
  EXPECT_TRUE(dc.RestoreDC(-1));
  EXPECT_EQ(dc.GetWindowOrg(), (POINT{5, 5}));
  EXPECT_TRUE(dc.RestoreDC(1));
  EXPECT_EQ(dc.GetSaveDepth(), 0);
  EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
  EXPECT_EQ(dc.GetPen(), Pen{});
  EXPECT_EQ(dc.GetCurrentPosition(), (POINT{0, 0}));
  EXPECT_FALSE(dc.state().has_clip);
}

TEST(DCState, RestoreDCWithoutSuchAStateChangesNothing) {
  RecordingDC dc;
  EXPECT_FALSE(dc.RestoreDC(-1));
  dc.SaveDC();
  dc.SetBkMode(TRANSPARENT);
  EXPECT_FALSE(dc.RestoreDC(2));
  EXPECT_FALSE(dc.RestoreDC(-2));
  EXPECT_FALSE(dc.RestoreDC(0));
  EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
  EXPECT_EQ(dc.GetSaveDepth(), 1);
}

TEST(DCDrawing, LineToMovesTheCurrentPositionAndPolylineDoesNot) {
  RecordingDC dc;
  EXPECT_EQ(dc.MoveTo(10, 10), (POINT{0, 0}));
  dc.LineTo(20, 30);
  EXPECT_EQ(dc.GetCurrentPosition(), (POINT{20, 30}));
  const POINT pts[] = {{1, 1}, {2, 2}, {3, 3}};
  dc.Polyline(pts, 3);
  EXPECT_EQ(dc.GetCurrentPosition(), (POINT{20, 30}));
  dc.PolylineTo(pts, 3);
  EXPECT_EQ(dc.GetCurrentPosition(), (POINT{3, 3}));
  const POINT curve[] = {{4, 4}, {5, 5}, {6, 7}};
  dc.PolyBezierTo(curve, 3);
  EXPECT_EQ(dc.GetCurrentPosition(), (POINT{6, 7}));
}

TEST(DCDrawing, CallsWithUnusableArgumentsDrawNothing) {
  RecordingDC dc;
  const POINT pts[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}};
  EXPECT_FALSE(dc.Polyline(pts, 1));
  EXPECT_FALSE(dc.Polyline(nullptr, 3));
  EXPECT_FALSE(dc.Polygon(pts, -4));
  EXPECT_FALSE(dc.PolylineTo(pts, 0));
  EXPECT_FALSE(dc.PolyBezier(pts, 5));  // not 1 + 3n
  EXPECT_FALSE(dc.PolyBezier(pts, 1));
  EXPECT_FALSE(dc.PolyBezierTo(pts, 2));
  EXPECT_TRUE(dc.calls().empty());
  EXPECT_TRUE(dc.PolyBezier(pts, 4));
  EXPECT_EQ(dc.Count("PolyBezier"), 1);
}

TEST(DCDrawing, PathsMustBeClosedBeforeTheyAreDrawn) {
  RecordingDC dc;
  EXPECT_FALSE(dc.StrokePath());
  EXPECT_FALSE(dc.EndPath());
  EXPECT_TRUE(dc.BeginPath());
  EXPECT_TRUE(dc.IsPathOpen());
  dc.MoveTo(0, 0);
  dc.LineTo(10, 0);
  EXPECT_TRUE(dc.CloseFigure());
  EXPECT_FALSE(dc.TextOut(0, 0, "not in a path"));
  EXPECT_FALSE(dc.FillPath());  // still open
  EXPECT_TRUE(dc.EndPath());
  EXPECT_FALSE(dc.IsPathOpen());
  EXPECT_TRUE(dc.StrokeAndFillPath());
  EXPECT_FALSE(dc.StrokePath());  // the path is used up
  EXPECT_EQ(dc.Lines(), (std::vector<std::string>{"BeginPath", "MoveTo 0,0", "LineTo 10,0",
                                                  "CloseFigure", "EndPath", "StrokeAndFillPath"}));
}

TEST(DCDrawing, BeginPathDiscardsAnUnusedPath) {
  RecordingDC dc;
  dc.BeginPath();
  dc.EndPath();
  dc.BeginPath();
  EXPECT_EQ(dc.Count("AbortPath"), 1);
  EXPECT_TRUE(dc.AbortPath());
  EXPECT_FALSE(dc.IsPathOpen());
}

TEST(DCText, UpdateCurrentPositionDrawsAtItAndMovesAlongTheText) {
  RecordingDC dc;
  LOGFONT font;
  font.lfHeight = -20;  // the recorder's characters are 10 units wide
  dc.SelectFont(font);
  dc.SetTextAlign(TA_UPDATECP | TA_BASELINE);
  dc.MoveTo(10, 10);
  dc.TextOut(500, 500, "abc");
  EXPECT_EQ(dc.Lines("TextOut"), (std::vector<std::string>{"TextOut 10,10 \"abc\""}));
  EXPECT_EQ(dc.GetCurrentPosition(), (POINT{40, 10}));
  // Turned 90 degrees counter-clockwise the text goes up the page: y down in MM_TEXT.
  font.lfEscapement = 900;
  dc.SelectFont(font);
  dc.TextOut(0, 0, "ab");
  EXPECT_EQ(dc.GetCurrentPosition(), (POINT{40, -10}));
  // Right-aligned text moves the position back to its start.
  font.lfEscapement = 0;
  dc.SelectFont(font);
  dc.SetTextAlign(TA_UPDATECP | TA_RIGHT);
  dc.TextOut(0, 0, "a");
  EXPECT_EQ(dc.GetCurrentPosition(), (POINT{30, -10}));
}

TEST(DCText, UpdateCurrentPositionInAYUpModeMovesUpForVerticalText) {
  RecordingDC dc(96);
  dc.SetMapMode(MM_LOMETRIC);
  LOGFONT font;
  font.lfHeight = -100;
  font.lfEscapement = 900;
  dc.SelectFont(font);
  dc.SetTextAlign(TA_UPDATECP);
  dc.MoveTo(0, 0);
  dc.TextOut(0, 0, "ab");  // 2 × 50 units
  const POINT cp = dc.GetCurrentPosition();
  EXPECT_NEAR(cp.x, 0, 1);
  EXPECT_NEAR(cp.y, 100, 3);  // within a device pixel of 100 units up
}

TEST(RecordingDC, RecordsCallsWithTheirArgumentsAndState) {
  RecordingDC dc;
  dc.SetMapMode(MM_HIMETRIC);
  dc.SelectPen(Pen{PS_GEOMETRIC | PS_ENDCAP_FLAT, 20, RGB(255, 0, 0)});
  const POINT pts[] = {{0, 0}, {100, -100}};
  dc.Polyline(pts, 2);
  dc.Rectangle(1, 2, 3, 4);
  dc.FillRgn(Region::FromRect(0, 0, 10, 10), SolidBrush(RGB(0, 255, 0)));
  EXPECT_EQ(dc.Lines(),
            (std::vector<std::string>{"SetMapMode 3", "SelectPen style=0x10200 width=20 color=0xff",
                                      "Polyline 0,0 100,-100", "Rectangle 1,2,3,4",
                                      "FillRgn 0,0,10,10 rects=1 style=0 color=0xff00"}));
  const std::vector<const testing::RecordedCall*> lines = dc.Calls("Polyline");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->points[1], (POINT{100, -100}));
  EXPECT_EQ(lines[0]->state.pen.width, 20);
  EXPECT_EQ(lines[0]->state.map_mode, MM_HIMETRIC);
}

TEST(RecordingDC, MeasuresTextWithItsSimpleModel) {
  RecordingDC dc;
  LOGFONT font;
  font.lfHeight = -30;
  dc.SelectFont(font);
  EXPECT_EQ(dc.GetTextExtent("abcd"), (SIZE{60, 30}));
  EXPECT_EQ(dc.GetTextExtent("\xC2\xB0"), (SIZE{15, 30}));  // one code point
  const TEXTMETRIC tm = dc.GetTextMetrics();
  EXPECT_EQ(tm.tmAscent, 24);
  EXPECT_EQ(tm.tmDescent, 6);
}

TEST(DIBPattern, PixelsAreCountedFromTheTopRow) {
  DIBPattern p;
  p.width = 2;
  p.height = 2;  // bottom row first
  p.bit_count = 24;
  p.bits = {0,   0, 255, 0,   255, 0,   0, 0,   // bottom: red, green
            255, 0, 0,   255, 255, 255, 0, 0};  // top: blue, white
  ASSERT_TRUE(p.IsValid());
  EXPECT_EQ(p.PixelAt(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(p.PixelAt(1, 0), RGB(255, 255, 255));
  EXPECT_EQ(p.PixelAt(0, 1), RGB(255, 0, 0));
  EXPECT_EQ(p.PixelAt(1, 1), RGB(0, 255, 0));
  EXPECT_EQ(p.PixelAt(2, 0), 0u);
}

TEST(DIBPattern, OneBitPixelsIndexTheColourTable) {
  DIBPattern p;
  p.width = 8;
  p.height = -1;  // top row first
  p.bit_count = 1;
  p.colors = {RGB(0, 0, 0), RGB(255, 255, 0)};
  p.bits = {0xA0, 0, 0, 0};
  ASSERT_TRUE(p.IsValid());
  EXPECT_EQ(p.PixelAt(0, 0), RGB(255, 255, 0));
  EXPECT_EQ(p.PixelAt(1, 0), RGB(0, 0, 0));
  EXPECT_EQ(p.PixelAt(2, 0), RGB(255, 255, 0));
}

TEST(DIBPattern, ShortOrOddPatternsAreInvalid) {
  DIBPattern p;
  p.width = 4;
  p.height = 4;
  p.bit_count = 24;
  p.bits.assign(47, 0);  // 4 rows of 12 bytes need 48
  EXPECT_FALSE(p.IsValid());
  p.bits.assign(48, 0);
  EXPECT_TRUE(p.IsValid());
  p.bit_count = 16;
  EXPECT_FALSE(p.IsValid());
  p.bit_count = 24;
  p.height = 0;
  EXPECT_FALSE(p.IsValid());
  EXPECT_EQ(p.PixelAt(0, 0), 0u);
}

}  // namespace
}  // namespace tessmor
