#pragma once

#include <memory>
#include <vector>

#include "platform/PlatformExport.h"
#include "platform/gdi/GdiTypes.h"

namespace tessmor {

/// A region: a set of whole units (pixels) described by a list of non-overlapping rectangles,
/// as the desktop's regions are. The coordinates carry no unit of their own: a region given to
/// DC::FillRgn, FrameRgn or InvertRgn is read in the DC's logical units (and mapped to device
/// pixels rectangle by rectangle, as the desktop does), one given to DC::SelectClipRgn in device
/// pixels. A rectangle's right and bottom edges are exclusive.
///
/// Coordinates are kept within ±2^27 (larger ones are clamped) so that no size overflows.
class TESSMOR_PLATFORM_EXPORT Region {
 public:
  /// The empty region.
  Region();
  /// The rectangle's region (normalised: left/right and top/bottom may come in either order;
  /// empty when it has no width or no height).
  explicit Region(const RECT& rect);
  ~Region();
  Region(const Region& other);
  Region& operator=(const Region& other);
  Region(Region&& other) noexcept;
  Region& operator=(Region&& other) noexcept;

  /// The region of the rectangle (left, top, right, bottom), normalised.
  static Region FromRect(std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom);
  /// The region inside the closed polygon through `count` points, filled with `fill_mode`
  /// (ALTERNATE: even-odd, WINDING: non-zero winding); a unit square belongs to it when its
  /// centre lies inside (a centre on a left edge counts as inside, on a right edge as outside).
  /// Fewer than three points, a null array, an unknown mode, or a polygon more than 2^20 units
  /// high (or of more than 2^22 rectangles) give the empty region.
  static Region FromPolygon(const POINT* points, int count, int fill_mode);
  /// The union of the rectangles.
  static Region FromRects(const std::vector<RECT>& rects);

  /// NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
  int Kind() const;
  bool IsEmpty() const;
  /// The bounding rectangle; all zero for the empty region.
  RECT GetBox() const;
  /// The rectangles, sorted by top then left; none for the empty region.
  std::vector<RECT> GetRects() const;
  /// True when the unit square at (x, y) belongs to the region.
  bool Contains(std::int32_t x, std::int32_t y) const;
  /// True when any part of the rectangle (normalised) belongs to the region.
  bool Intersects(const RECT& rect) const;

  /// Moves the region by (dx, dy).
  void Offset(std::int32_t dx, std::int32_t dy);
  /// This region becomes `a` combined with `b` by `mode` (RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF:
  /// a minus b, RGN_COPY: a). Returns the new kind, or RGN_ERROR (region unchanged) for an
  /// unknown mode. `a` or `b` may be this region itself.
  int Combine(const Region& a, const Region& b, int mode);

  Region United(const Region& other) const;
  Region Intersected(const Region& other) const;
  Region Subtracted(const Region& other) const;
  Region Xored(const Region& other) const;

  friend TESSMOR_PLATFORM_EXPORT bool operator==(const Region& a, const Region& b);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tessmor
