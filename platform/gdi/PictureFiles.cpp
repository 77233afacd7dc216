#include "platform/gdi/PictureFiles.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

#include "platform/gdi/Dib.h"
#include "platform/gdi/QtDC.h"

namespace tessmor {

namespace {

std::vector<std::uint8_t> BytesOf(const QByteArray& bytes) {
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

bool UsableSide(double mm) { return std::isfinite(mm) && mm > 0.0; }

}  // namespace

int PixelsOfMm(double mm, int pixels_per_inch) {
  const double pixels = mm * pixels_per_inch / 25.4;
  if (!(pixels < 2147483647.0)) return 2147483647;
  return std::max(1, static_cast<int>(std::lround(pixels)));
}

std::vector<std::uint8_t> DrawPngPage(double width_mm, double height_mm, int pixels_per_inch,
                                      const PageDrawing& draw) {
  if (!UsableSide(width_mm) || !UsableSide(height_mm) || pixels_per_inch < 1) return {};
  const int width = PixelsOfMm(width_mm, pixels_per_inch);
  const int height = PixelsOfMm(height_mm, pixels_per_inch);
  if (width > kDibMaxSide || height > kDibMaxSide) return {};
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return {};
  image.fill(Qt::white);
  const int dots_per_metre = static_cast<int>(std::lround(pixels_per_inch / 0.0254));
  image.setDotsPerMeterX(dots_per_metre);
  image.setDotsPerMeterY(dots_per_metre);
  {
    QtDC dc(image, pixels_per_inch, pixels_per_inch);
    if (!dc.IsActive()) return {};
    dc.SetAntialiasing(true);
    draw(dc);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return {};
  return BytesOf(bytes);
}

std::vector<std::uint8_t> DrawSvgPage(double width_mm, double height_mm, const std::string& title,
                                      const PageDrawing& draw) {
  if (!UsableSide(width_mm) || !UsableSide(height_mm)) return {};
  const int width = PixelsOfMm(width_mm, kVectorPixelsPerInch);
  const int height = PixelsOfMm(height_mm, kVectorPixelsPerInch);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  {
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setResolution(kVectorPixelsPerInch);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setTitle(QString::fromStdString(title));
    QtDC dc(svg, kVectorPixelsPerInch, kVectorPixelsPerInch);
    if (!dc.IsActive()) return {};
    dc.SetAntialiasing(true);
    draw(dc);
  }
  return BytesOf(bytes);
}

std::vector<std::uint8_t> DrawPdfPage(double width_mm, double height_mm, const std::string& title,
                                      const PageDrawing& draw) {
  if (!UsableSide(width_mm) || !UsableSide(height_mm)) return {};
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) return {};
  {
    QPdfWriter pdf(&buffer);
    pdf.setResolution(kVectorPixelsPerInch);
    pdf.setTitle(QString::fromStdString(title));
    pdf.setCreator(QStringLiteral("Tessmor"));
    // The page exactly as given: no snapping to the nearest standard size, no margins.
    const QPageSize size(QSizeF(width_mm, height_mm), QPageSize::Millimeter, QString(),
                         QPageSize::ExactMatch);
    pdf.setPageLayout(
        QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    QtDC dc(pdf, kVectorPixelsPerInch, kVectorPixelsPerInch);
    if (!dc.IsActive()) return {};
    dc.SetAntialiasing(true);
    draw(dc);
  }
  return BytesOf(bytes);
}

}  // namespace tessmor
