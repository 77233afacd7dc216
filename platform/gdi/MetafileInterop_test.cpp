// Interoperability of the metafile writers: EMFs and WMFs of two drawings are opened by
// Inkscape and by LibreOffice, turned into PNG pictures and compared with the same drawings
// made through a QtDC on an image. Each program's test skips itself where it is not installed.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/EmfDC.h"
#include "platform/gdi/QtDC.h"
#include "platform/gdi/WmfDC.h"
#include "platform/io/Archive.h"
#include "testsupport/TestData.h"

namespace {

using namespace tessmor;

constexpr int kWidth = 400;  // pixels at 96 per inch
constexpr int kHeight = 300;

// Pixel of a logical point of the scene (0.1 mm, y up, origin at the bottom-left).
QPoint Px(double x, double y) {
  return QPoint(static_cast<int>(std::lround(x * 96 / 254)),
                static_cast<int>(std::lround(kHeight - y * 96 / 254)));
}

// Lines of several widths and dash styles, a filled polygon, a hatched rectangle, a Bézier
// curve and text turned by 45° in Liberation Serif, on a chart-like mapping.
void DrawScene(DC& dc) {
  dc.SetMapMode(MM_LOMETRIC);
  dc.SetViewportOrg(0, kHeight);
  dc.SetBkMode(TRANSPARENT);
  const struct {
    Pen pen;
    int y;
  } lines[] = {
      {{PS_SOLID, 0, RGB(0, 0, 0)}, 760},
      {{PS_SOLID, 8, RGB(0, 0, 0)}, 720},
      {{PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 20, RGB(0, 0, 160)}, 670},
      {{PS_DASH, 0, RGB(200, 0, 0)}, 620},
      {{PS_GEOMETRIC | PS_DASHDOT | PS_ENDCAP_FLAT, 8, RGB(0, 120, 0)}, 580},
      {{PS_DOT, 0, RGB(0, 0, 0)}, 540},
  };
  for (const auto& l : lines) {
    dc.SelectPen(l.pen);
    dc.MoveTo(30, l.y);
    dc.LineTo(450, l.y);
  }
  dc.SelectPen(Pen{PS_SOLID, 4, RGB(0, 0, 0)});
  Brush blue;
  blue.color = RGB(40, 80, 220);
  dc.SelectBrush(blue);
  const POINT polygon[] = {{60, 80}, {360, 120}, {300, 480}, {120, 420}};
  dc.Polygon(polygon, 4);
  Brush hatch;
  hatch.style = BS_HATCHED;
  hatch.hatch = HS_DIAGCROSS;
  hatch.color = RGB(220, 0, 0);
  dc.SelectBrush(hatch);
  dc.Rectangle(420, 360, 700, 80);
  dc.SelectPen(Pen{PS_SOLID, 6, RGB(0, 140, 0)});
  const POINT curve[] = {{730, 100}, {800, 500}, {900, -100}, {1020, 300}};
  dc.PolyBezier(curve, 4);
  LOGFONT f;
  f.lfHeight = -60;  // 6 mm
  f.lfEscapement = 450;
  SetFaceName(f, "Liberation Serif");
  dc.SelectFont(f);
  dc.SetTextColor(RGB(0, 0, 0));
  dc.SetTextAlign(TA_LEFT | TA_BASELINE);
  dc.TextOut(560, 470, "Tessmor 45");
}

// The chart's dot fill: 8 × 8 pixels, white with black dots (28 of 32 pixels white per
// four rows, a mean of 223 in each channel).
std::shared_ptr<DIBPattern> DotPattern() {
  auto p = std::make_shared<DIBPattern>();
  p->width = 8;
  p->height = 8;
  p->bit_count = 1;
  p->colors = {RGB(0, 0, 0), RGB(255, 255, 255)};
  const std::uint8_t rows[4] = {0xFF, 0xDD, 0xFF, 0x77};
  for (int y = 0; y < 8; ++y) {
    p->bits.insert(p->bits.end(), {rows[y % 4], 0, 0, 0});
  }
  return p;
}

// Logical points (0.1 mm) of the chart scene's markers and prisms.
constexpr int kMarkerY[2] = {600, 420};
constexpr int kMarkerX0 = 150, kMarkerStep = 80, kMarkers = 8;
constexpr RECT kPrisms{200, 300, 800, 80};

// A marker: a filled diamond of 4 mm drawn as a path of lines, as the chart's symbols are
// drawn as a path of curves.
void Marker(DC& dc, int x, int y) {
  const POINT d[] = {{x, y + 20}, {x + 20, y}, {x, y - 20}};
  dc.BeginPath();
  dc.MoveTo(x - 20, y);
  dc.PolylineTo(d, 3);
  dc.CloseFigure();
  dc.EndPath();
  dc.FillPath();
}

// Like the model chart: a frame round the picture, a blue and a red series of solid markers
// (each series choosing its pen and brush before its first marker), then prisms filled with
// the dot pattern, outlined in black.
void DrawChartScene(DC& dc) {
  dc.SetMapMode(MM_LOMETRIC);
  dc.SetViewportOrg(0, kHeight);
  dc.SetBkMode(TRANSPARENT);
  dc.SelectPen(Pen{PS_SOLID, 0, RGB(0, 0, 0)});
  dc.SelectBrush(HollowBrush());
  dc.Rectangle(10, 780, 1040, 10);
  const COLORREF colours[2] = {RGB(0, 0, 230), RGB(230, 0, 0)};
  for (int s = 0; s < 2; ++s) {
    dc.SelectPen(Pen{PS_SOLID, 0, colours[s]});
    dc.MoveTo(kMarkerX0, kMarkerY[s]);
    dc.LineTo(kMarkerX0 + kMarkerStep * (kMarkers - 1), kMarkerY[s]);
    Brush fill;
    fill.color = colours[s];
    dc.SelectBrush(fill);
    for (int i = 0; i < kMarkers; ++i) Marker(dc, kMarkerX0 + kMarkerStep * i, kMarkerY[s]);
  }
  dc.SelectPen(Pen{PS_SOLID, 2, RGB(0, 0, 0)});
  Brush dots;
  dots.style = BS_DIBPATTERNPT;
  dots.pattern = DotPattern();
  dc.SelectBrush(dots);
  for (int x = kPrisms.left; x < kPrisms.right; x += 100) {
    dc.Rectangle(x, kPrisms.top, x + 100, kPrisms.bottom);
  }
}

std::string OutputDir() {
  if (const char* dir = std::getenv("TESSMOR_INTEROP_DIR")) {
    QDir().mkpath(QString::fromLocal8Bit(dir));
    return dir;
  }
  return tessmor::testing::MakeTempDir();
}

// Inkscape's PNG of `input` at 96 pixels per inch on white; a null image when it fails.
QImage Rasterise(const std::string& inkscape, const std::string& input, const std::string& png) {
  QProcess p;
  p.start(QString::fromStdString(inkscape),
          {QString::fromStdString(input), "--export-type=png",
           "--export-filename=" + QString::fromStdString(png), "--export-dpi=96",
           "--export-background=white", "--export-background-opacity=1"});
  if (!p.waitForFinished(180000) || p.exitCode() != 0) {
    ADD_FAILURE() << "inkscape failed on " << input << ": "
                  << p.readAllStandardError().toStdString();
    return QImage();
  }
  return QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
}

bool Ink(QRgb c) { return qGray(c) < 200 || std::abs(qRed(c) - qBlue(c)) > 60; }

QRect InkBox(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (Ink(image.pixel(x, y))) box = box.united(QRect(x, y, 1, 1));
    }
  }
  return box;
}

int CountInk(const QImage& image, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x)
      n += image.valid(x, y) && Ink(image.pixel(x, y));
  }
  return n;
}

// Share of the ink of `a` that has ink of `b` within `reach` pixels.
double Covered(const QImage& a, const QImage& b, int reach) {
  int ink = 0, covered = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (!Ink(a.pixel(x, y))) continue;
      ++ink;
      bool near = false;
      for (int dy = -reach; dy <= reach && !near; ++dy) {
        for (int dx = -reach; dx <= reach && !near; ++dx) {
          near = b.valid(x + dx, y + dy) && Ink(b.pixel(x + dx, y + dy));
        }
      }
      covered += near;
    }
  }
  return ink ? static_cast<double>(covered) / ink : 0.0;
}

// Angle in degrees (counter-clockwise on the page) of the main axis of the ink in `area`.
double InkAngle(const QImage& image, const QRect& area) {
  double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (!image.valid(x, y) || !Ink(image.pixel(x, y))) continue;
      n += 1;
      sx += x;
      sy += y;
      sxx += double(x) * x;
      syy += double(y) * y;
      sxy += double(x) * y;
    }
  }
  if (n < 2) return 0.0;
  const double cxx = sxx / n - (sx / n) * (sx / n), cyy = syy / n - (sy / n) * (sy / n);
  const double cxy = sxy / n - (sx / n) * (sy / n);
  return -0.5 * std::atan2(2 * cxy, cxx - cyy) * 180.0 / 3.14159265358979323846;
}

// Number of changes between red and not red along a row of pixels: a dashed line has many.
int RedRuns(const QImage& image, int y, int x0, int x1) {
  int changes = 0;
  bool before = false;
  for (int x = x0; x <= x1; ++x) {
    bool red = false;
    for (int dy = -1; dy <= 1; ++dy) {
      const QRgb c = image.pixel(x, y + dy);
      red = red || (qRed(c) > 120 && qGreen(c) < 100 && qBlue(c) < 100);
    }
    changes += x > x0 && red != before;
    before = red;
  }
  return changes;
}

// Thickness in pixels of the run of ink crossing column x near row y.
int Thickness(const QImage& image, int x, int y) {
  int top = y, bottom = y;
  while (top > 0 && Ink(image.pixel(x, top - 1))) --top;
  while (bottom < image.height() - 1 && Ink(image.pixel(x, bottom + 1))) ++bottom;
  return Ink(image.pixel(x, y)) ? bottom - top + 1 : 0;
}

// What a reader is known not to draw: LibreOffice fills hatched brushes solid and draws
// user-styled (dashed) EMF pens solid.
struct Limits {
  bool hatches = true;
  bool dashes = true;
};

// What a picture of the scene must show, compared with the QtDC drawing `reference`.
void CheckPicture(const QImage& picture, const QImage& reference, const std::string& what,
                  Limits draws = {}) {
  SCOPED_TRACE(what);
  ASSERT_FALSE(picture.isNull());
  EXPECT_NEAR(picture.width(), kWidth, 1);
  EXPECT_NEAR(picture.height(), kHeight, 1);
  const int ink = CountInk(picture, picture.rect());
  EXPECT_GT(ink, kWidth * kHeight / 20) << "not blank";

  const QRect a = InkBox(picture), b = InkBox(reference);
  EXPECT_LE(std::abs(a.left() - b.left()), 4) << "left edge of the drawing";
  EXPECT_LE(std::abs(a.right() - b.right()), 4) << "right edge";
  EXPECT_LE(std::abs(a.top() - b.top()), 4) << "top edge";
  EXPECT_LE(std::abs(a.bottom() - b.bottom()), 4) << "bottom edge";
  EXPECT_GT(Covered(picture, reference, 3), 0.85) << "its ink lies where the QtDC drew";
  EXPECT_GT(Covered(reference, picture, 3), 0.85) << "the QtDC's ink is all there";

  // The polygon's inside is its blue brush.
  const QRgb inside = picture.pixel(Px(210, 270));
  EXPECT_NEAR(qRed(inside), 40, 30);
  EXPECT_NEAR(qGreen(inside), 80, 30);
  EXPECT_NEAR(qBlue(inside), 220, 30);
  // The hatched rectangle holds red lines, not a red fill.
  const QRect hatched(Px(440, 340), Px(680, 100));
  int red = 0;
  for (int y = hatched.top(); y <= hatched.bottom(); ++y) {
    for (int x = hatched.left(); x <= hatched.right(); ++x) {
      const QRgb c = picture.pixel(x, y);
      red += qRed(c) > 150 && qGreen(c) < 120;
    }
  }
  const int area = hatched.width() * hatched.height();
  EXPECT_GT(red, area / 20) << "hatch lines";
  if (draws.hatches) {
    EXPECT_LT(red, area * 3 / 4) << "with gaps between them";
  }
  // The red line is dashed: 18 pixels on, 6 off over 160 pixels make a dozen changes.
  if (draws.dashes) {
    EXPECT_GE(RedRuns(picture, Px(0, 620).y(), Px(40, 0).x(), Px(440, 0).x()), 8);
  }
  // Widths: the 2 mm line (7.6 pixels) stands out from the hair line.
  EXPECT_NEAR(Thickness(picture, Px(240, 0).x(), Px(0, 670).y()), 7.6, 2.0);
  EXPECT_LE(Thickness(picture, Px(240, 0).x(), Px(0, 760).y()), 2);
  // The text runs up to the right at 45°.
  const QRect text(Px(560, 900), Px(1058, 440));
  EXPECT_GT(CountInk(picture, text), 300);
  EXPECT_NEAR(InkAngle(picture, text), 45.0, 8.0);
}

// Mean colour of the pixels in `area`.
QColor MeanColour(const QImage& image, const QRect& area) {
  double r = 0, g = 0, b = 0, n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (!image.valid(x, y)) continue;
      const QRgb c = image.pixel(x, y);
      r += qRed(c);
      g += qGreen(c);
      b += qBlue(c);
      n += 1;
    }
  }
  if (n == 0) return QColor();
  return QColor(int(r / n), int(g / n), int(b / n));
}

// What a picture of the chart scene must show, compared with the QtDC drawing `reference`.
void CheckChart(const QImage& picture, const QImage& reference, const std::string& what) {
  SCOPED_TRACE(what);
  ASSERT_FALSE(picture.isNull());
  // Lines and markers where the QtDC drew them; the prisms' insides are judged below, since
  // a reader may show a pattern as its mean colour.
  QImage a = picture, b = reference;
  for (QImage* image : {&a, &b}) {
    QPainter painter(image);
    for (int x = kPrisms.left; x < kPrisms.right; x += 100) {
      painter.fillRect(QRect(Px(x + 6, kPrisms.top - 6), Px(x + 94, kPrisms.bottom + 6)),
                       Qt::white);
    }
  }
  EXPECT_GT(Covered(a, b, 3), 0.85) << "its ink lies where the QtDC drew";
  EXPECT_GT(Covered(b, a, 3), 0.85) << "the QtDC's ink is all there";
  // Every marker, the first of each series too, in its series' colour.
  for (int s = 0; s < 2; ++s) {
    for (int i = 0; i < kMarkers; ++i) {
      const QColor c = MeanColour(
          picture, QRect(Px(kMarkerX0 + kMarkerStep * i, kMarkerY[s]) - QPoint(1, 1), QSize(3, 3)));
      const int own = s == 0 ? c.blue() : c.red(), other = s == 0 ? c.red() : c.blue();
      EXPECT_GT(own, 150) << "marker " << i << " of series " << s;
      EXPECT_LT(other, 100) << "marker " << i << " of series " << s << " in its own colour";
    }
  }
  // The prisms' inside: the dot pattern, or at least its mean grey, never a solid colour
  // from before.
  const QRect inside(Px(kPrisms.left + 15, kPrisms.top - 15),
                     Px(kPrisms.left + 85, kPrisms.bottom + 15));
  const QColor mean = MeanColour(picture, inside), expected = MeanColour(reference, inside);
  EXPECT_NEAR(mean.red(), expected.red(), 30) << "pattern fill's mean colour";
  EXPECT_NEAR(mean.green(), expected.green(), 30) << "pattern fill's mean colour";
  EXPECT_NEAR(mean.blue(), expected.blue(), 30) << "pattern fill's mean colour";
}

// The QtDC drawing of `draw`, and its EMF and WMF written to `dir` as NAME.emf and NAME.wmf.
QImage WriteScene(const std::function<void(DC&)>& draw, const std::string& dir,
                  const std::string& name) {
  QImage reference(kWidth, kHeight, QImage::Format_RGB32);
  reference.fill(Qt::white);
  {
    QtDC dc(reference, 96, 96);
    EXPECT_TRUE(dc.IsActive());
    draw(dc);
  }
  reference.save(QString::fromStdString(dir + "/" + name + "-qimage.png"));
  EmfDC emf_dc(96, std::string("Tessmor\0Interoperability\0\0", 27), RECT{0, 0, kWidth, kHeight});
  draw(emf_dc);
  const EnhMetafile emf = emf_dc.Close();
  EXPECT_TRUE(emf.Save(dir + "/" + name + ".emf"));
  WmfDC wmf_dc(96, RECT{0, 0, kWidth, kHeight});
  draw(wmf_dc);
  const std::vector<std::uint8_t> wmf = wmf_dc.Close();
  EXPECT_FALSE(wmf.empty());
  WriteFileReplacing(dir + "/" + name + ".wmf", wmf);
  return reference;
}

TEST(MetafileInterop, InkscapeOpensOurEmfAndWmfWithTheDrawingIntact) {
  const QString found = QStandardPaths::findExecutable("inkscape");
  if (found.isEmpty()) {
    std::cout << "skipped: inkscape not installed" << std::endl;
    GTEST_SKIP() << "skipped: inkscape not installed";
  }
  const std::string inkscape = found.toStdString();
  const std::string dir = OutputDir();

  const QImage reference = WriteScene(DrawScene, dir, "scene");
  const QImage chart = WriteScene(DrawChartScene, dir, "chart");
  ASSERT_FALSE(HasFailure());

  QElapsedTimer clock;
  clock.start();
  const QImage from_emf = Rasterise(inkscape, dir + "/scene.emf", dir + "/scene-emf.png");
  const QImage from_wmf = Rasterise(inkscape, dir + "/scene.wmf", dir + "/scene-wmf.png");
  const QImage chart_emf = Rasterise(inkscape, dir + "/chart.emf", dir + "/chart-emf.png");
  const QImage chart_wmf = Rasterise(inkscape, dir + "/chart.wmf", dir + "/chart-wmf.png");
  std::cout << "Inkscape: " << clock.elapsed() << " ms; pictures in " << dir << std::endl;
  CheckPicture(reference, reference, "QtDC on an image");
  CheckPicture(from_emf, reference, "EMF through Inkscape");
  CheckPicture(from_wmf, reference, "WMF through Inkscape");
  CheckChart(chart, chart, "chart: QtDC on an image");
  CheckChart(chart_emf, chart, "chart: EMF through Inkscape");
  CheckChart(chart_wmf, chart, "chart: WMF through Inkscape");
}

// LibreOffice's PNG of `input`: it sets the picture on a page, so the ink of the page is cut
// out and scaled onto a white picture of the reference's size, the ink's box on the box of
// the reference's ink. A null image when it fails.
QImage RasteriseWithLibreOffice(const std::string& soffice, const std::string& input,
                                const std::string& dir, const QImage& reference) {
  const std::string out =
      dir + "/lo-" + QFileInfo(QString::fromStdString(input)).suffix().toStdString();
  QDir().mkpath(QString::fromStdString(out));
  QProcess p;
  p.start(QString::fromStdString(soffice),
          {"-env:UserInstallation=file://" + QString::fromStdString(dir) + "/lo-profile",
           "--headless", "--convert-to", "png", "--outdir", QString::fromStdString(out),
           QString::fromStdString(input)});
  const std::string png =
      out + "/" + QFileInfo(QString::fromStdString(input)).completeBaseName().toStdString() +
      ".png";
  if (!p.waitForFinished(300000) || p.exitCode() != 0 ||
      !QFileInfo::exists(QString::fromStdString(png))) {
    ADD_FAILURE() << "soffice failed on " << input << ": "
                  << p.readAllStandardError().toStdString();
    return QImage();
  }
  const QImage page = QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
  const QRect from = InkBox(page), to = InkBox(reference);
  if (from.isEmpty()) return page;
  QImage picture(reference.size(), QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.drawImage(to, page, from);
  painter.end();
  picture.save(QString::fromStdString(png.substr(0, png.size() - 4) + "-placed.png"));
  return picture;
}

TEST(MetafileInterop, LibreOfficeOpensOurEmfAndWmfWithTheDrawingIntact) {
  const QString found = QStandardPaths::findExecutable("soffice");
  if (found.isEmpty()) {
    std::cout << "skipped: LibreOffice (soffice) not installed" << std::endl;
    GTEST_SKIP() << "skipped: LibreOffice (soffice) not installed";
  }
  const std::string soffice = found.toStdString();
  const std::string dir = OutputDir();
  const QImage reference = WriteScene(DrawScene, dir, "scene");
  const QImage chart = WriteScene(DrawChartScene, dir, "chart");
  ASSERT_FALSE(HasFailure());

  QElapsedTimer clock;
  clock.start();
  const QImage from_emf = RasteriseWithLibreOffice(soffice, dir + "/scene.emf", dir, reference);
  const QImage from_wmf = RasteriseWithLibreOffice(soffice, dir + "/scene.wmf", dir, reference);
  const QImage chart_emf = RasteriseWithLibreOffice(soffice, dir + "/chart.emf", dir, chart);
  const QImage chart_wmf = RasteriseWithLibreOffice(soffice, dir + "/chart.wmf", dir, chart);
  std::cout << "LibreOffice: " << clock.elapsed() << " ms; pictures in " << dir << std::endl;
  CheckPicture(from_emf, reference, "EMF through LibreOffice", {false, false});
  CheckPicture(from_wmf, reference, "WMF through LibreOffice", {false, true});
  CheckChart(chart_emf, chart, "chart: EMF through LibreOffice");
  CheckChart(chart_wmf, chart, "chart: WMF through LibreOffice");
}

}  // namespace
