// Interoperability of the metafile writers: an EMF and a WMF of one drawing are opened by
// Inkscape, turned into PNG pictures and compared with the same drawing made through a QtDC
// on an image. Skipped where Inkscape is not installed.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/Archive.h"
#include "platform/EmfDC.h"
#include "platform/QtDC.h"
#include "platform/WmfDC.h"
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

// What a picture of the scene must show, compared with the QtDC drawing `reference`.
void CheckPicture(const QImage& picture, const QImage& reference, const std::string& what) {
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
  EXPECT_LT(red, area * 3 / 4) << "with gaps between them";
  // The red line is dashed: 18 pixels on, 6 off over 160 pixels make a dozen changes.
  EXPECT_GE(RedRuns(picture, Px(0, 620).y(), Px(40, 0).x(), Px(440, 0).x()), 8);
  // Widths: the 2 mm line (7.6 pixels) stands out from the hair line.
  EXPECT_NEAR(Thickness(picture, Px(240, 0).x(), Px(0, 670).y()), 7.6, 2.0);
  EXPECT_LE(Thickness(picture, Px(240, 0).x(), Px(0, 760).y()), 2);
  // The text runs up to the right at 45°.
  const QRect text(Px(560, 900), Px(1058, 440));
  EXPECT_GT(CountInk(picture, text), 300);
  EXPECT_NEAR(InkAngle(picture, text), 45.0, 8.0);
}

TEST(MetafileInterop, InkscapeOpensOurEmfAndWmfWithTheDrawingIntact) {
  const QString found = QStandardPaths::findExecutable("inkscape");
  if (found.isEmpty()) {
    std::cout << "skipped: inkscape not installed" << std::endl;
    GTEST_SKIP() << "skipped: inkscape not installed";
  }
  const std::string inkscape = found.toStdString();
  const std::string dir = OutputDir();

  QImage reference(kWidth, kHeight, QImage::Format_RGB32);
  reference.fill(Qt::white);
  {
    QtDC dc(reference, 96, 96);
    ASSERT_TRUE(dc.IsActive());
    DrawScene(dc);
  }
  reference.save(QString::fromStdString(dir + "/scene-qimage.png"));

  EmfDC emf_dc(96, std::string("Tessmor\0Interoperability\0\0", 27), RECT{0, 0, kWidth, kHeight});
  DrawScene(emf_dc);
  const EnhMetafile emf = emf_dc.Close();
  ASSERT_TRUE(emf.Save(dir + "/scene.emf"));

  WmfDC wmf_dc(96, RECT{0, 0, kWidth, kHeight});
  DrawScene(wmf_dc);
  const std::vector<std::uint8_t> wmf = wmf_dc.Close();
  ASSERT_FALSE(wmf.empty());
  WriteFileReplacing(dir + "/scene.wmf", wmf);

  const QImage from_emf = Rasterise(inkscape, dir + "/scene.emf", dir + "/scene-emf.png");
  const QImage from_wmf = Rasterise(inkscape, dir + "/scene.wmf", dir + "/scene-wmf.png");
  std::cout << "pictures in " << dir << std::endl;
  CheckPicture(reference, reference, "QtDC on an image");
  CheckPicture(from_emf, reference, "EMF through Inkscape");
  CheckPicture(from_wmf, reference, "WMF through Inkscape");
}

}  // namespace
