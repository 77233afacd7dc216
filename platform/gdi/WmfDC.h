#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformExport.h"
#include "platform/gdi/MetafileDC.h"

namespace tessmor {

/// A DC that writes a placeable Windows metafile (WMF) in memory with libUEMF.
///
/// A WMF has 16-bit coordinates and no curves or paths. This writer stores device space in
/// the anisotropic mapping: a window at (0, 0) over the frame, and the placeable header's
/// bounding box and units per inch saying how large that is. With a frame the writer takes as
/// many units per device pixel (1 to 16) as the frame's larger side allows within the 16-bit
/// range; points beyond the range are held at its edge. Bézier curves and paths are
/// flattened to polylines and polygons within a quarter of a pixel; dashed lines are cut into
/// solid dashes of the lengths a QtDC draws. Text is stored in Latin-1 (other characters
/// become '?'). A clip region is written as its bounding rectangle. Raster mixing modes are
/// not recorded; R2_NOP draws nothing.
class TESSMOR_PLATFORM_EXPORT WmfDC : public MetafileDC {
 public:
  /// A metafile for a reference device of `pixels_per_inch`. `frame` is the picture's
  /// rectangle in device pixels; without it the picture is what has been drawn, at one unit
  /// per pixel.
  explicit WmfDC(int pixels_per_inch = 96, std::optional<RECT> frame = std::nullopt);
  ~WmfDC() override;

  /// False when the writer could not start; such a DC draws nothing and closes empty.
  bool IsValid() const { return writer_ != nullptr; }
  /// Ends the metafile and returns its bytes; the DC draws nothing afterwards. A second
  /// call, or a call on an invalid DC, returns no bytes.
  std::vector<std::uint8_t> Close();

 protected:
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
  bool DoFillRgn(const Region& region, const Brush& brush) override;
  bool DoFrameRgn(const Region& region, const Brush& brush, SIZE size) override;
  bool DoInvertRgn(const Region& region) override;

 private:
  struct Writer;
  struct Figure {
    std::vector<PointF> points;
    bool closed = false;
  };
  struct PenKey {
    std::uint32_t style = 0;
    std::int32_t width = -1;
    COLORREF color = 0;
    friend bool operator==(const PenKey&, const PenKey&) = default;
  };

  bool Drawing() const;
  bool Append(char* record);
  // Metafile point of a logical one, relative to the frame.
  PointF ToWmf(POINT p) const;
  std::vector<PointF> ToWmf(const POINT* points, int count) const;
  std::vector<PointF> Curves(const std::vector<PointF>& points) const;

  void SyncClip();
  void WritePen(const PenKey& key);
  void SyncBrush(const Brush& brush);
  void SyncFont();
  void SyncTextModes();
  void SyncFillMode();
  // The selected pen's solid form, or the null pen.
  PenKey SolidPen(COLORREF color) const;
  PenKey NullPen() const;

  // Draws lines with the selected pen, cut into dashes when it is dashed.
  bool Stroke(const std::vector<Figure>& figures);
  // Fills closed shapes with `brush` and no outline.
  bool Fill(const std::vector<std::vector<PointF>>& polygons, const Brush& brush);
  // A closed shape filled with the selected brush and outlined with the pen.
  bool Shape(const std::vector<PointF>& polygon);
  bool WriteRects(const std::vector<RECT>& rects, const Brush& brush);
  Figure& OpenFigure();

  std::unique_ptr<Writer> writer_;  // null once closed, or when the writer could not start
  std::optional<RECT> frame_;
  PointF origin_;  // metafile units of the frame's top-left corner

  std::optional<PenKey> written_pen_;
  std::optional<Brush> written_brush_;
  std::optional<LOGFONT> written_font_;
  std::optional<int> written_fill_mode_;
  std::optional<std::optional<RECT>> written_clip_;
  std::vector<Figure> path_;
  bool figure_open_ = false;
};

/// Units per device pixel a WMF of a frame `width` × `height` pixels can afford: the most,
/// up to 16, that keeps both sides within the 16-bit range.
TESSMOR_PLATFORM_EXPORT int WmfUnitsPerPixel(std::int32_t width, std::int32_t height);

}  // namespace tessmor
