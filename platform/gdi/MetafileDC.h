#pragma once

// What the EMF and WMF writers share: the world transform of the desktop's advanced graphics
// mode, the way from logical units to the numbers a metafile stores, the bounds of what has
// been drawn, and the pen, dash and text measures a QtDC would use for the same drawing.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PlatformExport.h"
#include "platform/gdi/DC.h"

namespace tessmor {

/// A world transform as the desktop's XFORM: a world point (x, y) goes to the page (logical)
/// point (x·eM11 + y·eM21 + eDx, x·eM12 + y·eM22 + eDy).
struct XFORM {
  float eM11 = 1.0f;
  float eM12 = 0.0f;
  float eM21 = 0.0f;
  float eM22 = 1.0f;
  float eDx = 0.0f;
  float eDy = 0.0f;
  friend bool operator==(const XFORM&, const XFORM&) = default;
};

constexpr int GM_COMPATIBLE = 1;
constexpr int GM_ADVANCED = 2;
constexpr int MWT_IDENTITY = 1;
constexpr int MWT_LEFTMULTIPLY = 2;
constexpr int MWT_RIGHTMULTIPLY = 3;

/// A device context that can draw through a world transform (the desktop's advanced
/// graphics mode). The transform applies to the points of lines, shapes and text, to pen
/// widths and font sizes; regions and clipping stay in logical units.
class TESSMOR_PLATFORM_EXPORT WorldTransformDC {
 public:
  virtual ~WorldTransformDC();
  /// GM_COMPATIBLE or GM_ADVANCED; returns the previous mode, 0 for another value. Going back
  /// to GM_COMPATIBLE fails (returns 0) unless the transform is the identity.
  virtual int SetGraphicsMode(int mode) = 0;
  virtual int GetGraphicsMode() const = 0;
  /// Replaces the world transform; false in GM_COMPATIBLE or for a singular matrix.
  virtual bool SetWorldTransform(const XFORM& xform) = 0;
  /// MWT_IDENTITY resets it; MWT_LEFTMULTIPLY makes it `xform` × current (xform applied
  /// first), MWT_RIGHTMULTIPLY current × `xform`. False in GM_COMPATIBLE, for another mode
  /// or a singular result.
  virtual bool ModifyWorldTransform(const XFORM& xform, int mode) = 0;
  virtual XFORM GetWorldTransform() const = 0;
};

/// The product a × b: a applied first, then b.
TESSMOR_PLATFORM_EXPORT XFORM CombineTransforms(const XFORM& a, const XFORM& b);

/// A point in metafile units before rounding.
struct PointF {
  double x = 0.0;
  double y = 0.0;
};

/// The base of the metafile writers. Coordinates are written in device space: a logical
/// point goes through the world transform and the DC's mapping to device pixels, and is then
/// multiplied by the writer's units per pixel, so that a metafile keeps detail finer than a
/// pixel of its reference device. Text is measured as a QtDC with the same pixels per inch
/// measures it (a QGuiApplication must exist).
class TESSMOR_PLATFORM_EXPORT MetafileDC : public DC, public WorldTransformDC {
 public:
  ~MetafileDC() override;

  int SetGraphicsMode(int mode) override;
  int GetGraphicsMode() const override { return graphics_mode_; }
  bool SetWorldTransform(const XFORM& xform) override;
  bool ModifyWorldTransform(const XFORM& xform, int mode) override;
  XFORM GetWorldTransform() const override { return world_; }

  /// The dash pattern of `style` in pen widths (geometric) or pixels (cosmetic one-pixel
  /// pens), as a QtDC draws it; empty for a solid style.
  static std::vector<double> DashPattern(std::uint32_t style, bool geometric);

  /// Metafile units per device pixel.
  double UnitsPerPixel() const { return units_per_pixel_; }
  /// The smallest rectangle, in metafile units, around everything drawn so far (pen widths
  /// included), right and bottom inclusive; nothing before the first drawing.
  std::optional<RECT> DrawnBounds() const;

 protected:
  MetafileDC(int pixels_per_inch, double units_per_pixel);

  void OnSaveDC(int level) override;
  void OnRestoreDC(int level, int popped) override;
  SIZE DoGetTextExtent(std::string_view text) const override;
  TEXTMETRIC DoGetTextMetrics() const override;

  /// A logical point in metafile units, before rounding.
  PointF ToFile(POINT logical) const;
  /// The corners of a logical rectangle in metafile units, in the order left-top, right-top,
  /// right-bottom, left-bottom.
  std::vector<PointF> RectCorners(const RECT& r) const;
  /// True when the world transform keeps rectangles axis-aligned (no turn, no shear).
  bool TransformKeepsAxes() const;
  /// Length in metafile units of a logical length along x (the desktop converts pen widths
  /// with the x scale), through the world transform's scale.
  double LengthToFile(double logical) const;

  /// Device width of the selected pen in pixels as a QtDC draws it: 0 for a null pen, at least
  /// one pixel otherwise.
  double PenWidthPixels() const;
  /// True when the selected pen is geometric (PS_GEOMETRIC).
  bool PenIsGeometric() const;
  /// Dash and gap lengths of the selected pen in metafile units, empty for a solid line: a
  /// geometric pen's pattern scaled by its width at any width, a cosmetic pen's fixed pattern
  /// only while it is one pixel wide.
  std::vector<double> PenDashes() const;

  /// The selected font as the metafile stores it: heights and widths in metafile units, the
  /// escapement as the baseline appears after the world transform and the mapping.
  LOGFONT FileFont() const;
  /// Advance of each UTF-16 code unit of `text` in metafile units (0 after the first unit of
  /// a surrogate pair), measured with the selected font; and the whole advance.
  std::vector<double> TextAdvances(const std::u16string& text, double* total) const;
  /// The four corners of the cell of `text` drawn at `at` with the current alignment, in
  /// metafile units.
  std::vector<PointF> TextBox(POINT at, std::string_view text) const;

  /// The selected font as a writer stores it: FileFont, with the face a QtDC falls back to
  /// for its pitch and family when it names none.
  LOGFONT FontToWrite() const;

  /// How a writer puts each text mode in its file.
  struct TextModeRecords {
    std::function<void(COLORREF)> text_color;
    std::function<void(COLORREF)> bk_color;
    std::function<void(int)> bk_mode;
    std::function<void(std::uint32_t)> align;
  };
  /// Writes through `write` each text mode (text colour, background colour, background mode,
  /// alignment without TA_UPDATECP) that differs from the one written last.
  void WriteChangedTextModes(const TextModeRecords& write);
  /// Forgets the text modes written, so that the next WriteChangedTextModes writes them all.
  void ForgetTextModes();

  /// Widens the drawn bounds by the points, each with `margin` metafile units around it.
  void IncludeInBounds(const std::vector<PointF>& points, double margin);

  /// Cubic Bézier curves (a start point, then two controls and an end per curve) as a
  /// polyline that strays at most `tolerance` from them.
  static std::vector<PointF> FlattenBeziers(const std::vector<PointF>& points, double tolerance);

  /// Region rectangles from logical units to metafile units.
  std::vector<RECT> RegionToFile(const Region& logical) const;
  /// Region rectangles from device pixels to metafile units.
  std::vector<RECT> DeviceRegionToFile(const Region& device) const;
  /// The frame of `region` `size` logical units thick inside its edges, as the desktop's
  /// FrameRgn draws it, in device pixels.
  Region FrameOf(const Region& logical, SIZE size) const;

 private:
  struct Saved {
    int mode;
    XFORM world;
  };
  static bool Invertible(const XFORM& x);

  double units_per_pixel_;
  int graphics_mode_ = GM_COMPATIBLE;
  XFORM world_;
  std::vector<Saved> saved_;
  std::optional<COLORREF> written_text_color_, written_bk_color_;
  std::optional<int> written_bk_mode_;
  std::optional<std::uint32_t> written_align_;
  bool has_bounds_ = false;
  double min_x_ = 0, min_y_ = 0, max_x_ = 0, max_y_ = 0;
};

/// `text` (UTF-8) in UTF-16; invalid bytes become U+FFFD.
TESSMOR_PLATFORM_EXPORT std::u16string Utf8ToUtf16(std::string_view text);
/// `text` (UTF-16) in UTF-8.
TESSMOR_PLATFORM_EXPORT std::string Utf16ToUtf8(std::u16string_view text);

/// Nearest integer of `v`, halves upwards, clamped to [lo, hi]; NaN gives 0.
TESSMOR_PLATFORM_EXPORT std::int32_t RoundClamped(double v, std::int32_t lo, std::int32_t hi);

}  // namespace tessmor
