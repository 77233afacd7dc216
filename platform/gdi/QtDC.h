#pragma once

// A device context drawing with a QPainter. Only platform/ and app/ include this header.

#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <memory>
#include <string_view>

#include "platform/PlatformExport.h"
#include "platform/gdi/DC.h"

class QPaintDevice;
class QPainter;
class QPen;
class QBrush;

namespace tessmor {

/// A DC on a QPainter: images, PDF and SVG files, widgets and printers.
///
/// Device pixels are the painter's coordinates as they stand when the DC is made (for an
/// image or a PDF page: its pixels). Geometry is mapped from logical units with the DC's
/// mapping transform without intermediate rounding. On raster devices (images, widgets) the
/// pixels come out as on the desktop: a one-pixel line from device (0, 5) to (10, 5) colours
/// pixels 0 to 9 of row 5, a 3-pixel line there rows 4 to 6, and Rectangle(0, 0, 10, 10) with
/// a one-pixel pen covers pixels 0 to 9 (0 to 8 with a null pen).
///
/// Pens are stroked in device pixels: the logical width is converted once with the x scale
/// (at least one pixel). Text uses a QFont made from the LOGFONT whose pixel size is the
/// logical height converted with the y scale and rounded, without hinting or kerning so that
/// widths scale with the size. Raster mixing modes (SetROP2) and InvertRgn work on raster
/// devices; vector devices draw every mode as R2_COPYPEN (see the R2_ constants) and invert by
/// difference with white where the engine supports it.
class TESSMOR_PLATFORM_EXPORT QtDC : public DC {
 public:
  /// Draws with `painter` (active, not owned). Pixels per inch default to the device's
  /// logical resolution.
  explicit QtDC(QPainter& painter, int pixels_per_inch_x = 0, int pixels_per_inch_y = 0);
  /// Begins its own painter on `device` (an image, a PDF writer, an SVG generator …) and
  /// ends it when destroyed. IsActive() tells whether the painter could begin.
  explicit QtDC(QPaintDevice& device, int pixels_per_inch_x = 0, int pixels_per_inch_y = 0);
  ~QtDC() override;

  bool IsActive() const;
  /// True on a raster device (an image or a window).
  bool IsRaster() const { return raster_; }
  /// Smooth edges for lines, fills and text (off by default: pixels as on the desktop).
  void SetAntialiasing(bool on) { antialias_ = on; }
  QPainter& painter() { return *painter_; }

  /// The QFont for `dc`'s selected font at its current mapping, its pixel size in device
  /// pixels.
  static QFont MakeFont(const DC& dc);
  /// What GetTextExtent and GetTextMetrics answer for `dc`'s font and mapping; for other
  /// device contexts (metafile writers) that measure text the same way. They need a
  /// QGuiApplication.
  static SIZE MeasureTextExtent(const DC& dc, std::string_view text);
  static TEXTMETRIC MeasureTextMetrics(const DC& dc);

 protected:
  void OnChange(DCChange what) override;
  void OnRestoreDC(int level, int popped) override;

  void DoMoveTo(POINT p) override;
  bool DoLineTo(POINT to) override;
  bool DoPolyline(const POINT* points, int count) override;
  bool DoPolylineTo(const POINT* points, int count) override;
  bool DoPolyBezier(const POINT* points, int count) override;
  bool DoPolyBezierTo(const POINT* points, int count) override;
  bool DoPolygon(const POINT* points, int count) override;
  bool DoRectangle(const RECT& r) override;
  bool DoEllipse(const RECT& r) override;
  bool DoFillRect(const RECT& r, const Brush& brush) override;
  bool DoBeginPath() override;
  bool DoEndPath() override;
  bool DoCloseFigure() override;
  bool DoAbortPath() override;
  bool DoStrokePath() override;
  bool DoFillPath() override;
  bool DoStrokeAndFillPath() override;
  bool DoTextOut(POINT at, std::string_view text) override;
  SIZE DoGetTextExtent(std::string_view text) const override;
  TEXTMETRIC DoGetTextMetrics() const override;
  bool DoFillRgn(const Region& region, const Brush& brush) override;
  bool DoFrameRgn(const Region& region, const Brush& brush, SIZE size) override;
  bool DoInvertRgn(const Region& region) override;

 private:
  QtDC(QPainter* painter, std::unique_ptr<QPainter> owned, int ppi_x, int ppi_y);

  QPointF Map(POINT p) const;
  // Prepares the painter for one drawing call (transform, smoothing, and the mixing mode
  // when `mixes`: lines and figures mix, area fills and text do not); false when nothing is
  // to be drawn (an inactive painter, or R2_NOP for a call that mixes).
  bool Begin(bool mixes);
  void ApplyClip();
  // The outline and fill of a closed shape given in painter coordinates.
  void StrokeShape(const QPainterPath& shape);
  void FillShape(const QPainterPath& shape, const Brush& brush);
  void StrokeOpenPath(const QPainterPath& path);
  void EnsureFigure();
  // Adds a whole figure (painter coordinates) to the open path, or draws it now: stroked,
  // and first filled with the brush when `closed`.
  bool AddOrDraw(const QPainterPath& figure, bool closed);
  // Continues the open path's figure with the segments `add` appends, or strokes them now
  // from the current position.
  template <typename Add>
  bool ContinueOrStroke(Add add);
  // How far a Rectangle or Ellipse draws inside its box for an inside-frame pen, pixels.
  double InsideFrameInset() const;
  // Device width of the selected pen, pixels (at least 1), 0 for a null pen.
  double PenWidth() const;

  std::unique_ptr<QPainter> owned_painter_;
  QPainter* painter_;
  QTransform base_;
  bool raster_ = false;
  bool antialias_ = false;
  QPainterPath path_;  // painter coordinates
  bool path_needs_move_ = true;
  // The last pattern brush's bitmap, converted once (the DIB is immutable once shared).
  std::shared_ptr<const DIBPattern> pattern_source_;
  QImage pattern_image_;
};

}  // namespace tessmor
