#pragma once

// Filled polygon items of a chart: a polyline closed and filled with a fill style's brush.

#include "chart/items/VexaLine.h"

class CFillStyle;

/// A filled polygon on the paper, owned by its fill style; stored as a polyline.
class CVEXAPolyFill : public CVEXALine {
 public:
  CVEXAPolyFill() = default;
  /// Belongs to `style` (not owned; both its style pointers), starts at `first`.
  CVEXAPolyFill(CFillStyle* style, PaperPoint first, std::uint8_t category);

  /// Draws the vertices as one polygon with the pen and brush the fill style has selected.
  bool Draw(tessmor::DC& dc) const override;
  /// The fill region is the outline's widened band united with the polygon's area.
  void BuildRegion(const tessmor::POINT* points, int count, int halfWidth) override;
  /// True when logical point (x, y) lies on the outline or inside the polygon.
  bool HitTest(std::int32_t x, std::int32_t y) const override;
  /// The fill region, built now if it was not yet.
  const CItemRegion& GetFillRegion() const {
    EnsureRegion();
    return m_fillRegion;
  }

 protected:
  /// The stroke's region taken over, then united with the polygon's area.
  std::int64_t OwnRegionRectangles(const CItemRegion::Extent& stroke, const tessmor::POINT* points,
                                   int count) const override;

 private:
  CItemRegion m_fillRegion;
};
