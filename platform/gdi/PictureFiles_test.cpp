#include "platform/gdi/PictureFiles.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <cmath>
#include <memory>
#include <string>

namespace tessmor {
namespace {

QByteArray Q(const std::vector<std::uint8_t>& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qsizetype>(bytes.size()));
}

// A black 10 × 10 mm square whose top-left corner is 20 mm right of and 30 mm below the
// page's top-left corner, and a label, in 0.01 mm units with y up.
void DrawSquareAndLabel(DC& dc) {
  dc.SetMapMode(MM_HIMETRIC);
  dc.SelectPen(Pen{PS_NULL, 0, 0});
  dc.SelectBrush(SolidBrush(RGB(0, 0, 0)));
  dc.Rectangle(2000, -3000, 3000, -4000);
  LOGFONT font;
  font.lfHeight = -500;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
  SetFaceName(font, "Times New Roman");
  dc.SelectFont(font);
  dc.TextOut(5000, -5000, "Gravity");
}

TEST(PictureFiles, PngHasThePagesPixelsAtItsResolution) {
  // 100 × 50 mm at 300 dpi: 1181.1 and 590.6 pixels.
  const std::vector<std::uint8_t> png = DrawPngPage(100.0, 50.0, 300, DrawSquareAndLabel);
  ASSERT_FALSE(png.empty());
  QImage image;
  ASSERT_TRUE(image.loadFromData(Q(png), "PNG"));
  EXPECT_EQ(image.width(), 1181);
  EXPECT_EQ(image.height(), 591);
  EXPECT_EQ(image.dotsPerMeterX(), 11811);  // 300 / 0.0254
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
  // The square's middle, 25 mm and 35 mm in: pixels 295 and 413.
  EXPECT_EQ(image.pixel(295, 413), qRgb(0, 0, 0));
  // Its edge at 20 mm (pixel 236.2) is smoothed: the pixel there is partly covered.
  const int edge = qRed(image.pixel(236, 413));
  EXPECT_GT(edge, 0);
  EXPECT_LT(edge, 255);
}

TEST(PictureFiles, SvgIsAVectorPageInMillimetresWithTextAsText) {
  const std::vector<std::uint8_t> svg = DrawSvgPage(100.0, 50.0, "profile", DrawSquareAndLabel);
  ASSERT_FALSE(svg.empty());
  const QByteArray text = Q(svg);
  QSvgRenderer renderer(text);
  ASSERT_TRUE(renderer.isValid());
  // 10 pixels to the millimetre.
  EXPECT_EQ(renderer.viewBox(), QRect(0, 0, 1000, 500));
  EXPECT_TRUE(text.contains("width=\"100mm\" height=\"50mm\"")) << text.left(600).constData();
  EXPECT_TRUE(text.contains("<title>profile</title>"));
  EXPECT_TRUE(text.contains("<text")) << "the label is text, not outlines";
  EXPECT_TRUE(text.contains(">Gravity</text>"));
}

// A 20 × 20 mm square filled with a black-and-white dot pattern (a quarter black) and a
// horizontal line 1 mm wide, in 0.01 mm units with y up.
void DrawPatternAndWideLine(DC& dc) {
  dc.SetMapMode(MM_HIMETRIC);
  auto pattern = std::make_shared<DIBPattern>();
  pattern->width = 2;
  pattern->height = 2;
  pattern->bit_count = 24;
  // Rows of 8 bytes (6 of pixels, 2 of padding): black, white / white, white.
  pattern->bits = {0, 0, 0, 255, 255, 255, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0};
  dc.SelectPen(Pen{PS_NULL, 0, 0});
  dc.SelectBrush(PatternBrush(pattern));
  dc.Rectangle(1000, -1000, 3000, -3000);
  dc.SelectPen(Pen{PS_SOLID, 100, RGB(0, 0, 0)});
  dc.MoveTo(4000, -2000);
  dc.LineTo(9000, -2000);
}

// The number of dark pixels in column x of `image`.
int DarkRows(const QImage& image, int x) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) n += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
  return n;
}

TEST(PictureFiles, SvgKeepsPatternAreasAndScalesLineWidthsWithThePage) {
  const std::vector<std::uint8_t> svg = DrawSvgPage(100.0, 40.0, "", DrawPatternAndWideLine);
  ASSERT_FALSE(svg.empty());
  QSvgRenderer renderer(Q(svg));
  ASSERT_TRUE(renderer.isValid());
  for (const int scale : {1, 2}) {  // 4 and 8 pixels per mm
    QImage image(QSize(400, 160) * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    // The patterned square shows a quarter black: a mean grey near 191, not blank paper.
    const int grey = qGray(image.pixel(80 * scale, 80 * scale));
    EXPECT_LT(grey, 230) << "scale " << scale;
    EXPECT_GT(grey, 150) << "scale " << scale;
    // The 1 mm line is 4 pixels thick at 4 px/mm and 8 at 8 px/mm (±1 for edges).
    EXPECT_NEAR(DarkRows(image, 240 * scale), 4 * scale, 1) << "scale " << scale;
  }
}

TEST(PictureFiles, PdfPageIsThePageSizeGiven) {
  const std::vector<std::uint8_t> pdf = DrawPdfPage(295.0, 210.0, "profile", DrawSquareAndLabel);
  ASSERT_GT(pdf.size(), 4u);
  const QByteArray text = Q(pdf);
  EXPECT_TRUE(text.startsWith("%PDF-"));
  // 295 × 210 mm in points of 1/72 inch: 836.22 × 595.28; the writer gives whole points.
  const QRegularExpressionMatch box =
      QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
          .match(QString::fromLatin1(text));
  ASSERT_TRUE(box.hasMatch());
  EXPECT_NEAR(box.captured(1).toDouble(), 836.22, 0.5);
  EXPECT_NEAR(box.captured(2).toDouble(), 595.28, 0.5);
}

TEST(PictureFiles, RefusesAPageWithoutArea) {
  EXPECT_TRUE(DrawPngPage(0.0, 50.0, 300, DrawSquareAndLabel).empty());
  EXPECT_TRUE(DrawSvgPage(100.0, -1.0, "", DrawSquareAndLabel).empty());
  EXPECT_TRUE(DrawPdfPage(std::nan(""), 50.0, "", DrawSquareAndLabel).empty());
  // 3 m at 300 dpi is beyond the largest image side.
  EXPECT_TRUE(DrawPngPage(3000.0, 50.0, 300, DrawSquareAndLabel).empty());
}

}  // namespace
}  // namespace tessmor
