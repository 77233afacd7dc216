// The QPainter device context, checked by the pixels it leaves in images and by the files it
// writes.
#include "platform/gdi/QtDC.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <functional>
#include <memory>

namespace tessmor {
namespace {

const QRgb kWhite = qRgb(255, 255, 255);

QImage WhiteImage(int w = 200, int h = 200) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

bool IsDark(QRgb c) { return qGray(c) < 128; }
bool IsWhite(QRgb c) { return c == kWhite; }
std::function<bool(QRgb)> Is(COLORREF c) {
  return [c](QRgb p) { return p == qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); };
}

// The smallest rectangle holding every pixel of `area` (default: the whole image) that matches
// (null when none does).
QRect BoxOf(const QImage& image, const std::function<bool(QRgb)>& match, QRect area = QRect()) {
  if (area.isNull()) area = image.rect();
  QRect box;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (match(image.pixel(x, y))) box = box.united(QRect(x, y, 1, 1));
    }
  }
  return box;
}

int CountOf(const QImage& image, const std::function<bool(QRgb)>& match) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += match(image.pixel(x, y)) ? 1 : 0;
  }
  return n;
}

LOGFONT TimesFont(std::int32_t height, std::int32_t escapement = 0) {
  LOGFONT font;
  font.lfHeight = height;
  font.lfEscapement = escapement;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
  SetFaceName(font, "Times New Roman");
  return font;
}

const Pen kNullPen{PS_NULL, 0, 0};
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kYellow = RGB(255, 255, 0);

// ---- Device ------------------------------------------------------------------------------

TEST(QtDC, ImageIsARasterDeviceOf96PixelsPerInch) {
  QImage image = WhiteImage(300, 100);
  QtDC dc(image);
  EXPECT_TRUE(dc.IsActive());
  EXPECT_TRUE(dc.IsRaster());
  EXPECT_EQ(dc.GetPixelsPerInchX(), 96);
  EXPECT_EQ(dc.GetDeviceBounds(), (RECT{0, 0, 300, 100}));
}

TEST(QtDC, BorrowedPainterIsLeftAsItWas) {
  QImage image = WhiteImage();
  QPainter painter(&image);
  painter.setPen(Qt::green);
  {
    QtDC dc(painter);
    dc.SelectPen(Pen{PS_SOLID, 3, kBlue});
    dc.MoveTo(0, 0);
    dc.LineTo(100, 100);
  }
  EXPECT_EQ(painter.pen().color(), QColor(Qt::green));
  EXPECT_TRUE(painter.isActive());
}

// ---- Lines -------------------------------------------------------------------------------

TEST(QtDC, ThickLineInHiMetricHasItsLogicalWidthInPixels) {
  QImage image = WhiteImage();
  {
    QtDC dc(image);
    dc.SetMapMode(MM_HIMETRIC);
    dc.SelectPen(Pen{PS_GEOMETRIC | PS_ENDCAP_FLAT, 200, kRed});  // 2 mm
    dc.MoveTo(1000, -2000);
    dc.LineTo(4000, -2000);
  }
  // 10 mm = 37.8 px, 40 mm = 151.2 px, 20 mm below the top = 75.6 px, 2 mm = 7.56 px.
  const QRect box = BoxOf(image, Is(kRed));
  EXPECT_NEAR(box.left(), 37.8, 1.0);
  EXPECT_NEAR(box.right() + 1, 151.2, 1.0);
  EXPECT_NEAR(box.top(), 75.6 - 3.78, 1.0);
  EXPECT_NEAR(box.bottom() + 1, 75.6 + 3.78, 1.0);
  EXPECT_NEAR(CountOf(image, Is(kRed)), 113.4 * 7.56, 0.1 * 113.4 * 7.56);
}

TEST(QtDC, OnePixelLineLeavesOutItsLastPixel) {
  QImage image = WhiteImage(20, 10);
  {
    QtDC dc(image);
    dc.MoveTo(2, 5);
    dc.LineTo(12, 5);
  }
  EXPECT_TRUE(IsWhite(image.pixel(1, 5)));
  EXPECT_TRUE(IsDark(image.pixel(2, 5)));
  EXPECT_TRUE(IsDark(image.pixel(11, 5)));
  EXPECT_TRUE(IsWhite(image.pixel(12, 5)));
  EXPECT_EQ(CountOf(image, IsDark), 10);
}

TEST(QtDC, ThreePixelLineIsCentredOnItsRow) {
  QImage image = WhiteImage(60, 20);
  {
    QtDC dc(image);
    dc.SelectPen(Pen{PS_SOLID, 3, 0});
    dc.MoveTo(20, 10);
    dc.LineTo(40, 10);
  }
  EXPECT_TRUE(IsWhite(image.pixel(30, 8)));
  EXPECT_TRUE(IsDark(image.pixel(30, 9)));
  EXPECT_TRUE(IsDark(image.pixel(30, 10)));
  EXPECT_TRUE(IsDark(image.pixel(30, 11)));
  EXPECT_TRUE(IsWhite(image.pixel(30, 12)));
}

TEST(QtDC, WideCosmeticDashedPenDrawsSolidAndGeometricOneKeepsItsDashes) {
  QImage image = WhiteImage(100, 20);
  {
    QtDC dc(image);
    dc.SetBkMode(TRANSPARENT);
    dc.SelectPen(Pen{PS_DASH, 3, 0});
    dc.MoveTo(0, 5);
    dc.LineTo(100, 5);
    dc.SelectPen(Pen{PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, 3, 0});
    dc.MoveTo(0, 15);
    dc.LineTo(100, 15);
  }
  int solid = 0;
  for (int x = 2; x < 98; ++x) solid += IsDark(image.pixel(x, 5)) ? 1 : 0;
  EXPECT_EQ(solid, 96);
  // A geometric dash is 3 widths long, its gap one width.
  int first_dash = 0;
  while (first_dash < 100 && IsDark(image.pixel(first_dash, 15))) ++first_dash;
  EXPECT_NEAR(first_dash, 9, 1);
  int gap = 0;
  while (first_dash + gap < 100 && IsWhite(image.pixel(first_dash + gap, 15))) ++gap;
  EXPECT_NEAR(gap, 3, 1);
}

TEST(QtDC, OpaqueModeFillsTheGapsOfADottedLine) {
  QImage image = WhiteImage(100, 20);
  {
    QtDC dc(image);
    dc.SelectPen(Pen{PS_DOT, 0, 0});
    dc.SetBkColor(kRed);
    dc.SetBkMode(OPAQUE);
    dc.MoveTo(0, 5);
    dc.LineTo(100, 5);
    dc.SetBkMode(TRANSPARENT);
    dc.MoveTo(0, 15);
    dc.LineTo(100, 15);
  }
  int white5 = 0, red5 = 0, white15 = 0, dark15 = 0;
  for (int x = 0; x < 99; ++x) {
    white5 += IsWhite(image.pixel(x, 5)) ? 1 : 0;
    red5 += Is(kRed)(image.pixel(x, 5)) ? 1 : 0;
    white15 += IsWhite(image.pixel(x, 15)) ? 1 : 0;
    dark15 += IsDark(image.pixel(x, 15)) ? 1 : 0;
  }
  EXPECT_EQ(white5, 0);
  EXPECT_NEAR(red5, 49, 3);  // dots of 3 pixels, gaps of 3
  EXPECT_NEAR(white15, 49, 3);
  EXPECT_NEAR(dark15, 50, 3);
}

TEST(QtDC, BezierPassesThroughItsParametricMidpoint) {
  QImage image = WhiteImage();
  {
    QtDC dc(image);
    const POINT curve[] = {{10, 100}, {10, 10}, {190, 10}, {190, 100}};
    dc.PolyBezier(curve, 4);
  }
  // At t = 1/2 a cubic is at (P0 + 3 P1 + 3 P2 + P3) / 8: y = (100 + 30 + 30 + 100) / 8 = 32.5.
  const QRect box = BoxOf(image, IsDark);
  EXPECT_NEAR(box.top(), 32.5, 1.0);
  EXPECT_EQ(box.left(), 10);
  EXPECT_NEAR(box.right(), 190, 1);
  EXPECT_NEAR(box.bottom(), 100, 1);
}

TEST(QtDC, HugeCoordinatesStillDrawTheVisiblePart) {
  QImage image = WhiteImage(100, 100);
  {
    QtDC dc(image);
    dc.MoveTo(-2000000000, 50);
    dc.LineTo(2000000000, 50);
  }
  EXPECT_TRUE(IsDark(image.pixel(0, 50)));
  EXPECT_TRUE(IsDark(image.pixel(99, 50)));
  EXPECT_EQ(CountOf(image, IsDark), 100);
}

// ---- Figures and fills -------------------------------------------------------------------

TEST(QtDC, RectangleStopsShortOfItsRightAndBottomEdges) {
  QImage image = WhiteImage(40, 20);
  {
    QtDC dc(image);
    dc.SelectBrush(SolidBrush(0));
    dc.Rectangle(2, 2, 10, 10);
    dc.SelectPen(kNullPen);  // without a pen the figure is one pixel smaller
    dc.Rectangle(20, 2, 28, 10);
  }
  EXPECT_EQ(BoxOf(image, IsDark, QRect(0, 0, 15, 20)), QRect(QPoint(2, 2), QPoint(9, 9)));
  EXPECT_EQ(BoxOf(image, IsDark, QRect(15, 0, 25, 20)), QRect(QPoint(20, 2), QPoint(26, 8)));
}

TEST(QtDC, PolygonIsFilledAndOutlined) {
  QImage image = WhiteImage(60, 60);
  {
    QtDC dc(image);
    dc.SelectPen(Pen{PS_SOLID, 0, kBlue});
    dc.SelectBrush(SolidBrush(kRed));
    const POINT square[] = {{10, 10}, {50, 10}, {50, 50}, {10, 50}};
    dc.Polygon(square, 4);
  }
  EXPECT_TRUE(Is(kRed)(image.pixel(30, 30)));
  EXPECT_TRUE(Is(kBlue)(image.pixel(10, 30)));
  EXPECT_TRUE(Is(kBlue)(image.pixel(30, 10)));
  EXPECT_TRUE(IsWhite(image.pixel(5, 30)));
  EXPECT_EQ(BoxOf(image, [](QRgb c) { return !IsWhite(c); }),
            QRect(QPoint(10, 10), QPoint(50, 50)));
}

TEST(QtDC, WindingFillFillsTheCentreOfAStarAndAlternateFillDoesNot) {
  const POINT star[] = {{100, 0}, {158, 180}, {4, 70}, {196, 70}, {42, 180}};
  QImage winding = WhiteImage();
  QImage alternate = WhiteImage();
  for (QImage* image : {&winding, &alternate}) {
    QtDC dc(*image);
    dc.SelectPen(kNullPen);
    dc.SelectBrush(SolidBrush(0));
    dc.SetPolyFillMode(image == &winding ? WINDING : ALTERNATE);
    dc.Polygon(star, 5);
  }
  EXPECT_TRUE(IsDark(winding.pixel(100, 100)));
  EXPECT_TRUE(IsWhite(alternate.pixel(100, 100)));
  EXPECT_TRUE(IsDark(winding.pixel(100, 20)));
  EXPECT_TRUE(IsDark(alternate.pixel(100, 20)));
}

TEST(QtDC, EllipseStaysInsideItsBox) {
  QImage image = WhiteImage(60, 40);
  {
    QtDC dc(image);
    dc.SelectBrush(HollowBrush());
    dc.Ellipse(10, 10, 50, 30);
  }
  EXPECT_EQ(BoxOf(image, IsDark), QRect(QPoint(10, 10), QPoint(49, 29)));
  EXPECT_TRUE(IsWhite(image.pixel(30, 20)));
}

TEST(QtDC, InsideFramePenStaysInsideTheBoxAndAnOrdinaryPenDoesNot) {
  QImage inside = WhiteImage(60, 60);
  QImage centred = WhiteImage(60, 60);
  for (QImage* image : {&inside, &centred}) {
    QtDC dc(*image);
    dc.SelectPen(Pen{image == &inside ? PS_INSIDEFRAME : PS_SOLID, 6, 0});
    dc.SelectBrush(HollowBrush());
    dc.Rectangle(10, 10, 50, 50);
  }
  EXPECT_EQ(BoxOf(inside, IsDark), QRect(QPoint(10, 10), QPoint(49, 49)));
  EXPECT_LT(BoxOf(centred, IsDark).left(), 10);
}

TEST(QtDC, HatchedBrushDrawsLinesEightPixelsApart) {
  QImage image = WhiteImage(64, 64);
  {
    QtDC dc(image);
    dc.SetBkMode(TRANSPARENT);
    dc.FillRect(RECT{0, 0, 64, 64}, HatchBrush(HS_HORIZONTAL, kBlue));
  }
  std::vector<int> rows;
  for (int y = 0; y < 64; ++y) {
    if (Is(kBlue)(image.pixel(30, y))) rows.push_back(y);
  }
  ASSERT_EQ(rows.size(), 8u);
  for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i] - rows[i - 1], 8);
  // Transparent: everything else stays as it was.
  EXPECT_EQ(CountOf(image, IsWhite), 64 * 64 - 8 * 64);
}

TEST(QtDC, HatchSpacingIsInDevicePixelsWhateverTheMapping) {
  QImage image = WhiteImage(64, 64);
  {
    QtDC dc(image);
    dc.SetMapMode(MM_HIMETRIC);
    dc.SetBkMode(TRANSPARENT);
    dc.FillRect(RECT{0, 0, 2540, -2540}, HatchBrush(HS_VERTICAL, kBlue));
  }
  int columns = 0;
  for (int x = 0; x < 64; ++x) columns += Is(kBlue)(image.pixel(x, 30)) ? 1 : 0;
  EXPECT_EQ(columns, 8);
}

TEST(QtDC, OpaqueHatchFillsItsGapsWithTheBackgroundColour) {
  QImage image = WhiteImage(64, 64);
  {
    QtDC dc(image);
    dc.SetBkColor(kYellow);
    dc.SetBkMode(OPAQUE);
    dc.FillRect(RECT{0, 0, 32, 64}, HatchBrush(HS_CROSS, kBlue));
  }
  EXPECT_EQ(CountOf(image, IsWhite), 32 * 64);
  EXPECT_EQ(CountOf(image, Is(kBlue)) + CountOf(image, Is(kYellow)), 32 * 64);
  // A cross hatch: 4 rows and 4 columns of the 32 × 64 area, crossing at 4 × 8 points.
  EXPECT_EQ(CountOf(image, Is(kBlue)), 8 * 32 + 4 * 64 - 4 * 8);
}

TEST(QtDC, DiagonalHatchesRunAsTheirNamesSay) {
  for (const std::int32_t hatch : {HS_FDIAGONAL, HS_BDIAGONAL}) {
    QImage image = WhiteImage(64, 64);
    {
      QtDC dc(image);
      dc.FillRect(RECT{0, 0, 64, 64}, HatchBrush(hatch, kBlue));
    }
    int x = 20;
    while (x < 40 && !Is(kBlue)(image.pixel(x, 30))) ++x;
    ASSERT_LT(x, 40);
    // HS_FDIAGONAL goes down to the right (\), HS_BDIAGONAL up to the right (/).
    const int step = hatch == HS_FDIAGONAL ? 1 : -1;
    EXPECT_TRUE(Is(kBlue)(image.pixel(x + 1, 30 + step))) << hatch;
    EXPECT_FALSE(Is(kBlue)(image.pixel(x + 1, 30 - step))) << hatch;
  }
}

TEST(QtDC, PatternBrushTilesItsBitmapFromThePixelOrigin) {
  auto pattern = std::make_shared<DIBPattern>();
  pattern->width = 2;
  pattern->height = -2;  // top row first: black, white / white, black
  pattern->bit_count = 1;
  pattern->colors = {RGB(0, 0, 0), RGB(255, 255, 255)};
  pattern->bits = {0x40, 0, 0, 0, 0x80, 0, 0, 0};
  QImage image = WhiteImage(20, 20);
  {
    QtDC dc(image);
    dc.SetMapMode(MM_LOMETRIC);
    dc.FillRect(RECT{0, 0, 2540, -2540}, PatternBrush(pattern));
  }
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      EXPECT_EQ(IsDark(image.pixel(x, y)), (x + y) % 2 == 0) << x << "," << y;
    }
  }
}

TEST(QtDC, FillRectCoversTheMappedRectangle) {
  QImage image = WhiteImage(200, 200);
  {
    QtDC dc(image);
    dc.SetMapMode(MM_LOMETRIC);
    dc.SetROP2(R2_NOP);  // area fills do not mix
    dc.FillRect(RECT{0, 0, 254, -127}, SolidBrush(kRed));
  }
  // One inch by half an inch at 96 px/inch.
  EXPECT_EQ(BoxOf(image, Is(kRed)), QRect(0, 0, 96, 48));
}

TEST(QtDC, FilledPathIsDrawnOnlyWhenClosed) {
  QImage image = WhiteImage(60, 60);
  {
    QtDC dc(image);
    dc.SelectBrush(SolidBrush(kRed));
    dc.BeginPath();
    dc.MoveTo(10, 10);
    dc.LineTo(50, 10);
    dc.LineTo(50, 50);
    dc.LineTo(10, 50);
    dc.CloseFigure();
    EXPECT_TRUE(IsWhite(image.pixel(30, 30)));  // nothing drawn while recording
    dc.EndPath();
    EXPECT_TRUE(dc.FillPath());
    EXPECT_FALSE(dc.StrokePath());
  }
  EXPECT_EQ(BoxOf(image, Is(kRed)), QRect(10, 10, 40, 40));
}

TEST(QtDC, StrokedPathJoinsItsFigures) {
  QImage image = WhiteImage(60, 60);
  {
    QtDC dc(image);
    dc.SelectPen(Pen{PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER, 4, kBlue});
    dc.BeginPath();
    dc.MoveTo(10, 50);
    dc.LineTo(10, 10);
    dc.LineTo(50, 10);
    dc.Ellipse(30, 30, 50, 50);
    dc.EndPath();
    dc.StrokePath();
  }
  // The mitred corner at (10, 10) is filled out to (8, 8).
  EXPECT_TRUE(Is(kBlue)(image.pixel(8, 8)));
  EXPECT_TRUE(Is(kBlue)(image.pixel(40, 31)));
  EXPECT_TRUE(IsWhite(image.pixel(40, 40)));
}

TEST(QtDC, RasterMixingInvertsAndNopDrawsNothing) {
  QImage image = WhiteImage(40, 40);
  {
    QtDC dc(image);
    dc.SelectPen(kNullPen);
    dc.SetROP2(R2_NOT);
    dc.Rectangle(0, 0, 21, 21);  // covers 0..19
    EXPECT_TRUE(IsDark(image.pixel(10, 10)));
    dc.Rectangle(10, 10, 31, 31);
    dc.SetROP2(R2_NOP);
    dc.SelectBrush(SolidBrush(kRed));
    dc.Rectangle(0, 0, 40, 40);
  }
  EXPECT_TRUE(IsDark(image.pixel(5, 5)));
  EXPECT_TRUE(IsWhite(image.pixel(15, 15)));  // inverted twice
  EXPECT_TRUE(IsDark(image.pixel(25, 25)));
  EXPECT_EQ(CountOf(image, Is(kRed)), 0);
}

// ---- Regions and clipping ----------------------------------------------------------------

TEST(QtDC, FillRgnReadsTheRegionInLogicalUnits) {
  QImage image = WhiteImage(200, 200);
  {
    QtDC dc(image);
    dc.SetMapMode(MM_LOMETRIC);
    dc.FillRgn(Region(RECT{0, 0, 254, -254}), SolidBrush(kRed));
  }
  EXPECT_EQ(BoxOf(image, Is(kRed)), QRect(0, 0, 96, 96));
}

TEST(QtDC, FrameRgnDrawsABorderInsideTheRegion) {
  QImage image = WhiteImage(60, 60);
  const Region l = Region::FromRects({RECT{10, 10, 50, 30}, RECT{10, 30, 30, 50}});
  {
    QtDC dc(image);
    dc.FrameRgn(l, SolidBrush(kBlue), 2, 3);
  }
  EXPECT_TRUE(Is(kBlue)(image.pixel(10, 20)));
  EXPECT_TRUE(Is(kBlue)(image.pixel(11, 20)));
  EXPECT_TRUE(IsWhite(image.pixel(12, 20)));
  EXPECT_TRUE(Is(kBlue)(image.pixel(20, 12)));
  EXPECT_TRUE(IsWhite(image.pixel(20, 13)));
  EXPECT_TRUE(Is(kBlue)(image.pixel(40, 27)));  // the inner edge of the L
  EXPECT_TRUE(Is(kBlue)(image.pixel(28, 40)));
  EXPECT_TRUE(IsWhite(image.pixel(20, 40)));
  EXPECT_TRUE(IsWhite(image.pixel(45, 45)));  // outside the L
  EXPECT_EQ(BoxOf(image, Is(kBlue)), QRect(10, 10, 40, 40));
}

TEST(QtDC, InvertRgnSwapsBlackAndWhite) {
  QImage image = WhiteImage(40, 20);
  {
    QtDC dc(image);
    dc.FillRect(RECT{0, 0, 20, 20}, SolidBrush(0));
    dc.InvertRgn(Region::FromRect(10, 5, 30, 15));
  }
  EXPECT_TRUE(IsDark(image.pixel(5, 10)));
  EXPECT_TRUE(IsWhite(image.pixel(15, 10)));
  EXPECT_TRUE(IsDark(image.pixel(25, 10)));
  EXPECT_TRUE(IsWhite(image.pixel(35, 10)));
  EXPECT_EQ(image.pixel(25, 10), qRgb(0, 0, 0));
}

TEST(QtDC, ClipRectLimitsDrawingUntilRestored) {
  QImage image = WhiteImage(100, 100);
  {
    QtDC dc(image);
    dc.SaveDC();
    dc.IntersectClipRect(10, 10, 20, 20);
    RECT box;
    EXPECT_EQ(dc.GetClipBox(box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{10, 10, 20, 20}));
    dc.FillRect(RECT{0, 0, 100, 100}, SolidBrush(kRed));
    EXPECT_EQ(CountOf(image, Is(kRed)), 100);
    dc.RestoreDC(-1);
    dc.FillRect(RECT{0, 0, 100, 50}, SolidBrush(kBlue));
  }
  EXPECT_EQ(CountOf(image, Is(kBlue)), 100 * 50);
}

TEST(QtDC, PainterClipStaysBeneathTheDCClip) {
  QImage image = WhiteImage(100, 100);
  {
    QPainter painter(&image);
    painter.setClipRect(QRect(0, 0, 50, 40));
    QtDC dc(painter);
    RECT box;
    dc.GetClipBox(box);
    EXPECT_EQ(box, (RECT{0, 0, 50, 40}));
    dc.SelectClipRgn(nullptr);
    dc.FillRect(RECT{0, 0, 100, 100}, SolidBrush(kRed));
  }
  EXPECT_EQ(BoxOf(image, Is(kRed)), QRect(0, 0, 50, 40));
}

// ---- Text --------------------------------------------------------------------------------

TEST(QtDCText, TimesNewRomanResolvesToAMetricCompatibleFace) {
  QImage image = WhiteImage();
  QtDC dc(image);
  dc.SelectFont(TimesFont(-40));
  EXPECT_EQ(QFontInfo(QtDC::MakeFont(dc)).family(), QStringLiteral("Liberation Serif"));
  EXPECT_EQ(QtDC::MakeFont(dc).pixelSize(), 40);
}

TEST(QtDCText, NegativeHeightIsTheCharacterHeightAndPositiveTheCellHeight) {
  QImage image = WhiteImage();
  QtDC dc(image);
  dc.SelectFont(TimesFont(-40));
  TEXTMETRIC tm = dc.GetTextMetrics();
  EXPECT_NEAR(tm.tmHeight - tm.tmInternalLeading, 40, 1);
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  dc.SelectFont(TimesFont(40));
  tm = dc.GetTextMetrics();
  EXPECT_NEAR(tm.tmHeight, 40, 1);
  EXPECT_GT(tm.tmInternalLeading, 0);
}

TEST(QtDCText, MetricsAreInLogicalUnits) {
  QImage image = WhiteImage();
  QtDC dc(image);
  dc.SetMapMode(MM_HIMETRIC);
  dc.SelectFont(TimesFont(-500));  // 5 mm = 18.9 px, drawn at 19 px
  const TEXTMETRIC tm = dc.GetTextMetrics();
  EXPECT_NEAR(tm.tmHeight - tm.tmInternalLeading, 500, 27);  // within a pixel
  const SIZE extent = dc.GetTextExtent("Tessmor");
  EXPECT_EQ(extent.cy, tm.tmHeight);
  EXPECT_GT(extent.cx, 5 * 500 / 2);
}

TEST(QtDCText, ExtentInLogicalUnitsHardlyDependsOnTheResolution) {
  QImage screen = WhiteImage();
  QImage print = WhiteImage();
  QtDC low(screen);
  QtDC high(print, 1200, 1200);
  SIZE extents[2];
  int i = 0;
  for (QtDC* dc : {&low, &high}) {
    dc->SetMapMode(MM_HIMETRIC);
    dc->SelectFont(TimesFont(-500));
    extents[i++] = dc->GetTextExtent("Bouguer anomaly (mGal)");
  }
  // 5 mm text drawn at 19 px instead of 18.9 px: 0.5 % larger, plus rounding of the advance.
  EXPECT_NEAR(extents[0].cx, extents[1].cx, 0.02 * extents[1].cx);
  EXPECT_NEAR(extents[0].cy, extents[1].cy, 0.03 * extents[1].cy);
}

TEST(QtDCText, CentredBaselineTextIsCentredOnItsPoint) {
  QImage image = WhiteImage();
  {
    QtDC dc(image);
    dc.SelectFont(TimesFont(-40));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(TA_CENTER | TA_BASELINE);
    dc.TextOut(100, 100, "HHHH");
  }
  const QRect box = BoxOf(image, IsDark);
  EXPECT_NEAR((box.left() + box.right() + 1) / 2.0, 100.0, 2.0);
  // H sits on the baseline and is about two thirds of the character height tall.
  EXPECT_NEAR(box.bottom(), 99, 1);
  EXPECT_NEAR(box.top(), 100 - 0.66 * 40, 3);
}

TEST(QtDCText, TopLeftTextHangsBelowAndRightOfItsPoint) {
  QImage image = WhiteImage();
  int ascent = 0;
  {
    QtDC dc(image);
    dc.SelectFont(TimesFont(-40));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.TextOut(20, 20, "HHHH");
    ascent = dc.GetTextMetrics().tmAscent;
  }
  const QRect box = BoxOf(image, IsDark);
  EXPECT_NEAR(box.left(), 20, 2);
  EXPECT_NEAR(box.bottom(), 20 + ascent - 1, 1);  // the baseline is one ascent down
  EXPECT_GT(box.top(), 20);
}

TEST(QtDCText, RightBottomTextEndsAtItsPoint) {
  QImage image = WhiteImage();
  int descent = 0;
  {
    QtDC dc(image);
    dc.SelectFont(TimesFont(-40));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
    dc.TextOut(180, 180, "HHHH");
    descent = dc.GetTextMetrics().tmDescent;
  }
  const QRect box = BoxOf(image, IsDark);
  EXPECT_NEAR(box.right() + 1, 180, 2);
  EXPECT_NEAR(box.bottom(), 180 - descent - 1, 1);
}

TEST(QtDCText, EscapementOf900DrawsUpThePage) {
  QImage image = WhiteImage();
  int width = 0;
  {
    QtDC dc(image);
    dc.SelectFont(TimesFont(-30, 900));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(TA_LEFT | TA_BASELINE);
    dc.TextOut(100, 180, "HHHHHH");
    width = dc.GetTextExtent("HHHHHH").cx;
  }
  const QRect box = BoxOf(image, IsDark);
  EXPECT_GT(box.height(), 3 * box.width());
  // The baseline runs up from (100, 180); the letters stand to its left.
  EXPECT_NEAR(box.bottom(), 180, 2);
  EXPECT_NEAR(box.top(), 180 - width, 3);
  EXPECT_NEAR(box.right(), 99, 1);
  EXPECT_NEAR(box.left(), 100 - 0.66 * 30, 3);
}

TEST(QtDCText, EscapementTurnsTextInAYUpModeTheSameWay) {
  QImage image = WhiteImage();
  {
    QtDC dc(image);
    dc.SetMapMode(MM_LOMETRIC);
    dc.SelectFont(TimesFont(-80, 900));
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(254, -500, "HHHHHH");  // TA_TOP: the letters hang right of the baseline
  }
  const QRect box = BoxOf(image, IsDark);
  EXPECT_GT(box.height(), 3 * box.width());
  EXPECT_NEAR(box.bottom(), 500 * 96 / 254.0, 2);
  EXPECT_GE(box.left(), 96);
}

TEST(QtDCText, OpaqueTextFillsItsCellWithTheBackgroundColour) {
  QImage image = WhiteImage();
  SIZE extent;
  {
    QtDC dc(image);
    dc.SelectFont(TimesFont(-40));
    dc.SetBkColor(kYellow);
    dc.SetBkMode(OPAQUE);
    dc.TextOut(10, 10, "Hello");
    extent = dc.GetTextExtent("Hello");
  }
  const QRect cell = BoxOf(image, [](QRgb c) { return !IsWhite(c); });
  EXPECT_EQ(cell.topLeft(), QPoint(10, 10));
  EXPECT_NEAR(cell.width(), extent.cx, 1);
  EXPECT_NEAR(cell.height(), extent.cy, 1);
  EXPECT_GT(CountOf(image, Is(kYellow)), extent.cx * extent.cy / 2);
}

TEST(QtDCText, ExtentMatchesTheDrawnText) {
  QImage image = WhiteImage(400, 100);
  SIZE extent;
  {
    QtDC dc(image);
    dc.SelectFont(TimesFont(-40));
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(10, 10, "HHHHHHHH");
    extent = dc.GetTextExtent("HHHHHHHH");
  }
  // The ink of a row of H is the advance less the side bearings of the first and last H.
  EXPECT_NEAR(BoxOf(image, IsDark).width(), extent.cx, 0.05 * extent.cx);
}

TEST(QtDCText, TextColourIsUsed) {
  QImage image = WhiteImage();
  {
    QtDC dc(image);
    dc.SelectFont(TimesFont(-40));
    dc.SetTextColor(kBlue);
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(10, 10, "HHH");
  }
  EXPECT_GT(CountOf(image, Is(kBlue)), 50);
  EXPECT_EQ(CountOf(image, IsDark), CountOf(image, [](QRgb c) {
              return IsDark(c) && qBlue(c) > 0;  // every dark pixel is a shade of blue
            }));
}

// ---- Vector targets ----------------------------------------------------------------------

void DrawSample(DC& dc) {
  dc.SetMapMode(MM_HIMETRIC);
  dc.SelectPen(Pen{PS_GEOMETRIC | PS_ENDCAP_ROUND, 50, kBlue});
  dc.SelectBrush(HatchBrush(HS_DIAGCROSS, kRed));
  const POINT triangle[] = {{1000, -1000}, {5000, -1000}, {3000, -4000}};
  dc.Polygon(triangle, 3);
  dc.SelectFont(TimesFont(-500));
  dc.TextOut(1000, -5000, "Tessmor");
}

TEST(QtDC, PdfWriterReceivesTheDrawing) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(600);
    QtDC dc(writer);
    ASSERT_TRUE(dc.IsActive());
    EXPECT_FALSE(dc.IsRaster());
    EXPECT_EQ(dc.GetPixelsPerInchX(), 600);
    DrawSample(dc);
  }
  EXPECT_TRUE(buffer.data().startsWith("%PDF"));
  EXPECT_GT(buffer.data().size(), 1000);
}

TEST(QtDC, SvgGeneratorReceivesTheDrawing) {
  QBuffer buffer;
  {
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(300, 300));
    svg.setResolution(96);
    QtDC dc(svg);
    ASSERT_TRUE(dc.IsActive());
    EXPECT_EQ(dc.GetPixelsPerInchY(), 96);
    DrawSample(dc);
  }
  const QByteArray text = buffer.data();
  EXPECT_TRUE(text.contains("<svg"));
  EXPECT_TRUE(text.contains("<path"));
  EXPECT_TRUE(text.contains("Tessmor"));
}

}  // namespace
}  // namespace tessmor
