#include "chart/items/VexaArc.h"

#include <algorithm>
#include <cmath>

#include "chart/items/DashArc.h"
#include "chart/items/VexaItem.h"
#include "chart/styles/FillStyle.h"
#include "chart/styles/LineStyle.h"
#include "platform/gdi/DC.h"
#include "platform/io/Archive.h"

namespace {

// Points taken on each Bézier segment (of at most 90 degrees) when the curve is flattened.
constexpr int kStepsPerSegment = 8;

tessmor::POINT BezierPoint(const tessmor::POINT* p, double t) {
  const double u = 1.0 - t;
  const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
  return tessmor::POINT{vexa_item::Round(a * p[0].x + b * p[1].x + c * p[2].x + d * p[3].x),
                        vexa_item::Round(a * p[0].y + b * p[1].y + c * p[2].y + d * p[3].y)};
}

}  // namespace

CVEXAArc::CVEXAArc() : m_pDashArc(std::make_unique<CDashArc>(nullptr)) {}

CVEXAArc::CVEXAArc(CLineStyle* style, const ARCREC& arc, std::int32_t arcStyle,
                   std::uint8_t category)
    : m_pDashArc(std::make_unique<CDashArc>(nullptr)), m_arc(arc), m_nArcStyle(arcStyle) {
  SetLineStyle(style);
  SetCategory(category);
  Recompute(false);
}

CVEXAArc::~CVEXAArc() = default;

void CVEXAArc::SetArc(const ARCREC& arc) {
  m_arc = arc;
  Recompute(IsFilledItem());
}

bool CVEXAArc::IsFullEllipse() const { return m_pDashArc->IsClosed(); }

void CVEXAArc::Recompute(bool fill) {
  m_region.Init();
  m_outline.clear();
  m_bRegionPending = false;
  m_bounds = m_hitBox = tessmor::RECT{};
  m_bRegionValid = 0;
  const CMapper* mapper = m_pLineStyle ? m_pLineStyle->GetMapper() : nullptr;
  m_pDashArc = std::make_unique<CDashArc>(nullptr);
  if (!mapper) return;
  const VEXAPEN& pen = m_pLineStyle->GetPen();
  const int width = m_pLineStyle->GetLogicalPenWidth().cx;
  m_pDashArc->SetPattern(pen.roundEnds != 0, width, pen.style);

  const tessmor::POINT centre = mapper->PaperToDevice({m_arc.cx, m_arc.cy});
  const tessmor::POINT a = mapper->PaperToDevice({m_arc.cx + m_arc.left, m_arc.cy + m_arc.bottom});
  const tessmor::POINT b = mapper->PaperToDevice({m_arc.cx + m_arc.right, m_arc.cy + m_arc.top});
  const tessmor::RECT box{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
                          std::max(a.y, b.y)};
  // The stored rotation turns clockwise; the renderer's angles run counter-clockwise.
  const int built = m_pDashArc->BuildArcInBox(box, centre, 360.0 - m_arc.rotation / 100.0,
                                              m_arc.start / 100.0, m_arc.end / 100.0);
  if (built < 4) return;
  m_pDashArc->SetPie(fill || m_nArcStyle != 0);

  const std::vector<tessmor::POINT>& control = m_pDashArc->GetPoints();
  m_outline.push_back(control[0]);
  for (std::size_t i = 0; i + 3 < control.size(); i += 3) {
    for (int s = 1; s <= kStepsPerSegment; ++s) {
      m_outline.push_back(BezierPoint(&control[i], static_cast<double>(s) / kStepsPerSegment));
    }
  }
  const bool sector = (fill || m_nArcStyle != 0) && !m_pDashArc->IsClosed();
  if (sector) {
    m_outline.push_back(centre);
    m_outline.push_back(control[0]);
  }
  const int half = vexa_item::HitHalfWidth(*mapper, width);
  const int count = static_cast<int>(m_outline.size());
  const CItemRegion::Extent stroke = CItemRegion::PolylineExtent(m_outline.data(), count, half);
  m_bounds = stroke.bounds;
  m_hitBox = vexa_item::Enclose(m_bounds, m_outline);
  m_nRegionHalfWidth = half;
  m_bFillPending = fill;
  m_bRegionPending = true;
  m_bRegionValid = 1;
  CItemRegion::Reserve(stroke.rectangles +
                       (fill ? OwnRegionRectangles(stroke, m_outline.data(), count) : 0));
}

void CVEXAArc::EnsureRegion() const {
  if (!m_bRegionPending) return;
  // Building fills in the regions Recompute prepared; what the item draws and stores stays
  // as it is.
  CVEXAArc& self = const_cast<CVEXAArc&>(*this);
  const int count = static_cast<int>(m_outline.size());
  self.m_region.BuildFromPolyline(m_outline.data(), count, m_nRegionHalfWidth);
  if (m_bFillPending) self.BuildRegion(m_outline.data(), count, m_nRegionHalfWidth);
  m_bRegionPending = false;
}

bool CVEXAArc::MayHit(std::int32_t x, std::int32_t y) const {
  return m_bRegionValid && x >= m_hitBox.left && x < m_hitBox.right && y >= m_hitBox.top &&
         y < m_hitBox.bottom;
}

bool CVEXAArc::Draw(tessmor::DC& dc, bool fill) const {
  if (!m_bRegionValid || !m_pLineStyle) return false;
  const VEXAPEN& pen = m_pLineStyle->GetPen();
  const int width = m_pLineStyle->GetLogicalPenWidth().cx;
  const tessmor::Pen old_pen =
      dc.SelectPen(CDashLine::MakeGeometricPen(pen.colour, width, pen.roundEnds != 0, pen.style));
  const int old_mode = dc.GetBkMode();
  dc.SetBkMode(pen.bkMode);
  const tessmor::COLORREF old_colour = dc.SetBkColor(pen.background);
  m_pDashArc->SetDC(&dc);
  m_pDashArc->DrawArc(fill);
  m_pDashArc->SetDC(nullptr);
  dc.SetBkColor(old_colour);
  dc.SetBkMode(old_mode);
  dc.SelectPen(old_pen);
  return true;
}

bool CVEXAArc::HitTest(std::int32_t x, std::int32_t y) const {
  if (!MayHit(x, y)) return false;
  EnsureRegion();
  return m_region.HitTest(x, y, 0, 0);
}

void CVEXAArc::Serialize(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    CStroke::Serialize(ar);
    ar.WriteI32(m_nArcStyle);
    ar.WriteFloat(m_arc.left);
    ar.WriteFloat(m_arc.bottom);
    ar.WriteFloat(m_arc.right);
    ar.WriteFloat(m_arc.top);
    ar.WriteFloat(m_arc.cx);
    ar.WriteFloat(m_arc.cy);
    ar.WriteI32(m_arc.start);
    ar.WriteI32(m_arc.end);
    ar.WriteI32(m_arc.rotation);
    return;
  }
  vexa_item::RequireRoom(ar, 1, 4 + 4 + 36);
  CStroke::Serialize(ar);
  m_nArcStyle = ar.ReadI32();
  ARCREC arc;
  arc.left = ar.ReadFloat();
  arc.bottom = ar.ReadFloat();
  arc.right = ar.ReadFloat();
  arc.top = ar.ReadFloat();
  arc.cx = ar.ReadFloat();
  arc.cy = ar.ReadFloat();
  arc.start = ar.ReadI32();
  arc.end = ar.ReadI32();
  arc.rotation = ar.ReadI32();
  m_arc = arc;
  Recompute(false);
}
