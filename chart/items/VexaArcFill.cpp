#include "chart/items/VexaArcFill.h"

#include "chart/styles/FillStyle.h"
#include "platform/io/Archive.h"

CVEXAArcFill::CVEXAArcFill(CFillStyle* style, const ARCREC& arc, std::int32_t arcStyle,
                           std::uint8_t category)
    : CVEXAArc(nullptr, arc, arcStyle, category) {
  SetStyles(style, style);
  Recompute(true);
}

void CVEXAArcFill::BuildRegion(const tessmor::POINT* points, int count, int /*halfWidth*/) {
  m_fillRegion.Init();
  m_fillRegion.BuildFromPolygon(points, count);
}

std::int64_t CVEXAArcFill::OwnRegionRectangles(const CItemRegion::Extent& /*stroke*/,
                                               const tessmor::POINT* points, int count) const {
  return CItemRegion::PolygonExtent(points, count).rectangles;
}

bool CVEXAArcFill::HitTest(std::int32_t x, std::int32_t y) const {
  if (!MayHit(x, y)) return false;
  EnsureRegion();
  return m_fillRegion.HitTest(x, y, 0, 0) || m_region.HitTest(x, y, 0, 0);
}

void CVEXAArcFill::Serialize(tessmor::Archive& ar) {
  CVEXAArc::Serialize(ar);
  if (!ar.IsStoring()) Recompute(true);
}
