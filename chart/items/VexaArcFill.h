#pragma once

// Filled arc items of a chart: sectors and ellipses filled with a fill style's brush.

#include "chart/items/VexaArc.h"

class CFillStyle;

/// A filled sector (an open arc closed through its centre) or ellipse, owned by its fill
/// style; stored as an arc.
class CVEXAArcFill : public CVEXAArc {
 public:
  CVEXAArcFill() = default;
  /// Belongs to `style` (not owned; both style pointers), with `arc`, `arcStyle`, `category`.
  CVEXAArcFill(CFillStyle* style, const ARCREC& arc, std::int32_t arcStyle, std::uint8_t category);

  bool Draw(tessmor::DC& dc) const override { return CVEXAArc::Draw(dc, true); }
  /// The fill region is the area inside the sector or ellipse outline.
  void BuildRegion(const tessmor::POINT* points, int count, int halfWidth) override;
  /// True when logical point (x, y) lies on the outline or inside the filled area.
  bool HitTest(std::int32_t x, std::int32_t y) const override;
  /// The fill region, built now if it was not yet.
  const CItemRegion& GetFillRegion() const {
    EnsureRegion();
    return m_fillRegion;
  }

  /// As for an arc; the filled regions are always rebuilt at the end.
  void Serialize(tessmor::Archive& ar) override;

 protected:
  bool IsFilledItem() const override { return true; }
  /// The area inside the outline.
  std::int64_t OwnRegionRectangles(const CItemRegion::Extent& stroke, const tessmor::POINT* points,
                                   int count) const override;

 private:
  CItemRegion m_fillRegion;
};
