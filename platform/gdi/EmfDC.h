#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformExport.h"
#include "platform/gdi/EnhMetafile.h"
#include "platform/gdi/MetafileDC.h"

namespace tessmor {

/// A DC that writes an enhanced metafile (EMF) in memory with libUEMF.
///
/// The reference device has the given pixels per inch; the metafile stores device space
/// (its mapping mode stays MM_TEXT) at kUnitsPerPixel units per device pixel, so the drawing
/// keeps its place and size to a sixteenth of a pixel, and its header's bounds, frame and
/// reference-device size describe exactly that scale. Pens, dashes, hatches, patterns and
/// text follow QtDC: the same drawing through a QtDC on an image of the same pixels per inch
/// gives the same geometry. Dashed lines are written as user-styled geometric pens, so that
/// their dash lengths do not depend on the program that shows the file. Regions are written
/// as polygons. Raster mixing modes are not recorded; R2_NOP draws nothing.
class TESSMOR_PLATFORM_EXPORT EmfDC : public MetafileDC {
 public:
  static constexpr int kUnitsPerPixel = 16;

  /// A metafile for a reference device of `pixels_per_inch`. `description` is stored in the
  /// header as it stands (the desktop's form: application name, NUL, document title, two
  /// NULs). `frame` is the picture's rectangle in device pixels, and the header's bounds and
  /// frame both describe it; without it they describe what has been drawn.
  explicit EmfDC(int pixels_per_inch = 96, std::string_view description = {},
                 std::optional<RECT> frame = std::nullopt);
  ~EmfDC() override;

  /// False when the writer could not start; such a DC draws nothing and closes empty.
  bool IsValid() const { return writer_ != nullptr; }
  /// Ends the metafile and returns it; the DC draws nothing afterwards. A second call, or a
  /// call on an invalid DC, returns an empty (invalid) metafile.
  EnhMetafile Close();

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
  // The pen as written: what decides whether a new pen record is needed.
  struct PenKey {
    std::uint32_t style = 0;
    std::int32_t width = -1;
    COLORREF color = 0;
    std::vector<std::uint32_t> dashes;
    friend bool operator==(const PenKey&, const PenKey&) = default;
  };

  // True while the metafile is open.
  bool Drawing() const;
  // True when the mixing mode draws nothing (R2_NOP).
  bool Nop() const;
  bool Append(char* record);
  // Appends the filling record that `make` builds; with a pattern brush selected, outside a
  // path, the same record first filled with the pattern's mean-colour underlay brush.
  bool AppendFilled(const std::function<char*()>& make);
  // Brings the file's objects and modes in line with the DC's before a drawing record.
  void SyncPen(bool null_pen = false);
  void SyncBrush(const Brush& brush);
  void SyncFont();
  void SyncTextModes();
  void SyncFillMode();
  void SyncClip();
  void SyncForShape(bool fill);
  // Writes points (metafile units) as one record of `type`, widening the bounds.
  bool WritePoints(std::uint32_t type, const std::vector<PointF>& points, bool fill);
  bool WriteRects(const std::vector<RECT>& rects);
  std::vector<PointF> ToFile(const POINT* points, int count) const;

  std::unique_ptr<Writer> writer_;  // null once closed, or when the writer could not start
  std::optional<RECT> frame_;
  std::u16string description_;

  std::optional<PenKey> written_pen_;
  std::optional<Brush> written_brush_;
  std::optional<LOGFONT> written_font_;
  std::optional<int> written_fill_mode_;
  std::optional<std::optional<Region>> written_clip_;
  std::vector<PointF> path_points_;
};

}  // namespace tessmor
