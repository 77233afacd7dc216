#include "platform/gdi/WmfDC.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace tessmor;

// WMF record functions, from the format's documentation.
enum : std::uint16_t {
  kEof = 0x0000,
  kSaveDC = 0x001E,
  kSetMapMode = 0x0103,
  kRestoreDC = 0x0127,
  kSelectObject = 0x012D,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kCreatePen = 0x02FA,
  kCreateFont = 0x02FB,
  kPolygon = 0x0324,
  kPolyline = 0x0325,
  kIntersectClip = 0x0416,
  kPolyPolygon = 0x0538,
  kExtTextOut = 0x0A32,
};

struct Rec {
  std::uint16_t function;
  std::vector<std::uint8_t> b;
  std::int16_t i16(std::size_t at) const {
    return static_cast<std::int16_t>(b.at(at) | (b.at(at + 1) << 8));
  }
  std::uint16_t u16(std::size_t at) const { return static_cast<std::uint16_t>(i16(at)); }
  // The points of a POLYLINE or POLYGON record.
  std::vector<POINT> points() const {
    std::vector<POINT> p;
    for (int i = 0; i < i16(6); ++i) p.push_back({i16(8 + 4 * i), i16(10 + 4 * i)});
    return p;
  }
};

std::uint16_t Word(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}
std::uint32_t Long(const std::vector<std::uint8_t>& b, std::size_t at) {
  return Word(b, at) | (static_cast<std::uint32_t>(Word(b, at + 2)) << 16);
}

// The records after the placeable and the standard header; fails the test when the sizes do
// not add up to the file.
std::vector<Rec> Records(const std::vector<std::uint8_t>& bytes) {
  std::vector<Rec> out;
  std::size_t at = 22 + 18;
  while (at + 6 <= bytes.size()) {
    const std::size_t size = 2 * static_cast<std::size_t>(Long(bytes, at));
    EXPECT_TRUE(size >= 6 && at + size <= bytes.size()) << "record at " << at;
    if (size < 6 || at + size > bytes.size()) break;
    out.push_back({Word(bytes, at + 4),
                   std::vector<std::uint8_t>(bytes.begin() + at, bytes.begin() + at + size)});
    at += size;
  }
  EXPECT_EQ(at, bytes.size());
  return out;
}

std::vector<Rec> OfType(const std::vector<Rec>& all, std::uint16_t function) {
  std::vector<Rec> out;
  for (const Rec& r : all) {
    if (r.function == function) out.push_back(r);
  }
  return out;
}

TEST(WmfDC, UnitsPerPixelKeepTheFrameWithinSixteenBits) {
  EXPECT_EQ(WmfUnitsPerPixel(400, 300), 16);
  EXPECT_EQ(WmfUnitsPerPixel(3000, 100), 10);  // 32767 / 3000
  EXPECT_EQ(WmfUnitsPerPixel(100, 40000), 1);
  EXPECT_EQ(WmfUnitsPerPixel(0, 0), 16);
}

TEST(WmfDC, PlaceableHeaderAndWindowDescribeTheFrame) {
  WmfDC dc(96, RECT{0, 0, 400, 300});
  dc.MoveTo(0, 0);
  dc.LineTo(100, 100);
  const std::vector<std::uint8_t> bytes = dc.Close();
  ASSERT_GT(bytes.size(), 40u);
  EXPECT_EQ(Long(bytes, 0), 0x9AC6CDD7u) << "placeable key";
  EXPECT_EQ(Word(bytes, 6), 0);
  EXPECT_EQ(Word(bytes, 8), 0);
  EXPECT_EQ(Word(bytes, 10), 400 * 16);
  EXPECT_EQ(Word(bytes, 12), 300 * 16);
  EXPECT_EQ(Word(bytes, 14), 96 * 16) << "units per inch";
  std::uint16_t sum = 0;
  for (int i = 0; i < 10; ++i) sum ^= Word(bytes, 2 * i);
  EXPECT_EQ(Word(bytes, 20), sum) << "checksum";
  EXPECT_EQ(Word(bytes, 22), 1) << "metafile in memory";
  EXPECT_EQ(Word(bytes, 24), 9) << "header words";
  EXPECT_EQ(Long(bytes, 28), (bytes.size() - 22) / 2) << "size in words";

  const std::vector<Rec> recs = Records(bytes);
  ASSERT_GE(recs.size(), 4u);
  EXPECT_EQ(recs[0].function, kSetMapMode);
  EXPECT_EQ(recs[0].u16(6), MM_ANISOTROPIC);
  EXPECT_EQ(recs[1].function, kSetWindowOrg);
  EXPECT_EQ(recs[1].i16(6), 0);
  EXPECT_EQ(recs[2].function, kSetWindowExt);
  EXPECT_EQ(recs[2].i16(6), 300 * 16) << "y first";
  EXPECT_EQ(recs[2].i16(8), 400 * 16);
  EXPECT_EQ(recs.back().function, kEof);
  std::uint32_t largest = 0;
  for (const Rec& r : recs) largest = std::max<std::uint32_t>(largest, r.b.size() / 2);
  EXPECT_EQ(Long(bytes, 22 + 12), largest) << "largest record in words";
  const std::vector<Rec> lines = OfType(recs, kPolyline);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points(), (std::vector<POINT>{{0, 0}, {1600, 1600}}));
}

TEST(WmfDC, WithoutAFrameTheWindowIsWhatWasDrawn) {
  WmfDC dc(96);
  dc.SelectPen(Pen{PS_SOLID, 2, 0});
  dc.MoveTo(10, 20);
  dc.LineTo(50, 20);
  const std::vector<std::uint8_t> bytes = dc.Close();
  const std::vector<Rec> recs = Records(bytes);
  // One unit a pixel; a 2-pixel pen reaches one pixel either side of the line.
  EXPECT_EQ(recs[1].i16(6), 19);
  EXPECT_EQ(recs[1].i16(8), 9);
  EXPECT_EQ(recs[2].i16(6), 3);
  EXPECT_EQ(recs[2].i16(8), 43);
  EXPECT_EQ(Word(bytes, 14), 96);
}

TEST(WmfDC, FrameOriginIsTheWindowOrigin) {
  WmfDC dc(96, RECT{100, 50, 200, 150});
  dc.MoveTo(100, 50);
  dc.LineTo(200, 150);
  const std::vector<Rec> lines = OfType(Records(dc.Close()), kPolyline);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points(), (std::vector<POINT>{{0, 0}, {1600, 1600}}));
}

TEST(WmfDC, BezierIsFlattenedCloseToTheCurve) {
  WmfDC dc(96, RECT{0, 0, 200, 200});
  const POINT c[] = {{0, 100}, {50, 0}, {150, 200}, {200, 100}};
  dc.PolyBezier(c, 4);
  const std::vector<Rec> lines = OfType(Records(dc.Close()), kPolyline);
  ASSERT_EQ(lines.size(), 1u);
  const std::vector<POINT> pts = lines[0].points();
  ASSERT_GT(pts.size(), 8u);
  EXPECT_EQ(pts.front(), (POINT{0, 1600}));
  EXPECT_EQ(pts.back(), (POINT{3200, 1600}));
  // Every vertex lies on the curve, to within a quarter pixel and the rounding to units.
  for (const POINT& p : pts) {
    double best = 1e9;
    for (int i = 0; i <= 2000; ++i) {
      const double t = i / 2000.0, u = 1 - t;
      const double x =
          16 * (u * u * u * 0 + 3 * u * u * t * 50 + 3 * u * t * t * 150 + t * t * t * 200);
      const double y =
          16 * (u * u * u * 100 + 3 * u * u * t * 0 + 3 * u * t * t * 200 + t * t * t * 100);
      best = std::min(best, std::hypot(p.x - x, p.y - y));
    }
    EXPECT_LT(best, 16 * 0.25 + 1) << p.x << "," << p.y;
  }
}

TEST(WmfDC, DashedLineIsCutIntoSolidDashes) {
  WmfDC dc(96, RECT{0, 0, 200, 20});
  dc.SetBkMode(TRANSPARENT);
  dc.SelectPen(Pen{PS_DASH, 0, RGB(0, 0, 255)});
  dc.MoveTo(0, 10);
  dc.LineTo(100, 10);
  const std::vector<Rec> recs = Records(dc.Close());
  const std::vector<Rec> lines = OfType(recs, kPolyline);
  // 18 pixels on, 6 off: dashes from 0, 24, 48, 72 and 96, the last cut at 100.
  ASSERT_EQ(lines.size(), 5u);
  const int starts[] = {0, 24, 48, 72, 96};
  const int ends[] = {18, 42, 66, 90, 100};
  for (int i = 0; i < 5; ++i) {
    const std::vector<POINT> p = lines[i].points();
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0], (POINT{starts[i] * 16, 160}));
    EXPECT_EQ(p[1], (POINT{ends[i] * 16, 160}));
  }
  const std::vector<Rec> pens = OfType(recs, kCreatePen);
  ASSERT_EQ(pens.size(), 1u);
  EXPECT_EQ(pens[0].u16(6), PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER) << "solid dashes";
  EXPECT_EQ(pens[0].u16(8), 16) << "one pixel";
}

TEST(WmfDC, OpaqueDashGapsTakeTheBackgroundColour) {
  WmfDC dc(96, RECT{0, 0, 200, 20});
  dc.SetBkColor(RGB(255, 255, 0));
  dc.SelectPen(Pen{PS_DOT, 0, RGB(0, 0, 255)});
  dc.MoveTo(0, 10);
  dc.LineTo(12, 10);
  const std::vector<Rec> recs = Records(dc.Close());
  const std::vector<Rec> lines = OfType(recs, kPolyline);
  ASSERT_EQ(lines.size(), 3u) << "the whole line, then two dots";
  EXPECT_EQ(lines[0].points().back(), (POINT{12 * 16, 160}));
  const std::vector<Rec> pens = OfType(recs, kCreatePen);
  ASSERT_EQ(pens.size(), 2u);
  // The pen's colour follows its style and width: red, green, blue bytes.
  EXPECT_EQ(pens[0].b.at(12), 255) << "yellow first";
  EXPECT_EQ(pens[0].b.at(13), 255);
  EXPECT_EQ(pens[0].b.at(14), 0);
  EXPECT_EQ(pens[1].b.at(12), 0) << "then blue";
  EXPECT_EQ(pens[1].b.at(14), 255);
}

TEST(WmfDC, PathIsFilledAsPolygonsAndStrokedAsPolylines) {
  WmfDC dc(96, RECT{0, 0, 100, 100});
  dc.BeginPath();
  dc.MoveTo(0, 0);
  dc.LineTo(10, 0);
  dc.LineTo(0, 10);
  dc.CloseFigure();
  dc.EndPath();
  dc.StrokeAndFillPath();
  const std::vector<Rec> recs = Records(dc.Close());
  const std::vector<Rec> polygons = OfType(recs, kPolygon);
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(polygons[0].points(), (std::vector<POINT>{{0, 0}, {160, 0}, {0, 160}}));
  const std::vector<Rec> lines = OfType(recs, kPolyline);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points(), (std::vector<POINT>{{0, 0}, {160, 0}, {0, 160}, {0, 0}}));
  EXPECT_TRUE(OfType(recs, kPolyPolygon).empty());
}

TEST(WmfDC, EllipseBecomesAPolygonNearTheCircle) {
  WmfDC dc(96, RECT{0, 0, 100, 100});
  dc.Ellipse(0, 0, 100, 100);
  const std::vector<Rec> polygons = OfType(Records(dc.Close()), kPolygon);
  ASSERT_EQ(polygons.size(), 1u);
  const std::vector<POINT> pts = polygons[0].points();
  ASSERT_GT(pts.size(), 16u);
  for (const POINT& p : pts) {
    // The Bézier quarters stay within 0.03 % of the radius of the circle (800 units).
    EXPECT_NEAR(std::hypot(p.x - 800.0, p.y - 800.0), 800.0, 2.0);
  }
}

TEST(WmfDC, TextIsLatinOneWithOneAdvancePerCharacter) {
  WmfDC dc(96, RECT{0, 0, 200, 100});
  LOGFONT f;
  f.lfHeight = -16;
  f.lfEscapement = 450;
  SetFaceName(f, "Liberation Serif");
  dc.SelectFont(f);
  dc.TextOut(10, 50, "A\xC3\xA9\xE2\x82\xAC");  // A, é, €
  const std::vector<Rec> recs = Records(dc.Close());
  const std::vector<Rec> texts = OfType(recs, kExtTextOut);
  ASSERT_EQ(texts.size(), 1u);
  const Rec& t = texts[0];
  EXPECT_EQ(t.i16(6), 50 * 16) << "y first";
  EXPECT_EQ(t.i16(8), 10 * 16);
  ASSERT_EQ(t.i16(10), 3);
  EXPECT_EQ(t.b.at(14), 'A');
  EXPECT_EQ(t.b.at(15), 0xE9) << "é in Latin-1";
  EXPECT_EQ(t.b.at(16), '?') << "no euro sign in Latin-1";
  for (int i = 0; i < 3; ++i) EXPECT_GT(t.i16(18 + 2 * i), 0) << "advance " << i;
  const std::vector<Rec> fonts = OfType(recs, kCreateFont);
  ASSERT_EQ(fonts.size(), 1u);
  EXPECT_EQ(fonts[0].i16(6), -256);
  EXPECT_EQ(fonts[0].i16(10), 450);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(fonts[0].b.data()) + 24), "Liberation Serif");
}

TEST(WmfDC, ClipIsItsBoundingRectangleUndoneByRestoring) {
  WmfDC dc(96, RECT{0, 0, 100, 100});
  dc.IntersectClipRect(10, 10, 50, 60);
  dc.Rectangle(0, 0, 100, 100);
  dc.SelectClipRgn(nullptr);
  dc.Rectangle(0, 0, 100, 100);
  std::vector<std::uint16_t> order;
  for (const Rec& r : Records(dc.Close())) {
    if (r.function == kSaveDC || r.function == kIntersectClip || r.function == kRestoreDC ||
        r.function == kPolygon) {
      order.push_back(r.function);
    }
  }
  EXPECT_EQ(order,
            (std::vector<std::uint16_t>{kSaveDC, kIntersectClip, kPolygon, kRestoreDC, kPolygon}));
}

TEST(WmfDC, PointsBeyondTheSixteenBitRangeAreHeldAtItsEdge) {
  WmfDC dc(96, RECT{0, 0, 100, 100});
  dc.MoveTo(0, 0);
  dc.LineTo(100000, -100000);
  const std::vector<Rec> lines = OfType(Records(dc.Close()), kPolyline);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points().back(), (POINT{32767, -32768}));
}

TEST(WmfDC, ObjectsAreSelectedAndReplaced) {
  WmfDC dc(96, RECT{0, 0, 100, 100});
  dc.SelectPen(Pen{PS_SOLID, 1, RGB(255, 0, 0)});
  dc.MoveTo(0, 0);
  dc.LineTo(10, 0);
  dc.SelectPen(Pen{PS_SOLID, 1, RGB(0, 255, 0)});
  dc.LineTo(10, 10);
  const std::vector<Rec> recs = Records(dc.Close());
  EXPECT_EQ(OfType(recs, kCreatePen).size(), 2u);
  EXPECT_EQ(OfType(recs, kSelectObject).size(), 2u);
  EXPECT_EQ(OfType(recs, 0x01F0).size(), 1u) << "the first pen deleted";
}

}  // namespace
