#pragma once

#include <string_view>
#include <vector>

#include "platform/PlatformExport.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Region.h"

namespace tessmor {

/// The logical-to-device affine map of a DC before rounding:
/// device x = logical x × sx + dx, device y = logical y × sy + dy (device pixels).
struct MappingTransform {
  double sx = 1.0;
  double sy = 1.0;
  double dx = 0.0;
  double dy = 0.0;
};

/// What changed in a DC's state (told to implementations through DC::OnChange).
enum class DCChange {
  kMapMode,
  kWindowOrg,
  kWindowExt,
  kViewportOrg,
  kViewportExt,
  kPen,
  kBrush,
  kFont,
  kTextColor,
  kBkColor,
  kBkMode,
  kTextAlign,
  kPolyFillMode,
  kRop2,
  kClip,
};

/// Everything SaveDC saves and RestoreDC restores.
struct DCState {
  int map_mode = MM_TEXT;
  POINT window_org;
  SIZE window_ext{1, 1};
  POINT viewport_org;
  SIZE viewport_ext{1, 1};
  Pen pen;                  ///< default: solid, width 0, black
  Brush brush;              ///< default: solid white
  LOGFONT font;             ///< default: height 0 (a default size), no face name
  COLORREF text_color = 0;  ///< default black
  COLORREF bk_color = 0xFFFFFF;
  int bk_mode = OPAQUE;
  std::uint32_t text_align = TA_LEFT | TA_TOP | TA_NOUPDATECP;
  int poly_fill_mode = ALTERNATE;
  int rop2 = R2_COPYPEN;
  POINT current_position;
  bool has_clip = false;  ///< without a clip everything inside the device bounds is drawn
  Region clip;            ///< device pixels, when has_clip
};

/// A device context: the part of the desktop's drawing interface that the chart code uses.
///
/// All coordinates given to the drawing calls are logical units. The mapping state (mapping
/// mode, window and viewport origins and extents) lives here, with the conversions between
/// logical and device units exactly as the desktop defines them:
///   device = (logical − window origin) × viewport extent / window extent + viewport origin,
/// rounded to the nearest integer (halves upwards). MM_TEXT maps one unit to one device
/// pixel with y down; MM_LOMETRIC (0.1 mm), MM_HIMETRIC (0.01 mm), MM_LOENGLISH,
/// MM_HIENGLISH and MM_TWIPS use the device's pixels per inch with y up; MM_ISOTROPIC and
/// MM_ANISOTROPIC take the extents set by SetWindowExt and SetViewportExt.
///
/// The selected pen, brush and font, the colours and modes and the current position are kept
/// here too; an implementation reads them when it draws. The public drawing calls check their
/// arguments, keep the current position and the path bracket, and hand the work to the
/// protected Do* functions, which implementations (a QPainter one, metafile writers, a
/// recorder for tests) provide.
///
/// Text is UTF-8.
class TESSMOR_PLATFORM_EXPORT DC {
 public:
  virtual ~DC();
  DC(const DC&) = delete;
  DC& operator=(const DC&) = delete;

  // ---- Device ------------------------------------------------------------------------------

  /// Device pixels per inch (the desktop's LOGPIXELSX and LOGPIXELSY).
  int GetPixelsPerInchX() const { return ppi_x_; }
  int GetPixelsPerInchY() const { return ppi_y_; }
  /// The drawing surface in device pixels, (0, 0, width, height); all zero when unbounded.
  RECT GetDeviceBounds() const { return device_bounds_; }
  /// HORZSIZE, VERTSIZE, HORZRES, VERTRES, LOGPIXELSX or LOGPIXELSY; 0 for any other index.
  int GetDeviceCaps(int index) const;

  // ---- Mapping -----------------------------------------------------------------------------

  /// Sets the mapping mode (MM_TEXT … MM_ANISOTROPIC) and returns the previous one; returns 0
  /// and changes nothing for an unknown mode. The fixed modes set both extents; the origins
  /// are kept; MM_ISOTROPIC starts from the extents of MM_LOMETRIC and MM_ANISOTROPIC keeps
  /// the extents it finds.
  int SetMapMode(int mode);
  int GetMapMode() const { return state_.map_mode; }

  /// Each setter returns the previous value.
  POINT SetWindowOrg(std::int32_t x, std::int32_t y);
  POINT OffsetWindowOrg(std::int32_t dx, std::int32_t dy);
  POINT GetWindowOrg() const { return state_.window_org; }
  POINT SetViewportOrg(std::int32_t x, std::int32_t y);
  POINT OffsetViewportOrg(std::int32_t dx, std::int32_t dy);
  POINT GetViewportOrg() const { return state_.viewport_org; }
  /// The extents change only in MM_ISOTROPIC and MM_ANISOTROPIC, and never to a zero
  /// component (such calls are ignored). In MM_ISOTROPIC the viewport extent is then shrunk
  /// in one direction so that a logical unit is as long in x as in y (signs kept).
  SIZE SetWindowExt(std::int32_t cx, std::int32_t cy);
  SIZE GetWindowExt() const { return state_.window_ext; }
  SIZE SetViewportExt(std::int32_t cx, std::int32_t cy);
  SIZE GetViewportExt() const { return state_.viewport_ext; }

  /// The logical-to-device map before rounding (see MappingTransform).
  MappingTransform GetMappingTransform() const;

  /// Logical units to device pixels, rounded as the desktop rounds (results beyond the 32-bit
  /// range are clamped).
  POINT LPtoDP(POINT p) const;
  void LPtoDP(POINT* points, int count) const;
  /// Both corners converted (a y-up rectangle comes out with top < bottom when its top was
  /// above its bottom).
  RECT LPtoDP(const RECT& r) const;
  /// Device pixels to logical units, rounded likewise.
  POINT DPtoLP(POINT p) const;
  void DPtoLP(POINT* points, int count) const;
  RECT DPtoLP(const RECT& r) const;
  /// A length pair: logical to device (|cx × x scale|, |cy × y scale|) and back, rounded.
  SIZE SizeLPtoDP(SIZE s) const;
  SIZE SizeDPtoLP(SIZE s) const;

  // ---- Drawing objects and modes -----------------------------------------------------------

  /// Each selection or setter returns the previous value.
  Pen SelectPen(const Pen& pen);
  const Pen& GetPen() const { return state_.pen; }
  Brush SelectBrush(const Brush& brush);
  const Brush& GetBrush() const { return state_.brush; }
  /// The font's heights and widths are logical units (converted to device pixels with the
  /// mapping in force when text is drawn or measured).
  LOGFONT SelectFont(const LOGFONT& font);
  const LOGFONT& GetFont() const { return state_.font; }
  COLORREF SetTextColor(COLORREF color);
  COLORREF GetTextColor() const { return state_.text_color; }
  /// The colour behind text, hatches and dash gaps in OPAQUE mode.
  COLORREF SetBkColor(COLORREF color);
  COLORREF GetBkColor() const { return state_.bk_color; }
  /// TRANSPARENT or OPAQUE; returns 0 and changes nothing for another value.
  int SetBkMode(int mode);
  int GetBkMode() const { return state_.bk_mode; }
  /// TA_ flags: horizontal TA_LEFT/TA_CENTER/TA_RIGHT, vertical TA_TOP/TA_BASELINE/TA_BOTTOM,
  /// TA_UPDATECP. Bits outside TA_MASK are dropped.
  std::uint32_t SetTextAlign(std::uint32_t flags);
  std::uint32_t GetTextAlign() const { return state_.text_align; }
  /// ALTERNATE or WINDING; returns 0 and changes nothing for another value.
  int SetPolyFillMode(int mode);
  int GetPolyFillMode() const { return state_.poly_fill_mode; }
  /// R2_ mixing mode (1-16); returns 0 and changes nothing for another value.
  int SetROP2(int mode);
  int GetROP2() const { return state_.rop2; }

  // ---- Lines and shapes --------------------------------------------------------------------
  // Each returns false (drawing nothing) for a null array or a count the call cannot use.
  // While a path is open (BeginPath … EndPath) they add figures to the path instead of
  // drawing.

  /// Sets the current position and returns the previous one.
  POINT MoveTo(std::int32_t x, std::int32_t y);
  POINT GetCurrentPosition() const { return state_.current_position; }
  /// A line from the current position to (x, y) with the pen, the end point not included
  /// for a one-pixel pen; the current position becomes (x, y).
  bool LineTo(std::int32_t x, std::int32_t y);
  /// Connected lines through `count` ≥ 2 points; the current position is not used or changed.
  bool Polyline(const POINT* points, int count);
  /// Lines from the current position through `count` ≥ 1 points; the last becomes current.
  bool PolylineTo(const POINT* points, int count);
  /// Cubic Bézier curves: a start point, then three points (two controls and an end) per
  /// curve; `count` = 1 + 3n with n ≥ 1. The current position is not used or changed.
  bool PolyBezier(const POINT* points, int count);
  /// Cubic Bézier curves from the current position, three points per curve (count = 3n,
  /// n ≥ 1); the last point becomes current.
  bool PolyBezierTo(const POINT* points, int count);
  /// A closed polygon through `count` ≥ 2 points, outlined with the pen and filled with the
  /// brush in the polygon fill mode.
  bool Polygon(const POINT* points, int count);
  /// A rectangle outlined with the pen and filled with the brush. As on the desktop the
  /// figure reaches up to but not including the right and bottom device edges.
  bool Rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
  /// The ellipse inscribed in the rectangle, outlined with the pen, filled with the brush.
  bool Ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
  /// Fills the rectangle with `brush` (not the selected one), without an outline and without
  /// its right and bottom device edges. Not part of a path.
  bool FillRect(const RECT& rect, const Brush& brush);

  // ---- Paths -------------------------------------------------------------------------------

  /// Opens a path bracket, discarding any previous path: the following lines, curves,
  /// polygons, rectangles and ellipses become figures of the path instead of being drawn.
  bool BeginPath();
  /// Closes the bracket; false when none is open.
  bool EndPath();
  /// Closes the current figure of an open path with a line to its start.
  bool CloseFigure();
  /// Discards the path (open or closed).
  bool AbortPath();
  /// Draws a closed path with the pen, fills it with the brush (closing every figure, in the
  /// polygon fill mode), or both; the path is then discarded. False without a closed path.
  bool StrokePath();
  bool FillPath();
  bool StrokeAndFillPath();
  bool IsPathOpen() const { return path_ == PathState::kOpen; }

  // ---- Text --------------------------------------------------------------------------------

  /// Draws `text` (UTF-8, one line) with the selected font in the text colour, its
  /// reference point at (x, y) placed as the text alignment says, the baseline turned by the
  /// font's escapement. In OPAQUE mode the text's cell is first filled with the background
  /// colour. With TA_UPDATECP the current position is the reference point instead of (x, y)
  /// and moves along the baseline past the text (left aligned) or back before it (right
  /// aligned). Draws nothing inside an open path.
  bool TextOut(std::int32_t x, std::int32_t y, std::string_view text);
  /// Width and height of `text` with the selected font, logical units, ignoring the
  /// escapement: cx the advance width, cy the font's cell height.
  SIZE GetTextExtent(std::string_view text) const;
  /// The selected font's metrics, logical units.
  TEXTMETRIC GetTextMetrics() const;

  // ---- Regions and clipping ----------------------------------------------------------------
  // Regions given to FillRgn, FrameRgn, InvertRgn and PaintRgn are read in logical units.

  /// Fills the region with `brush`.
  bool FillRgn(const Region& region, const Brush& brush);
  /// Fills the region with the selected brush.
  bool PaintRgn(const Region& region);
  /// Draws a border inside the region's edges with `brush`, `width` wide at its vertical and
  /// `height` high at its horizontal edges (logical units, at least one pixel).
  bool FrameRgn(const Region& region, const Brush& brush, std::int32_t width, std::int32_t height);
  /// Inverts the colours inside the region (white becomes black).
  bool InvertRgn(const Region& region);

  /// The smallest logical rectangle around the area that can be drawn on (the clip region,
  /// or the whole device), both corners converted from device pixels. Returns its kind
  /// (NULLREGION, SIMPLEREGION or COMPLEXREGION).
  int GetClipBox(RECT& box) const;
  /// Limits drawing to the part of the current clip area inside the logical rectangle.
  /// Returns the kind of the new clip area.
  int IntersectClipRect(std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom);
  /// Limits drawing to `region` (device pixels); null removes the clip. Returns the kind of
  /// the new clip area.
  int SelectClipRgn(const Region* region);

  // ---- Saved states ------------------------------------------------------------------------

  /// Saves the whole state (mapping, objects, colours, modes, current position, clip) and
  /// returns its level: 1 for the first saved state, 2 for the next …
  int SaveDC();
  /// Restores the state saved at `level` (> 0) or `-level` saves back (< 0), discarding the
  /// later saves. False (nothing changed) when there is no such saved state. A path is not
  /// part of the saved state.
  bool RestoreDC(int level);
  /// Number of states saved and not yet restored.
  int GetSaveDepth() const { return static_cast<int>(saved_.size()); }

  /// The whole current state.
  const DCState& state() const { return state_; }

 protected:
  /// A DC for a device with the given pixels per inch (values below 1 become 96) and
  /// surface in device pixels (all zero for an unbounded device such as a metafile).
  DC(int pixels_per_inch_x, int pixels_per_inch_y, RECT device_bounds);

  /// Changes the surface (e.g. when the device is resized).
  void SetDeviceBounds(const RECT& bounds) { device_bounds_ = bounds; }
  /// Limits the drawable area to `region` (device pixels) beneath any clip the caller
  /// selects, as a window's update region does; null removes the limit.
  void SetSystemClip(const Region* region);
  /// The area drawing reaches: the clip (or the device bounds, or everything for an
  /// unbounded device), within the system clip.
  Region DrawableArea() const;

  /// Told after every change of the state (the new value is in state()).
  virtual void OnChange(DCChange what) {}
  /// Told after SaveDC saved state `level`.
  virtual void OnSaveDC(int level) {}
  /// Told after RestoreDC went back to the state of `level`, `popped` states back (the
  /// desktop's relative form is −popped).
  virtual void OnRestoreDC(int level, int popped) {}

  // The drawing work. Arguments are checked and logical; the current position is the one
  // before the call (the base updates it afterwards). In a path (IsPathOpen()) the shape
  // calls add figures instead of drawing.
  virtual void DoMoveTo(POINT p) {}
  virtual bool DoLineTo(POINT to) = 0;
  virtual bool DoPolyline(const POINT* points, int count) = 0;
  virtual bool DoPolylineTo(const POINT* points, int count) = 0;
  virtual bool DoPolyBezier(const POINT* points, int count) = 0;
  virtual bool DoPolyBezierTo(const POINT* points, int count) = 0;
  virtual bool DoPolygon(const POINT* points, int count) = 0;
  virtual bool DoRectangle(const RECT& r) = 0;
  virtual bool DoEllipse(const RECT& r) = 0;
  virtual bool DoFillRect(const RECT& r, const Brush& brush) = 0;
  virtual bool DoBeginPath() = 0;
  virtual bool DoEndPath() = 0;
  virtual bool DoCloseFigure() = 0;
  virtual bool DoAbortPath() = 0;
  virtual bool DoStrokePath() = 0;
  virtual bool DoFillPath() = 0;
  virtual bool DoStrokeAndFillPath() = 0;
  /// Draws the text; TA_UPDATECP is already resolved: `at` is the reference point.
  virtual bool DoTextOut(POINT at, std::string_view text) = 0;
  virtual SIZE DoGetTextExtent(std::string_view text) const = 0;
  virtual TEXTMETRIC DoGetTextMetrics() const = 0;
  virtual bool DoFillRgn(const Region& region, const Brush& brush) = 0;
  virtual bool DoFrameRgn(const Region& region, const Brush& brush, SIZE size) = 0;
  virtual bool DoInvertRgn(const Region& region) = 0;

 private:
  enum class PathState { kNone, kOpen, kClosed };

  static bool ValidExtent(std::int32_t cx, std::int32_t cy) { return cx != 0 && cy != 0; }
  void AdjustIsotropic();
  void Changed(DCChange what) { OnChange(what); }

  int ppi_x_;
  int ppi_y_;
  RECT device_bounds_;
  bool has_system_clip_ = false;
  Region system_clip_;
  DCState state_;
  std::vector<DCState> saved_;
  PathState path_ = PathState::kNone;
};

/// The device rectangle covered by a logical rectangle: both corners mapped and the result
/// normalised (left ≤ right, top ≤ bottom).
TESSMOR_PLATFORM_EXPORT RECT NormalizedDeviceRect(const DC& dc, const RECT& logical);

/// The region converted from logical units to device pixels rectangle by rectangle.
TESSMOR_PLATFORM_EXPORT Region RegionToDevice(const DC& dc, const Region& logical);

}  // namespace tessmor
