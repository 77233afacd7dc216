#include "platform/gdi/EmfDC.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/QtDC.h"
#include "testsupport/RecordingDC.h"

namespace {

using namespace tessmor;

// EMF record types, from the format's documentation.
enum : std::uint32_t {
  kHeader = 1,
  kPolyBezier = 2,
  kPolygon = 3,
  kPolyline = 4,
  kPolyBezierTo = 5,
  kPolyPolygon = 8,
  kEof = 14,
  kMoveTo = 27,
  kSelectObject = 37,
  kCreatePen = 38,
  kCreateBrush = 39,
  kDeleteObject = 40,
  kEllipse = 42,
  kLineTo = 54,
  kBeginPath = 59,
  kEndPath = 60,
  kCloseFigure = 61,
  kStrokeAndFillPath = 63,
  kAbortPath = 68,
  kExtSelectClipRgn = 75,
  kFont = 82,
  kTextW = 84,
  kPatternBrush = 94,
  kExtCreatePen = 95,
};

// A record of a metafile under test: its type and bytes, read little-endian.
struct Rec {
  std::uint32_t type;
  std::vector<std::uint8_t> b;
  std::uint32_t u32(std::size_t at) const {
    return b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16) |
           (static_cast<std::uint32_t>(b.at(at + 3)) << 24);
  }
  std::int32_t i32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }
  std::uint16_t u16(std::size_t at) const { return b.at(at) | (b.at(at + 1) << 8); }
  // The points of a POLYLINE, POLYGON or POLYBEZIER record.
  std::vector<POINT> points() const {
    std::vector<POINT> p;
    for (std::uint32_t i = 0; i < u32(24); ++i) p.push_back({i32(28 + 8 * i), i32(32 + 8 * i)});
    return p;
  }
};

// Splits the bytes into records, failing the test when a length does not add up.
std::vector<Rec> Records(const std::vector<std::uint8_t>& bytes) {
  std::vector<Rec> out;
  std::size_t at = 0;
  while (at + 8 <= bytes.size()) {
    Rec r{0, std::vector<std::uint8_t>(bytes.begin() + at, bytes.begin() + at + 8)};
    const std::uint32_t size = r.u32(4);
    r.type = r.u32(0);
    EXPECT_TRUE(size >= 8 && size % 4 == 0 && at + size <= bytes.size()) << "record at " << at;
    if (!(size >= 8 && at + size <= bytes.size())) break;
    r.b.assign(bytes.begin() + at, bytes.begin() + at + size);
    out.push_back(r);
    at += size;
  }
  EXPECT_EQ(at, bytes.size()) << "the records fill the file";
  return out;
}

std::vector<Rec> OfType(const std::vector<Rec>& all, std::uint32_t type) {
  std::vector<Rec> out;
  for (const Rec& r : all) {
    if (r.type == type) out.push_back(r);
  }
  return out;
}

TEST(EmfDC, HeaderDescribesTheFrameTheBoundsAndTheFile) {
  const std::string description("Tessmor\0Chart\0\0", 15);
  EmfDC dc(96, description, RECT{0, 0, 200, 100});
  dc.MoveTo(10, 20);
  dc.LineTo(110, 20);
  const EnhMetafile emf = dc.Close();
  ASSERT_TRUE(emf.IsValid());
  const std::vector<Rec> recs = Records(emf.bytes());
  ASSERT_GE(recs.size(), 3u);
  const Rec& h = recs.front();
  EXPECT_EQ(h.type, kHeader);
  EXPECT_EQ(h.u32(40), 0x464D4520u) << "signature";
  EXPECT_EQ(h.u32(48), emf.bytes().size()) << "nBytes";
  EXPECT_EQ(h.u32(52), recs.size()) << "nRecords";
  EXPECT_EQ(recs.back().type, kEof);
  // The bounds are the frame, 16 units a pixel, right and bottom inclusive.
  EXPECT_EQ(h.i32(8), 0);
  EXPECT_EQ(h.i32(12), 0);
  EXPECT_EQ(h.i32(16), 200 * 16 - 1);
  EXPECT_EQ(h.i32(20), 100 * 16 - 1);
  // The frame: 200 × 100 pixels at 96 per inch are 52.917 × 26.458 mm, inclusive.
  EXPECT_EQ(h.i32(24), 0);
  EXPECT_EQ(h.i32(28), 0);
  EXPECT_EQ(h.i32(32), 5291);
  EXPECT_EQ(h.i32(36), 2645);
  // Reference device: 1016 mm square holding 40 inches of 96 × 16 units.
  EXPECT_EQ(h.i32(72), 40 * 96 * 16);
  EXPECT_EQ(h.i32(80), 1016);
  EXPECT_EQ(emf.header().description, std::u16string(u"Tessmor\0Chart\0\0", 15));
  EXPECT_EQ(emf.header().records, recs.size());
}

TEST(EmfDC, WithoutAFrameBoundsAndFrameAreWhatWasDrawn) {
  EmfDC dc(96);
  dc.MoveTo(10, 20);
  dc.LineTo(110, 20);
  const std::vector<Rec> recs = Records(dc.Close().bytes());
  ASSERT_FALSE(recs.empty());
  const Rec& h = recs.front();
  // A one-pixel line from x 10 to 110 at y 20, 16 units a pixel, half a pixel around it.
  EXPECT_EQ(h.i32(8), 10 * 16 - 8);
  EXPECT_EQ(h.i32(12), 20 * 16 - 8);
  EXPECT_EQ(h.i32(16), 110 * 16 + 8);
  EXPECT_EQ(h.i32(20), 20 * 16 + 8);
  // The same in hundredths of a millimetre: a unit is 2540 / (96 × 16) of them.
  EXPECT_EQ(h.i32(24), 251);   // 152 × 1.6536
  EXPECT_EQ(h.i32(28), 516);   // 312 × 1.6536
  EXPECT_EQ(h.i32(32), 2924);  // 1768 × 1.6536
  EXPECT_EQ(h.i32(36), 542);   // 328 × 1.6536
}

TEST(EmfDC, LinesAreStoredInDeviceSpaceSixteenUnitsAPixel) {
  EmfDC dc(96);
  // 0.1 mm units, y up: 254 units are one inch, 96 pixels.
  dc.SetMapMode(MM_LOMETRIC);
  const POINT line[] = {{0, 0}, {254, -254}, {508, 0}};
  dc.Polyline(line, 3);
  const std::vector<Rec> lines = OfType(Records(dc.Close().bytes()), kPolyline);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points(), (std::vector<POINT>{{0, 0}, {1536, 1536}, {3072, 0}}));
}

TEST(EmfDC, DashedPensBecomeUserStyledGeometricPens) {
  EmfDC dc(96);
  dc.SelectPen(Pen{PS_DASH, 0, RGB(255, 0, 0)});
  dc.MoveTo(0, 0);
  dc.LineTo(100, 0);
  // A geometric dotted pen 4 pixels wide: dots and gaps one width long.
  dc.SelectPen(Pen{PS_GEOMETRIC | PS_DOT | PS_ENDCAP_ROUND, 4, RGB(0, 0, 255)});
  dc.LineTo(100, 100);
  const std::vector<Rec> pens = OfType(Records(dc.Close().bytes()), kExtCreatePen);
  ASSERT_EQ(pens.size(), 2u);
  // EXTLOGPEN at 28: style, width, brush style, colour, hatch, entries, entry lengths.
  EXPECT_EQ(pens[0].u32(28), PS_GEOMETRIC | 7u | PS_ENDCAP_FLAT | PS_JOIN_MITER);
  EXPECT_EQ(pens[0].u32(32), 16u);
  EXPECT_EQ(pens[0].u32(40), 0x0000FFu) << "red, stored red first";
  ASSERT_EQ(pens[0].u32(48), 2u);
  EXPECT_EQ(pens[0].u32(52), 18u * 16) << "the desktop's 18-pixel dash";
  EXPECT_EQ(pens[0].u32(56), 6u * 16);
  EXPECT_EQ(pens[1].u32(28), PS_GEOMETRIC | 7u | PS_ENDCAP_ROUND);
  EXPECT_EQ(pens[1].u32(32), 64u);
  ASSERT_EQ(pens[1].u32(48), 2u);
  EXPECT_EQ(pens[1].u32(52), 64u);
  EXPECT_EQ(pens[1].u32(56), 64u);
}

TEST(EmfDC, WideCosmeticPenDrawsSolid) {
  EmfDC dc(96);
  dc.SelectPen(Pen{PS_DASH, 3, 0});
  dc.MoveTo(0, 0);
  dc.LineTo(50, 0);
  const std::vector<Rec> recs = Records(dc.Close().bytes());
  EXPECT_TRUE(OfType(recs, kExtCreatePen).empty());
  const std::vector<Rec> pens = OfType(recs, kCreatePen);
  ASSERT_EQ(pens.size(), 1u);
  EXPECT_EQ(pens[0].u32(12), PS_SOLID);
  EXPECT_EQ(pens[0].i32(16), 3 * 16);
}

TEST(EmfDC, ObjectsAreWrittenOnlyWhenTheyChange) {
  EmfDC dc(96);
  dc.SelectPen(Pen{PS_SOLID, 2, RGB(1, 2, 3)});
  dc.MoveTo(0, 0);
  dc.LineTo(10, 0);
  dc.LineTo(10, 10);
  dc.SelectPen(Pen{PS_SOLID, 2, RGB(1, 2, 3)});
  dc.LineTo(0, 10);
  dc.SelectPen(Pen{PS_SOLID, 2, RGB(9, 9, 9)});
  dc.LineTo(0, 0);
  const std::vector<Rec> recs = Records(dc.Close().bytes());
  const std::vector<Rec> pens = OfType(recs, kCreatePen);
  ASSERT_EQ(pens.size(), 2u);
  EXPECT_EQ(OfType(recs, kPolyline).size(), 4u);
  const std::vector<Rec> deleted = OfType(recs, kDeleteObject);
  ASSERT_EQ(deleted.size(), 1u);
  EXPECT_EQ(deleted[0].u32(8), pens[0].u32(8)) << "the first pen, once replaced";
}

TEST(EmfDC, HatchedAndPatternBrushesKeepTheirKind) {
  EmfDC dc(96);
  Brush hatch;
  hatch.style = BS_HATCHED;
  hatch.hatch = HS_DIAGCROSS;
  hatch.color = RGB(255, 0, 0);
  dc.SelectBrush(hatch);
  dc.Rectangle(0, 0, 20, 20);
  auto pattern = std::make_shared<DIBPattern>();
  pattern->width = 8;
  pattern->height = 8;
  pattern->bit_count = 1;
  pattern->colors = {RGB(0, 0, 0), RGB(255, 255, 255)};
  pattern->bits.assign(32, 0x55);
  Brush tiled;
  tiled.style = BS_DIBPATTERNPT;
  tiled.pattern = pattern;
  dc.SelectBrush(tiled);
  dc.Rectangle(20, 0, 40, 20);
  const std::vector<Rec> recs = Records(dc.Close().bytes());
  const std::vector<Rec> brushes = OfType(recs, kCreateBrush);
  // The hatch, then the pattern's solid underlay.
  ASSERT_EQ(brushes.size(), 2u);
  EXPECT_EQ(brushes[0].u32(12), static_cast<std::uint32_t>(BS_HATCHED));
  EXPECT_EQ(brushes[0].u32(20), static_cast<std::uint32_t>(HS_DIAGCROSS));
  EXPECT_EQ(brushes[1].u32(12), static_cast<std::uint32_t>(BS_SOLID));
  const std::vector<Rec> patterns = OfType(recs, kPatternBrush);
  ASSERT_EQ(patterns.size(), 1u);
  const Rec& p = patterns[0];
  const std::uint32_t bmi = p.u32(16), bits = p.u32(24);
  EXPECT_EQ(p.i32(bmi + 4), 8) << "width";
  EXPECT_EQ(p.u16(bmi + 14), 1) << "bits per pixel";
  EXPECT_EQ(p.u32(bmi + 44), 0x00FFFFFFu) << "second colour white";
  EXPECT_EQ(p.u32(28), 32u) << "pixel bytes";
  EXPECT_EQ(p.b.at(bits), 0x55);
}

// Selected objects, in the order they are selected: the brush and pen handles of every
// SELECTOBJECT record, with the type of each record that draws.
std::vector<std::string> Sequence(const std::vector<Rec>& recs) {
  std::vector<std::string> out;
  for (const Rec& r : recs) {
    if (r.type == kSelectObject) out.push_back("select " + std::to_string(r.u32(8)));
    if (r.type == kCreateBrush) out.push_back("brush " + std::to_string(r.u32(8)));
    if (r.type == kPatternBrush) out.push_back("pattern " + std::to_string(r.u32(8)));
    if (r.type == kPolygon) out.push_back("polygon");
    if (r.type == kBeginPath) out.push_back("begin");
    if (r.type == kEndPath) out.push_back("end");
    if (r.type == 62 /* FILLPATH */) out.push_back("fill");
  }
  return out;
}

TEST(EmfDC, PatternFillIsUnderlaidWithThePatternsMeanColour) {
  EmfDC dc(96);
  dc.SelectPen(Pen{PS_NULL, 0, 0});
  auto pattern = std::make_shared<DIBPattern>();
  pattern->width = 8;
  pattern->height = 8;
  pattern->bit_count = 1;
  pattern->colors = {RGB(0, 0, 0), RGB(255, 255, 255)};
  pattern->bits.assign(32, 0xEE);  // three white pixels in four
  Brush tiled;
  tiled.style = BS_DIBPATTERNPT;
  tiled.pattern = pattern;
  dc.SelectBrush(tiled);
  dc.Rectangle(0, 0, 20, 20);
  dc.Rectangle(40, 0, 60, 20);
  dc.SelectBrush(Brush{});  // solid white: no underlay any more
  dc.Rectangle(80, 0, 100, 20);
  const std::vector<Rec> recs = Records(dc.Close().bytes());
  const std::vector<Rec> brushes = OfType(recs, kCreateBrush);
  ASSERT_EQ(brushes.size(), 2u);
  EXPECT_EQ(brushes[0].u32(12), static_cast<std::uint32_t>(BS_SOLID));
  EXPECT_EQ(brushes[0].u32(16), 0x00BFBFBFu) << "the mean of 3/4 white: 191 grey";
  const std::string p = std::to_string(OfType(recs, kPatternBrush).at(0).u32(8));
  const std::string u = std::to_string(brushes[0].u32(8));
  const std::vector<std::string> seq = Sequence(recs);
  const std::vector<std::string> expected = {
      "pattern " + p, "select " + p, "brush " + u, "select " + u, "polygon", "select " + p,
      "polygon",      "select " + u, "polygon",    "select " + p, "polygon"};
  ASSERT_GE(seq.size(), expected.size() + 2);
  // (the null pen's records come first)
  EXPECT_EQ(
      std::vector<std::string>(seq.end() - static_cast<long>(expected.size()) - 3, seq.end() - 3),
      expected);
  // The underlay's polygon is the pattern's.
  const std::vector<Rec> polygons = OfType(recs, kPolygon);
  ASSERT_EQ(polygons.size(), 5u);
  EXPECT_EQ(polygons[0].points(), polygons[1].points());
  EXPECT_EQ(polygons[2].points(), polygons[3].points());
  // Changing to a solid brush deletes both the pattern and its underlay.
  const std::vector<Rec> deleted = OfType(recs, kDeleteObject);
  std::vector<std::uint32_t> gone;
  for (const Rec& r : deleted) gone.push_back(r.u32(8));
  EXPECT_NE(std::find(gone.begin(), gone.end(), std::stoul(p)), gone.end());
  EXPECT_NE(std::find(gone.begin(), gone.end(), std::stoul(u)), gone.end());
  EXPECT_EQ(seq.back(), "polygon");
}

TEST(EmfDC, ObjectsOfAPathAreSelectedBeforeThePathBegins) {
  EmfDC dc(96);
  Brush red;
  red.color = RGB(255, 0, 0);
  dc.SelectBrush(red);
  dc.Rectangle(0, 0, 10, 10);
  Brush green;
  green.color = RGB(0, 255, 0);
  dc.SelectBrush(green);
  dc.SelectPen(Pen{PS_SOLID, 0, RGB(0, 255, 0)});
  const POINT marker[] = {{20, 0}, {30, 0}, {25, 8}};
  dc.BeginPath();
  dc.Polygon(marker, 3);
  dc.EndPath();
  dc.FillPath();
  const std::vector<Rec> recs = Records(dc.Close().bytes());
  std::vector<std::uint32_t> types;
  for (const Rec& r : recs) types.push_back(r.type);
  const auto begin = std::find(types.begin(), types.end(), kBeginPath);
  ASSERT_NE(begin, types.end());
  const auto fill = std::find(begin, types.end(), 62u);
  ASSERT_NE(fill, types.end());
  EXPECT_EQ(std::count(begin, fill, kSelectObject), 0) << "nothing is selected within the path";
  EXPECT_EQ(std::count(begin, fill, kCreateBrush), 0);
  // The green brush is created and selected before the path.
  const std::vector<Rec> brushes = OfType(recs, kCreateBrush);
  ASSERT_EQ(brushes.size(), 2u);
  EXPECT_EQ(brushes[1].u32(16), 0x0000FF00u);
  const std::ptrdiff_t green_at =
      std::find_if(
          recs.begin(), recs.end(),
          [&](const Rec& r) { return r.type == kCreateBrush && r.u32(16) == 0x0000FF00u; }) -
      recs.begin();
  EXPECT_LT(green_at, begin - types.begin());
}

TEST(EmfDC, BrushChangedWithinAPathIsSelectedBeforeTheFill) {
  EmfDC dc(96);
  const POINT marker[] = {{20, 0}, {30, 0}, {25, 8}};
  dc.BeginPath();
  dc.Polygon(marker, 3);
  dc.EndPath();
  Brush blue;
  blue.color = RGB(0, 0, 255);
  dc.SelectBrush(blue);
  dc.FillPath();
  const std::vector<std::string> seq = Sequence(Records(dc.Close().bytes()));
  ASSERT_GE(seq.size(), 3u);
  EXPECT_EQ(seq.back(), "fill");
  EXPECT_EQ(seq[seq.size() - 2].rfind("select ", 0), 0u) << "the blue brush, after the path";
  EXPECT_EQ(seq[seq.size() - 4], "end");
}

TEST(EmfDC, RectangleIsAPolygonOfItsCorners) {
  EmfDC dc(96);
  dc.Rectangle(1, 2, 11, 7);
  const std::vector<Rec> polygons = OfType(Records(dc.Close().bytes()), kPolygon);
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(polygons[0].points(), (std::vector<POINT>{{16, 32}, {176, 32}, {176, 112}, {16, 112}}));
}

TEST(EmfDC, TextKeepsItsFontTurnAndMeasuredAdvances) {
  EmfDC dc(96);
  LOGFONT f;
  f.lfHeight = -20;
  f.lfEscapement = 900;
  SetFaceName(f, "Liberation Serif");
  dc.SelectFont(f);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextAlign(TA_BASELINE | TA_LEFT);
  dc.TextOut(30, 40, "Abc");
  const SIZE extent = dc.GetTextExtent("Abc");
  const std::vector<Rec> recs = Records(dc.Close().bytes());
  const std::vector<Rec> fonts = OfType(recs, kFont);
  ASSERT_EQ(fonts.size(), 1u);
  EXPECT_EQ(fonts[0].i32(12), -320) << "20 pixels em, 16 units a pixel";
  EXPECT_EQ(fonts[0].i32(20), 900) << "escapement";
  std::u16string face;
  for (int i = 0; fonts[0].u16(40 + 2 * i) != 0; ++i) face.push_back(fonts[0].u16(40 + 2 * i));
  EXPECT_EQ(face, u"Liberation Serif");
  const std::vector<Rec> texts = OfType(recs, kTextW);
  ASSERT_EQ(texts.size(), 1u);
  const Rec& t = texts[0];
  EXPECT_EQ(t.i32(36), 30 * 16);
  EXPECT_EQ(t.i32(40), 40 * 16);
  ASSERT_EQ(t.u32(44), 3u);
  const std::uint32_t s = t.u32(48), dx = t.u32(72);
  EXPECT_EQ(t.u16(s), u'A');
  EXPECT_EQ(t.u16(s + 4), u'c');
  // The advances add up to the measured width (whole pixels there, units here).
  const std::int64_t sum = t.i32(dx) + t.i32(dx + 4) + t.i32(dx + 8);
  EXPECT_NEAR(sum, extent.cx * 16, 16);
  EXPECT_GT(extent.cx, 20) << "three letters of a 20-pixel font";
}

TEST(EmfDC, EscapementIsTheTurnSeenOnThePage) {
  // A quarter turn of the world: the x axis goes where y pointed. On a y-up page that is up
  // (a baseline at 90°); on a y-down page down (270°).
  for (const auto& [mode, expected] : {std::pair{MM_HIMETRIC, 900}, std::pair{MM_TEXT, 2700}}) {
    EmfDC dc(96);
    dc.SetMapMode(mode);
    dc.SetGraphicsMode(GM_ADVANCED);
    ASSERT_TRUE(dc.SetWorldTransform(XFORM{0, 1, -1, 0, 0, 0}));
    LOGFONT f;
    f.lfHeight = -10;
    SetFaceName(f, "Liberation Serif");
    dc.SelectFont(f);
    dc.TextOut(0, 0, "x");
    const std::vector<Rec> fonts = OfType(Records(dc.Close().bytes()), kFont);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].i32(20), expected) << "mapping mode " << mode;
  }
}

TEST(EmfDC, PathRecordsBracketTheirFigures) {
  EmfDC dc(96);
  dc.BeginPath();
  dc.MoveTo(0, 0);
  dc.LineTo(10, 0);
  const POINT curve[] = {{20, 0}, {20, 10}, {10, 10}};
  dc.PolyBezierTo(curve, 3);
  dc.CloseFigure();
  dc.EndPath();
  dc.StrokeAndFillPath();
  std::vector<std::uint32_t> drawing;
  for (const Rec& r : Records(dc.Close().bytes())) {
    if (r.type == kBeginPath || r.type == kMoveTo || r.type == kLineTo || r.type == kPolyBezierTo ||
        r.type == kCloseFigure || r.type == kEndPath || r.type == kStrokeAndFillPath ||
        r.type == 6 /* POLYLINETO */) {
      drawing.push_back(r.type);
    }
  }
  // The path opens at the current position, then the figure as drawn.
  EXPECT_EQ(drawing, (std::vector<std::uint32_t>{kBeginPath, kMoveTo, kMoveTo, 6, kPolyBezierTo,
                                                 kCloseFigure, kEndPath, kStrokeAndFillPath}));
}

TEST(EmfDC, RegionIsFilledAsPolygonsWithoutOutline) {
  EmfDC dc(96);
  const Region region = Region::FromRects({RECT{0, 0, 10, 10}, RECT{20, 0, 30, 5}});
  Brush b;
  b.color = RGB(0, 128, 0);
  dc.FillRgn(region, b);
  const std::vector<Rec> recs = Records(dc.Close().bytes());
  const std::vector<Rec> pens = OfType(recs, kCreatePen);
  ASSERT_EQ(pens.size(), 1u);
  EXPECT_EQ(pens[0].u32(12), PS_NULL);
  const std::vector<Rec> polys = OfType(recs, kPolyPolygon);
  ASSERT_EQ(polys.size(), 1u);
  // The region in bands: both rectangles down to y 5, then the first alone.
  EXPECT_EQ(region.GetRects().size(), 3u);
  EXPECT_EQ(polys[0].u32(24), 3u) << "one polygon a rectangle";
  EXPECT_EQ(polys[0].u32(28), 12u) << "four corners each";
}

TEST(EmfDC, ClipRegionIsStoredAndLifted) {
  EmfDC dc(96);
  dc.IntersectClipRect(0, 0, 50, 50);
  dc.Rectangle(0, 0, 100, 100);
  dc.SelectClipRgn(nullptr);
  dc.Rectangle(0, 0, 100, 100);
  const std::vector<Rec> clips = OfType(Records(dc.Close().bytes()), kExtSelectClipRgn);
  ASSERT_EQ(clips.size(), 2u);
  EXPECT_GT(clips[0].u32(8), 0u) << "a region";
  EXPECT_EQ(clips[0].u32(16 + 8), 1u) << "of one rectangle";
  EXPECT_EQ(clips[0].i32(16 + 32 + 8), 50 * 16);
  EXPECT_EQ(clips[1].u32(8), 0u) << "no region: the clip is lifted";
}

TEST(EmfDC, NopMixingModeDrawsNothing) {
  EmfDC dc(96);
  dc.SetROP2(R2_NOP);
  dc.MoveTo(0, 0);
  EXPECT_TRUE(dc.LineTo(10, 10));
  EXPECT_TRUE(dc.TextOut(0, 0, "x"));
  const std::vector<Rec> recs = Records(dc.Close().bytes());
  EXPECT_TRUE(OfType(recs, kPolyline).empty());
  EXPECT_TRUE(OfType(recs, kTextW).empty());
}

TEST(EmfDC, ClosedMetafileTakesNoMoreDrawing) {
  EmfDC dc(96);
  EXPECT_TRUE(dc.Close().IsValid());
  EXPECT_FALSE(dc.LineTo(5, 5));
  EXPECT_FALSE(dc.Close().IsValid());
}

TEST(EnhMetafile, PlaysItsDrawingBackOntoAnotherDC) {
  EmfDC dc(96);
  dc.SelectPen(Pen{PS_DASH, 0, RGB(255, 0, 0)});
  dc.MoveTo(1, 2);
  dc.LineTo(30, 2);
  dc.SelectPen(Pen{PS_GEOMETRIC | PS_DASHDOT, 3, RGB(0, 0, 255)});
  const POINT triangle[] = {{0, 0}, {10, 0}, {0, 10}};
  dc.Polygon(triangle, 3);
  LOGFONT f;
  f.lfHeight = -12;
  SetFaceName(f, "Liberation Serif");
  dc.SelectFont(f);
  dc.TextOut(5, 6, "Zeta");
  const EnhMetafile emf = dc.Close();

  tessmor::testing::RecordingDC out;
  ASSERT_TRUE(emf.Play(out));
  // The metafile's units are the player's logical units: 16 to a pixel.
  const auto polylines = out.Calls("Polyline");
  ASSERT_EQ(polylines.size(), 1u);
  EXPECT_EQ(polylines[0]->points, (std::vector<POINT>{{16, 32}, {480, 32}}));
  EXPECT_EQ(polylines[0]->state.pen.style, PS_DASH) << "a cosmetic dashed pen again";
  EXPECT_EQ(polylines[0]->state.pen.color, RGB(255, 0, 0));
  const auto polygons = out.Calls("Polygon");
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(polygons[0]->state.pen.style & PS_STYLE_MASK, PS_DASHDOT);
  EXPECT_EQ(polygons[0]->state.pen.style & PS_TYPE_MASK, PS_GEOMETRIC);
  EXPECT_EQ(polygons[0]->state.pen.width, 48);
  const auto texts = out.Calls("TextOut");
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->text, "Zeta");
  EXPECT_EQ(texts[0]->points[0], (POINT{80, 96}));
  EXPECT_STREQ(texts[0]->state.font.lfFaceName, "Liberation Serif");
  EXPECT_EQ(texts[0]->state.font.lfHeight, -12 * 16);
}

TEST(EnhMetafile, StopsAtARecordLongerThanTheData) {
  EmfDC dc(96);
  dc.MoveTo(0, 0);
  dc.LineTo(5, 5);
  dc.LineTo(9, 0);
  std::vector<std::uint8_t> bytes = dc.Close().bytes();
  const std::vector<Rec> recs = Records(bytes);
  // Make the second polyline claim far more bytes than there are.
  std::size_t at = 0;
  int polylines = 0;
  for (const Rec& r : recs) {
    if (r.type == kPolyline && ++polylines == 2) break;
    at += r.b.size();
  }
  ASSERT_EQ(polylines, 2);
  bytes[at + 4] = 0xF0;
  bytes[at + 5] = 0xFF;
  const EnhMetafile damaged(bytes);
  ASSERT_TRUE(damaged.IsValid());
  const std::vector<std::uint32_t> types = damaged.RecordTypes();
  EXPECT_LT(types.size(), recs.size());
  tessmor::testing::RecordingDC out;
  EXPECT_TRUE(damaged.Play(out));
  EXPECT_EQ(out.Count("Polyline"), 1);
}

TEST(EnhMetafile, PointCountsBeyondTheRecordAreNotRead) {
  EmfDC dc(96);
  const POINT line[] = {{0, 0}, {5, 5}};
  dc.Polyline(line, 2);
  std::vector<std::uint8_t> bytes = dc.Close().bytes();
  std::size_t at = 0;
  for (const Rec& r : Records(bytes)) {
    if (r.type == kPolyline) break;
    at += r.b.size();
  }
  bytes[at + 24] = 0xFF;  // a point count of 255 in a record that holds 2
  tessmor::testing::RecordingDC out;
  EXPECT_TRUE(EnhMetafile(bytes).Play(out));
  EXPECT_EQ(out.Count("Polyline"), 0);
}

TEST(EnhMetafile, BytesWithoutAnEmfHeaderAreNoMetafile) {
  EXPECT_FALSE(EnhMetafile(std::vector<std::uint8_t>(200, 0)).IsValid());
  EmfDC dc(96);
  std::vector<std::uint8_t> bytes = dc.Close().bytes();
  bytes[40] = 'X';  // the signature
  EXPECT_FALSE(EnhMetafile(bytes).IsValid());
  bytes = EmfDC(96).Close().bytes();
  bytes.resize(60);
  EXPECT_FALSE(EnhMetafile(bytes).IsValid());
  tessmor::testing::RecordingDC out;
  EXPECT_FALSE(EnhMetafile(bytes).Play(out));
}

// Dark pixels of an image: the drawing on a white page.
QRect InkBox(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < 200) box = box.united(QRect(x, y, 1, 1));
    }
  }
  return box;
}

TEST(EnhMetafile, PlayedOntoAnImageItDrawsWhatAQtDCDraws) {
  auto scene = [](DC& dc) {
    dc.SetMapMode(MM_LOMETRIC);
    dc.SetViewportOrg(0, 200);
    dc.SelectPen(Pen{PS_SOLID, 5, RGB(0, 0, 0)});
    dc.MoveTo(20, 20);
    dc.LineTo(400, 300);
    Brush b;
    b.color = RGB(0, 0, 200);
    dc.SelectBrush(b);
    const POINT poly[] = {{100, 400}, {300, 450}, {200, 200}};
    dc.Polygon(poly, 3);
    const POINT curve[] = {{300, 100}, {400, 400}, {500, 0}, {600, 300}};
    dc.PolyBezier(curve, 4);
  };
  QImage direct(300, 200, QImage::Format_RGB32);
  direct.fill(Qt::white);
  {
    QtDC q(direct, 96, 96);
    scene(q);
  }
  EmfDC emf_dc(96, {}, RECT{0, 0, 300, 200});
  scene(emf_dc);
  const EnhMetafile emf = emf_dc.Close();
  QImage played(300, 200, QImage::Format_RGB32);
  played.fill(Qt::white);
  {
    QtDC q(played, 96, 96);
    q.SetMapMode(MM_ANISOTROPIC);
    q.SetWindowExt(EmfDC::kUnitsPerPixel, EmfDC::kUnitsPerPixel);
    q.SetViewportExt(1, 1);
    ASSERT_TRUE(emf.Play(q));
  }
  const QRect a = InkBox(direct), b = InkBox(played);
  ASSERT_FALSE(a.isEmpty());
  // Rounding to a sixteenth of a pixel moves an edge by at most a pixel.
  EXPECT_LE(std::abs(a.left() - b.left()), 1);
  EXPECT_LE(std::abs(a.top() - b.top()), 1);
  EXPECT_LE(std::abs(a.right() - b.right()), 1);
  EXPECT_LE(std::abs(a.bottom() - b.bottom()), 1);
  // Inside the polygon: the brush, in both.
  const QPoint inside(75, 67);  // logical (200, 350) → pixels (75.6, 200 − 132.3)
  EXPECT_EQ(direct.pixel(inside), qRgb(0, 0, 200));
  EXPECT_EQ(played.pixel(inside), qRgb(0, 0, 200));
  int differing = 0;
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 300; ++x) differing += direct.pixel(x, y) != played.pixel(x, y);
  }
  EXPECT_LT(differing, 300) << "only edge pixels may differ";
}

}  // namespace
