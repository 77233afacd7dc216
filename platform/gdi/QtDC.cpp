#include "platform/gdi/QtDC.h"

#include <QBrush>
#include <QColor>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QRegion>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace tessmor {

namespace {

// The mean colour of an image's pixels (opaque black for an empty image).
QColor MeanColour(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  double r = 0, g = 0, b = 0;
  const double n = double(rgb.width()) * rgb.height();
  if (n <= 0) return Qt::black;
  for (int y = 0; y < rgb.height(); ++y) {
    for (int x = 0; x < rgb.width(); ++x) {
      const QRgb px = rgb.pixel(x, y);
      r += qRed(px);
      g += qGreen(px);
      b += qBlue(px);
    }
  }
  return QColor(int(std::lround(r / n)), int(std::lround(g / n)), int(std::lround(b / n)));
}

// Largest font size drawn, device pixels.
constexpr int kMaxFontPixels = 32767;

QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

QRegion ToQRegion(const Region& region) {
  QRegion q;
  for (const RECT& r : region.GetRects())
    q += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  return q;
}

QPainterPath PathOfRegion(const Region& region) {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  for (const RECT& r : region.GetRects()) {
    path.addRect(QRectF(r.left, r.top, r.right - r.left, r.bottom - r.top));
  }
  return path;
}

int Round(double v) {
  if (!(v > -2147483648.0)) return std::numeric_limits<int>::min();
  if (!(v < 2147483647.0)) return std::numeric_limits<int>::max();
  return static_cast<int>(std::floor(v + 0.5));
}

// The desktop's dash patterns in pen widths: a cosmetic pen's (one pixel) and a geometric
// pen's (scaled by its width). Empty for a solid line.
QList<qreal> DashPattern(std::uint32_t style, bool geometric) {
  switch (style & PS_STYLE_MASK) {
    case PS_DASH:
      return geometric ? QList<qreal>{3, 1} : QList<qreal>{18, 6};
    case PS_DOT:
      return geometric ? QList<qreal>{1, 1} : QList<qreal>{3, 3};
    case PS_DASHDOT:
      return geometric ? QList<qreal>{3, 1, 1, 1} : QList<qreal>{9, 6, 3, 6};
    case PS_DASHDOTDOT:
      return geometric ? QList<qreal>{3, 1, 1, 1, 1, 1} : QList<qreal>{9, 3, 3, 3, 3, 3};
    case 8:  // PS_ALTERNATE: every other pixel
      return QList<qreal>{1, 1};
    default:
      return {};
  }
}

Qt::BrushStyle HatchStyle(std::int32_t hatch) {
  switch (hatch) {
    case HS_HORIZONTAL:
      return Qt::HorPattern;
    case HS_VERTICAL:
      return Qt::VerPattern;
    case HS_FDIAGONAL:
      return Qt::FDiagPattern;
    case HS_BDIAGONAL:
      return Qt::BDiagPattern;
    case HS_CROSS:
      return Qt::CrossPattern;
    case HS_DIAGCROSS:
      return Qt::DiagCrossPattern;
    default:
      return Qt::SolidPattern;
  }
}

QImage PatternImage(const DIBPattern& dib) {
  const int h = std::abs(dib.height);
  QImage image(dib.width, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < dib.width; ++x) {
      const COLORREF c = dib.PixelAt(x, y);
      image.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
    }
  }
  return image;
}

// Raster mixing of the pen and brush with the pixels below (R2_BLACK, R2_WHITE and R2_NOP are
// handled by the caller).
QPainter::CompositionMode MixingMode(int rop2) {
  switch (rop2) {
    case 2:
      return QPainter::RasterOp_NotSourceAndNotDestination;
    case 3:
      return QPainter::RasterOp_NotSourceAndDestination;
    case 4:
      return QPainter::RasterOp_NotSource;
    case 5:
      return QPainter::RasterOp_SourceAndNotDestination;
    case R2_NOT:
      return QPainter::RasterOp_NotDestination;
    case R2_XORPEN:
      return QPainter::RasterOp_SourceXorDestination;
    case 8:
      return QPainter::RasterOp_NotSourceOrNotDestination;
    case R2_MASKPEN:
      return QPainter::RasterOp_SourceAndDestination;
    case R2_NOTXORPEN:
      return QPainter::RasterOp_NotSourceXorDestination;
    case 12:
      return QPainter::RasterOp_NotSourceOrDestination;
    case 14:
      return QPainter::RasterOp_SourceOrNotDestination;
    case R2_MERGEPEN:
      return QPainter::RasterOp_SourceOrDestination;
    default:
      return QPainter::CompositionMode_SourceOver;
  }
}

int PpiOf(QPainter* painter, int given, bool x) {
  if (given >= 1) return given;
  QPaintDevice* device = painter ? painter->device() : nullptr;
  if (!device) return 96;
  const int dpi = x ? device->logicalDpiX() : device->logicalDpiY();
  return dpi >= 1 ? dpi : 96;
}

RECT BoundsOf(QPainter* painter) {
  QPaintDevice* device = painter ? painter->device() : nullptr;
  if (!device || !painter->isActive()) return RECT{};
  const QRect r =
      painter->worldTransform().inverted().mapRect(QRect(0, 0, device->width(), device->height()));
  return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

}  // namespace

// ---- Construction ----------------------------------------------------------------------------

QtDC::QtDC(QPainter* painter, std::unique_ptr<QPainter> owned, int ppi_x, int ppi_y)
    : DC(PpiOf(owned ? owned.get() : painter, ppi_x, true),
         PpiOf(owned ? owned.get() : painter, ppi_y, false),
         BoundsOf(owned ? owned.get() : painter)),
      owned_painter_(std::move(owned)),
      painter_(owned_painter_ ? owned_painter_.get() : painter) {
  if (!painter_->isActive()) return;
  painter_->save();
  base_ = painter_->worldTransform();
  const QPaintEngine* engine = painter_->paintEngine();
  raster_ = engine && engine->type() == QPaintEngine::Raster;
  if (painter_->hasClipping()) {
    // A window's update area: drawing stays inside it whatever clip the caller selects.
    Region area;
    for (const QRect& q : painter_->clipRegion()) {
      area = area.United(
          Region::FromRect(q.left(), q.top(), q.left() + q.width(), q.top() + q.height()));
    }
    SetSystemClip(&area);
  }
}

QtDC::QtDC(QPainter& painter, int pixels_per_inch_x, int pixels_per_inch_y)
    : QtDC(&painter, nullptr, pixels_per_inch_x, pixels_per_inch_y) {}

QtDC::QtDC(QPaintDevice& device, int pixels_per_inch_x, int pixels_per_inch_y)
    : QtDC(nullptr, std::make_unique<QPainter>(&device), pixels_per_inch_x, pixels_per_inch_y) {}

QtDC::~QtDC() {
  if (!painter_->isActive()) return;
  painter_->restore();
  if (owned_painter_) owned_painter_->end();
}

bool QtDC::IsActive() const { return painter_->isActive(); }

// ---- State -----------------------------------------------------------------------------------

void QtDC::OnChange(DCChange what) {
  if (what == DCChange::kClip) ApplyClip();
}

void QtDC::OnRestoreDC(int, int) { ApplyClip(); }

void QtDC::ApplyClip() {
  if (!painter_->isActive()) return;
  painter_->setWorldTransform(base_);
  const RECT b = GetDeviceBounds();
  const Region area = DrawableArea();
  if (b.right > b.left && b.bottom > b.top && Region(b).Subtracted(area).IsEmpty()) {
    painter_->setClipping(false);
  } else {
    painter_->setClipRegion(ToQRegion(area));
  }
}

QPointF QtDC::Map(POINT p) const {
  const MappingTransform m = GetMappingTransform();
  return QPointF(p.x * m.sx + m.dx, p.y * m.sy + m.dy);
}

bool QtDC::Begin(bool mixes) {
  if (!painter_->isActive()) return false;
  const int rop = state().rop2;
  if (mixes && rop == R2_NOP) return false;
  painter_->setWorldTransform(base_);
  painter_->setRenderHint(QPainter::Antialiasing, antialias_);
  painter_->setRenderHint(QPainter::TextAntialiasing, antialias_);
  painter_->setBackgroundMode(Qt::TransparentMode);
  painter_->setBrushOrigin(0, 0);
  painter_->setCompositionMode(mixes && raster_ ? MixingMode(rop)
                                                : QPainter::CompositionMode_SourceOver);
  return true;
}

double QtDC::PenWidth() const {
  const Pen& pen = state().pen;
  if ((pen.style & PS_STYLE_MASK) == PS_NULL) return 0.0;
  if (pen.width == 0) return 1.0;
  const double w = std::abs(pen.width * GetMappingTransform().sx);
  return std::max(1.0, w);
}

// ---- Stroking and filling --------------------------------------------------------------------

void QtDC::StrokeOpenPath(const QPainterPath& path) { StrokeShape(path); }

void QtDC::StrokeShape(const QPainterPath& shape) {
  const Pen& pen = state().pen;
  const double width = PenWidth();
  if (width <= 0.0) return;
  const bool geometric = (pen.style & PS_TYPE_MASK) == PS_GEOMETRIC;
  const bool one_pixel = width <= 1.0;
  QColor color = ToQColor(pen.color);
  if (state().rop2 == R2_BLACK) color = Qt::black;
  if (state().rop2 == R2_WHITE) color = Qt::white;

  QPen qpen(color);
  // Widths are in device units. In an SVG or PDF file the width is part of the drawing, so
  // that a viewer scaling the page scales the lines with it; elsewhere a width of one pixel
  // stays one pixel.
  const QPaintEngine* engine = painter_->paintEngine();
  const bool page_file =
      engine && (engine->type() == QPaintEngine::SVG || engine->type() == QPaintEngine::Pdf);
  qpen.setCosmetic(!page_file);
  qpen.setWidthF(width);
  if (geometric) {
    switch (pen.style & PS_ENDCAP_MASK) {
      case PS_ENDCAP_SQUARE:
        qpen.setCapStyle(Qt::SquareCap);
        break;
      case PS_ENDCAP_FLAT:
        qpen.setCapStyle(Qt::FlatCap);
        break;
      default:
        qpen.setCapStyle(Qt::RoundCap);
    }
    switch (pen.style & PS_JOIN_MASK) {
      case PS_JOIN_BEVEL:
        qpen.setJoinStyle(Qt::BevelJoin);
        break;
      case PS_JOIN_MITER:
        qpen.setJoinStyle(Qt::MiterJoin);
        // The desktop's default miter limit is 10 line widths of miter length; Qt counts
        // half of that from the joint.
        qpen.setMiterLimit(5.0);
        break;
      default:
        qpen.setJoinStyle(Qt::RoundJoin);
    }
  } else if (one_pixel) {
    // A one-pixel line leaves out its last pixel.
    qpen.setCapStyle(Qt::FlatCap);
    qpen.setJoinStyle(Qt::MiterJoin);
  } else {
    qpen.setCapStyle(Qt::RoundCap);
    qpen.setJoinStyle(Qt::RoundJoin);
  }
  // Dashes: a cosmetic pen keeps them only while one pixel wide.
  const QList<qreal> dashes =
      (geometric || one_pixel) ? DashPattern(pen.style, geometric) : QList<qreal>{};

  painter_->setBrush(Qt::NoBrush);
  if (!dashes.isEmpty() && state().bk_mode == OPAQUE) {
    QPen gaps = qpen;
    gaps.setColor(ToQColor(state().bk_color));
    painter_->setPen(gaps);
    painter_->drawPath(shape);
  }
  if (!dashes.isEmpty()) qpen.setDashPattern(dashes);
  painter_->setPen(qpen);
  painter_->drawPath(shape);
}

void QtDC::FillShape(const QPainterPath& shape, const Brush& brush) {
  QColor color = ToQColor(brush.color);
  if (state().rop2 == R2_BLACK) color = Qt::black;
  if (state().rop2 == R2_WHITE) color = Qt::white;
  painter_->setPen(Qt::NoPen);
  switch (brush.style) {
    case BS_SOLID:
      painter_->setBrush(color);
      painter_->drawPath(shape);
      break;
    case BS_HATCHED: {
      const Qt::BrushStyle style = HatchStyle(brush.hatch);
      if (style != Qt::SolidPattern && state().bk_mode == OPAQUE) {
        painter_->setBrush(ToQColor(state().bk_color));
        painter_->drawPath(shape);
      }
      painter_->setBrush(QBrush(color, style));
      painter_->drawPath(shape);
      break;
    }
    case BS_PATTERN:
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT:
      if (brush.pattern && brush.pattern->IsValid()) {
        if (pattern_source_ != brush.pattern) {
          pattern_image_ = PatternImage(*brush.pattern);
          pattern_source_ = brush.pattern;
        }
        if (painter_->paintEngine() && painter_->paintEngine()->type() == QPaintEngine::SVG) {
          // The SVG writer drops image brushes: the area keeps the pattern's mean colour.
          painter_->setBrush(MeanColour(pattern_image_));
        } else {
          painter_->setBrush(QBrush(pattern_image_));
        }
        painter_->drawPath(shape);
      }
      break;
    default:  // BS_NULL and unknown styles fill nothing
      break;
  }
}

void QtDC::EnsureFigure() {
  if (!path_needs_move_) return;
  path_.moveTo(Map(state().current_position));
  path_needs_move_ = false;
}

// ---- Lines and shapes ------------------------------------------------------------------------

void QtDC::DoMoveTo(POINT p) {
  if (IsPathOpen()) {
    path_.moveTo(Map(p));
    path_needs_move_ = false;
  }
}

bool QtDC::DoLineTo(POINT to) { return DoPolylineTo(&to, 1); }

bool QtDC::AddOrDraw(const QPainterPath& figure, bool closed) {
  if (IsPathOpen()) {
    path_.addPath(figure);
    path_needs_move_ = true;
    return true;
  }
  if (!Begin(true)) return false;
  if (closed) {
    FillShape(figure, state().brush);
    StrokeShape(figure);
  } else {
    StrokeOpenPath(figure);
  }
  return true;
}

template <typename Add>
bool QtDC::ContinueOrStroke(Add add) {
  if (IsPathOpen()) {
    EnsureFigure();
    add(path_);
    return true;
  }
  QPainterPath p;
  p.moveTo(Map(state().current_position));
  add(p);
  if (!Begin(true)) return false;
  StrokeOpenPath(p);
  return true;
}

bool QtDC::DoPolyline(const POINT* points, int count) {
  QPainterPath p;
  p.moveTo(Map(points[0]));
  for (int i = 1; i < count; ++i) p.lineTo(Map(points[i]));
  return AddOrDraw(p, false);
}

bool QtDC::DoPolylineTo(const POINT* points, int count) {
  return ContinueOrStroke([&](QPainterPath& p) {
    for (int i = 0; i < count; ++i) p.lineTo(Map(points[i]));
  });
}

bool QtDC::DoPolyBezier(const POINT* points, int count) {
  QPainterPath p;
  p.moveTo(Map(points[0]));
  for (int i = 1; i + 2 < count; i += 3) {
    p.cubicTo(Map(points[i]), Map(points[i + 1]), Map(points[i + 2]));
  }
  return AddOrDraw(p, false);
}

bool QtDC::DoPolyBezierTo(const POINT* points, int count) {
  return ContinueOrStroke([&](QPainterPath& p) {
    for (int i = 0; i + 2 < count; i += 3) {
      p.cubicTo(Map(points[i]), Map(points[i + 1]), Map(points[i + 2]));
    }
  });
}

bool QtDC::DoPolygon(const POINT* points, int count) {
  QPainterPath p;
  p.setFillRule(state().poly_fill_mode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
  p.moveTo(Map(points[0]));
  for (int i = 1; i < count; ++i) p.lineTo(Map(points[i]));
  p.closeSubpath();
  return AddOrDraw(p, true);
}

namespace {

// The box of Rectangle and Ellipse in painter coordinates: the corners mapped, normalised,
// and the right and bottom edges moved in by one device pixel (the figure stops short of
// them); with an inside-frame pen, moved in further so that the pen stays inside.
QRectF FigureBox(QPointF a, QPointF b, double inset) {
  double x0 = std::min(a.x(), b.x()), x1 = std::max(a.x(), b.x());
  double y0 = std::min(a.y(), b.y()), y1 = std::max(a.y(), b.y());
  x1 = std::max(x0, x1 - 1.0);
  y1 = std::max(y0, y1 - 1.0);
  if (inset > 0.0) {
    const double ix = std::min(inset, (x1 - x0) / 2.0);
    const double iy = std::min(inset, (y1 - y0) / 2.0);
    x0 += ix;
    x1 -= ix;
    y0 += iy;
    y1 -= iy;
  }
  return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

}  // namespace

double QtDC::InsideFrameInset() const {
  return (state().pen.style & PS_STYLE_MASK) == PS_INSIDEFRAME ? (PenWidth() - 1.0) / 2.0 : 0.0;
}

bool QtDC::DoRectangle(const RECT& r) {
  const QRectF box =
      FigureBox(Map(POINT{r.left, r.top}), Map(POINT{r.right, r.bottom}), InsideFrameInset());
  QPainterPath p;
  p.addRect(box);
  return AddOrDraw(p, true);
}

bool QtDC::DoEllipse(const RECT& r) {
  QRectF box =
      FigureBox(Map(POINT{r.left, r.top}), Map(POINT{r.right, r.bottom}), InsideFrameInset());
  // A curve's outermost pixels come out like a straight edge's with the box half a pixel on.
  if (raster_) box.translate(0.5, 0.5);
  QPainterPath p;
  p.addEllipse(box);
  return AddOrDraw(p, true);
}

bool QtDC::DoFillRect(const RECT& r, const Brush& brush) {
  if (!painter_->isActive()) return false;
  // A pixel area, not a figure: the rounded device corners, right and bottom excluded.
  const RECT d = NormalizedDeviceRect(*this, r);
  if (d.right <= d.left || d.bottom <= d.top) return true;
  Begin(false);
  QPainterPath p;
  p.addRect(QRectF(d.left, d.top, static_cast<double>(d.right) - d.left,
                   static_cast<double>(d.bottom) - d.top));
  FillShape(p, brush);
  return true;
}

// ---- Paths -----------------------------------------------------------------------------------

bool QtDC::DoBeginPath() {
  path_ = QPainterPath();
  path_needs_move_ = true;
  return true;
}

bool QtDC::DoEndPath() { return true; }

bool QtDC::DoCloseFigure() {
  path_.closeSubpath();
  path_needs_move_ = true;
  return true;
}

bool QtDC::DoAbortPath() {
  path_ = QPainterPath();
  path_needs_move_ = true;
  return true;
}

bool QtDC::DoStrokePath() {
  QPainterPath p = std::move(path_);
  DoAbortPath();
  if (!Begin(true)) return false;
  StrokeShape(p);
  return true;
}

bool QtDC::DoFillPath() {
  QPainterPath p = std::move(path_);
  DoAbortPath();
  p.setFillRule(state().poly_fill_mode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
  if (!Begin(true)) return false;
  FillShape(p, state().brush);
  return true;
}

bool QtDC::DoStrokeAndFillPath() {
  QPainterPath p = std::move(path_);
  DoAbortPath();
  p.setFillRule(state().poly_fill_mode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
  if (!Begin(true)) return false;
  FillShape(p, state().brush);
  StrokeShape(p);
  return true;
}

// ---- Text ------------------------------------------------------------------------------------

QFont QtDC::MakeFont(const DC& dc) {
  const LOGFONT& lf = dc.GetFont();
  QFont font;
  QString family =
      QString::fromLatin1(lf.lfFaceName, static_cast<int>(strnlen(lf.lfFaceName, LF_FACESIZE)));
  QFont::StyleHint hint = QFont::AnyStyle;
  switch (lf.lfPitchAndFamily & 0xF0) {
    case FF_ROMAN:
      hint = QFont::Serif;
      if (family.isEmpty()) family = QStringLiteral("Times New Roman");
      break;
    case FF_MODERN:
      hint = QFont::TypeWriter;
      if (family.isEmpty()) family = QStringLiteral("Courier New");
      break;
    default:
      hint = QFont::SansSerif;
      if (family.isEmpty()) family = QStringLiteral("Arial");
  }
  font.setFamily(family);
  font.setStyleHint(hint, QFont::PreferOutline);
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setKerning(false);
  const int weight = lf.lfWeight <= 0 ? FW_NORMAL : std::min<int>(lf.lfWeight, 1000);
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setItalic(lf.lfItalic != 0);
  font.setUnderline(lf.lfUnderline != 0);
  font.setStrikeOut(lf.lfStrikeOut != 0);

  const MappingTransform m = dc.GetMappingTransform();
  // The requested height in device pixels; 0 asks for 12 points.
  int pixels = lf.lfHeight == 0 ? Round(12.0 * dc.GetPixelsPerInchY() / 72.0)
                                : Round(std::abs(static_cast<double>(lf.lfHeight) * m.sy));
  pixels = std::clamp(pixels, 1, kMaxFontPixels);
  if (lf.lfHeight > 0) {
    // A cell height: the em size whose ascent + descent make `pixels`.
    QFont probe = font;
    probe.setPixelSize(1000);
    const QFontMetricsF fm(probe);
    const double cell = fm.ascent() + fm.descent();
    if (cell > 0.0) pixels = std::clamp(Round(pixels * 1000.0 / cell), 1, kMaxFontPixels);
  }
  font.setPixelSize(pixels);
  if (lf.lfWidth != 0) {
    const double wanted = std::abs(static_cast<double>(lf.lfWidth) * m.sx);
    const double natural = QFontMetricsF(font).averageCharWidth();
    if (natural > 0.0) font.setStretch(std::clamp(Round(100.0 * wanted / natural), 1, 4000));
  }
  return font;
}

namespace {

struct DeviceMetrics {
  int ascent = 0;
  int descent = 0;
  int em = 0;
};

DeviceMetrics MetricsOf(const QFont& font, const QFontMetricsF& fm) {
  return {Round(fm.ascent()), Round(fm.descent()), font.pixelSize()};
}

}  // namespace

SIZE QtDC::MeasureTextExtent(const DC& dc, std::string_view text) {
  const QFont font = MakeFont(dc);
  const QFontMetricsF fm(font);
  const DeviceMetrics d = MetricsOf(font, fm);
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const int advance = Round(fm.horizontalAdvance(s));
  return dc.SizeDPtoLP(SIZE{advance, d.ascent + d.descent});
}

TEXTMETRIC QtDC::MeasureTextMetrics(const DC& dc) {
  const QFont font = MakeFont(dc);
  const QFontMetricsF fm(font);
  const DeviceMetrics d = MetricsOf(font, fm);
  auto height = [&](int device) { return dc.SizeDPtoLP(SIZE{0, device}).cy; };
  auto width = [&](int device) { return dc.SizeDPtoLP(SIZE{device, 0}).cx; };
  const LOGFONT& lf = dc.GetFont();
  TEXTMETRIC tm;
  tm.tmHeight = height(d.ascent + d.descent);
  tm.tmAscent = height(d.ascent);
  tm.tmDescent = height(d.descent);
  tm.tmInternalLeading = height(std::max(0, d.ascent + d.descent - d.em));
  tm.tmExternalLeading = height(std::max(0, Round(fm.leading())));
  tm.tmAveCharWidth = width(Round(fm.averageCharWidth()));
  tm.tmMaxCharWidth = width(Round(fm.maxWidth()));
  tm.tmWeight = lf.lfWeight <= 0 ? FW_NORMAL : std::min<int>(lf.lfWeight, 1000);
  tm.tmItalic = lf.lfItalic ? 1 : 0;
  tm.tmUnderlined = lf.lfUnderline ? 1 : 0;
  tm.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
  return tm;
}

SIZE QtDC::DoGetTextExtent(std::string_view text) const { return MeasureTextExtent(*this, text); }

TEXTMETRIC QtDC::DoGetTextMetrics() const { return MeasureTextMetrics(*this); }

bool QtDC::DoTextOut(POINT at, std::string_view text) {
  if (!painter_->isActive()) return false;
  if (text.empty()) return true;
  Begin(false);
  const QFont font = MakeFont(*this);
  const QFontMetricsF fm(font);
  const DeviceMetrics d = MetricsOf(font, fm);
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const double advance = Round(fm.horizontalAdvance(s));

  const std::uint32_t align = state().text_align;
  double x = 0.0;
  if ((align & TA_HORZ_MASK) == TA_CENTER) {
    x = -advance / 2.0;
  } else if ((align & TA_HORZ_MASK) == TA_RIGHT) {
    x = -advance;
  }
  double baseline = 0.0;
  if ((align & TA_VERT_MASK) == TA_TOP) {
    baseline = d.ascent;
  } else if ((align & TA_VERT_MASK) == TA_BOTTOM) {
    baseline = -d.descent;
  }

  // The reference point, then the baseline turned counter-clockwise as seen on the page.
  painter_->translate(Map(at));
  painter_->rotate(-state().font.lfEscapement / 10.0);
  if (state().bk_mode == OPAQUE) {
    painter_->fillRect(QRectF(x, baseline - d.ascent, advance, d.ascent + d.descent),
                       ToQColor(state().bk_color));
  }
  painter_->setFont(font);
  painter_->setPen(ToQColor(state().text_color));
  painter_->drawText(QPointF(x, baseline), s);
  return true;
}

// ---- Regions ---------------------------------------------------------------------------------

bool QtDC::DoFillRgn(const Region& region, const Brush& brush) {
  if (!painter_->isActive()) return false;
  const Region device = RegionToDevice(*this, region);
  if (device.IsEmpty()) return true;
  Begin(false);
  FillShape(PathOfRegion(device), brush);
  return true;
}

bool QtDC::DoFrameRgn(const Region& region, const Brush& brush, SIZE size) {
  if (!painter_->isActive()) return false;
  const Region device = RegionToDevice(*this, region);
  if (device.IsEmpty()) return true;
  const SIZE d = SizeLPtoDP(size);
  const std::int32_t w = std::max(1, d.cx);
  const std::int32_t h = std::max(1, d.cy);
  // The inside: what stays covered when the region is moved by the frame size either way.
  Region inside = device;
  for (const POINT shift : {POINT{w, 0}, POINT{-w, 0}, POINT{0, h}, POINT{0, -h}}) {
    Region moved = device;
    moved.Offset(shift.x, shift.y);
    inside = inside.Intersected(moved);
  }
  Begin(false);
  FillShape(PathOfRegion(device.Subtracted(inside)), brush);
  return true;
}

bool QtDC::DoInvertRgn(const Region& region) {
  if (!painter_->isActive()) return false;
  const Region device = RegionToDevice(*this, region);
  if (device.IsEmpty()) return true;
  Begin(false);
  // Difference with white turns every colour c into white − c.
  painter_->setCompositionMode(QPainter::CompositionMode_Difference);
  painter_->setPen(Qt::NoPen);
  painter_->setBrush(Qt::white);
  painter_->drawPath(PathOfRegion(device));
  return true;
}

}  // namespace tessmor
