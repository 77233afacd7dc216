#include "chart/items/VexaPolyFill.h"

#include "chart/styles/FillStyle.h"
#include "platform/gdi/DC.h"

CVEXAPolyFill::CVEXAPolyFill(CFillStyle* style, PaperPoint first, std::uint8_t category)
    : CVEXALine(style, first, category) {
  SetStyles(style, style);
}

bool CVEXAPolyFill::Draw(tessmor::DC& dc) const {
  const std::vector<tessmor::POINT> points = DevicePoints();
  if (points.empty()) return false;
  if (points.size() == 1) {
    const tessmor::POINT two[2] = {points[0], points[0]};
    return dc.Polygon(two, 2);
  }
  return dc.Polygon(points.data(), static_cast<int>(points.size()));
}

void CVEXAPolyFill::BuildRegion(const tessmor::POINT* points, int count, int /*halfWidth*/) {
  m_fillRegion.Init();
  m_fillRegion.TakeRegion(m_region.GetRegion());
  m_fillRegion.BuildFromPolygon(points, count);
}

std::int64_t CVEXAPolyFill::OwnRegionRectangles(const CItemRegion::Extent& stroke,
                                                const tessmor::POINT* points, int count) const {
  const CItemRegion::Extent area = CItemRegion::PolygonExtent(points, count);
  return stroke.rectangles + CItemRegion::UnionExtent(stroke, area).rectangles;
}

bool CVEXAPolyFill::HitTest(std::int32_t x, std::int32_t y) const {
  if (!MayHit(x, y)) return false;
  EnsureRegion();
  return m_fillRegion.HitTest(x, y, 0, 0);
}
