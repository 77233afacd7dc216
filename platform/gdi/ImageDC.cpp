#include "platform/gdi/ImageDC.h"

#include <QImage>
#include <algorithm>
#include <cmath>

#include "platform/gdi/QtDC.h"

namespace tessmor {

namespace {

// The image lives in a base that is built before, and destroyed after, the QtDC whose
// painter draws on it.
struct ImageHolder {
  QImage image;
};

class ImageQtDC : private ImageHolder, public QtDC {
 public:
  ImageQtDC(QImage made, int ppi) : ImageHolder{std::move(made)}, QtDC(image, ppi, ppi) {}
  const QImage& Image() const { return image; }
};

}  // namespace

std::unique_ptr<DC> CreateImageDC(int width, int height, int pixels_per_inch) {
  width = std::clamp(width, 1, kDibMaxSide);
  height = std::clamp(height, 1, kDibMaxSide);
  if (pixels_per_inch < 1) pixels_per_inch = 96;
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return nullptr;
  image.fill(Qt::white);
  const int dots_per_metre = static_cast<int>(std::lround(pixels_per_inch / 0.0254));
  image.setDotsPerMeterX(dots_per_metre);
  image.setDotsPerMeterY(dots_per_metre);
  auto dc = std::make_unique<ImageQtDC>(std::move(image), pixels_per_inch);
  if (!dc->IsActive()) return nullptr;
  return dc;
}

std::optional<Dib> ImageDCToDib(const DC& dc) {
  const auto* image_dc = dynamic_cast<const ImageQtDC*>(&dc);
  if (!image_dc) return std::nullopt;
  const QImage& image = image_dc->Image();
  Dib dib = Dib::Make24(image.width(), image.height(), dc.GetPixelsPerInchX());
  const std::size_t stride = dib.Stride();
  const int h = image.height();
  for (int y = 0; y < h; ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    // Bottom-up rows: image row y is stored row h - 1 - y.
    std::uint8_t* dst = dib.bits.data() + static_cast<std::size_t>(h - 1 - y) * stride;
    for (int x = 0; x < image.width(); ++x) {
      dst[3 * x] = static_cast<std::uint8_t>(qBlue(src[x]));
      dst[3 * x + 1] = static_cast<std::uint8_t>(qGreen(src[x]));
      dst[3 * x + 2] = static_cast<std::uint8_t>(qRed(src[x]));
    }
  }
  return dib;
}

}  // namespace tessmor
