#include "chart/items/VexaLine.h"

#include <algorithm>

#include "chart/items/DashArc.h"
#include "chart/items/VexaItem.h"
#include "chart/paper/Mapper.h"
#include "chart/styles/LineStyle.h"
#include "platform/gdi/DC.h"
#include "platform/io/Archive.h"

CVEXALine::CVEXALine(CLineStyle* style, PaperPoint first, std::uint8_t category) {
  SetLineStyle(style);
  SetCategory(category);
  m_coords.SetFirst(first, false);
}

void CVEXALine::AddPoint(PaperPoint p) {
  if (m_coords.IsEmpty()) {
    m_coords.Add(p);
    return;
  }
  const PaperPoint first = m_coords.GetAt(0);
  m_coords.Add(PaperPoint{p.x - first.x, p.y - first.y});
}

void CVEXALine::Offset(float dx, float dy) {
  if (m_coords.IsEmpty()) return;
  // Later vertices are offsets from the first: moving the first moves them all.
  PaperPoint& first = m_coords.ElementAt(0);
  first.x += dx;
  first.y += dy;
  ComputeRegion();
}

void CVEXALine::RemoveAllPoints() {
  m_coords.RemoveAll();
  m_coords.FreeExtra();
  m_region.Init();
  m_regionPoints = {};
  m_bRegionPending = false;
  m_bounds = m_hitBox = tessmor::RECT{};
  m_bRegionValid = 0;
}

PaperPoint CVEXALine::GetPoint(int i) const {
  const PaperPoint p = m_coords.GetAt(i);
  if (i == 0) return p;
  const PaperPoint first = m_coords.GetAt(0);
  return PaperPoint{first.x + p.x, first.y + p.y};
}

const CMapper* CVEXALine::Mapper() const {
  return m_pLineStyle ? m_pLineStyle->GetMapper() : nullptr;
}

std::vector<tessmor::POINT> CVEXALine::DevicePoints() const {
  std::vector<tessmor::POINT> points;
  const CMapper* mapper = Mapper();
  if (!mapper) return points;
  points.reserve(static_cast<std::size_t>(m_coords.GetSize()));
  for (int i = 0; i < m_coords.GetSize(); ++i) points.push_back(mapper->PaperToDevice(GetPoint(i)));
  return points;
}

bool CVEXALine::Draw(tessmor::DC& dc) const {
  const std::vector<tessmor::POINT> points = DevicePoints();
  if (points.empty()) return false;
  const VEXAPEN& pen = m_pLineStyle->GetPen();
  const int width = m_pLineStyle->GetLogicalPenWidth().cx;
  const int count = static_cast<int>(points.size());
  if (pen.spline != 0 && count >= 4) {
    CDashArc spline(&dc);
    spline.SetPattern(pen.roundEnds != 0, width, pen.style);
    spline.BuildSpline(points.data(), count);
    spline.DrawCurve();
    return true;
  }
  if (pen.style != kPenSolid && pen.style != kPenNull) {
    CDashLine dashed(&dc);
    dashed.SetPattern(pen.roundEnds != 0, width, pen.style);
    dashed.Polyline(points.data(), count, false);
    return true;
  }
  if (count == 1) {
    // A lone vertex: a segment of no length, which round or square pens show as a dot.
    const tessmor::POINT two[2] = {points[0], points[0]};
    return dc.Polyline(two, 2);
  }
  return dc.Polyline(points.data(), count);
}

void CVEXALine::ComputeRegion() {
  std::vector<tessmor::POINT> points = DevicePoints();
  m_region.Init();
  m_regionPoints = {};
  m_bRegionPending = false;
  m_bounds = m_hitBox = tessmor::RECT{};
  m_bRegionValid = 0;
  if (points.empty()) return;
  const int half = vexa_item::HitHalfWidth(*Mapper(), m_pLineStyle->GetLogicalPenWidth().cx);
  const int count = static_cast<int>(points.size());
  const CItemRegion::Extent stroke = CItemRegion::PolylineExtent(points.data(), count, half);
  m_bounds = stroke.bounds;
  m_hitBox = vexa_item::Enclose(m_bounds, points);
  const std::int64_t rectangles =
      stroke.rectangles + OwnRegionRectangles(stroke, points.data(), count);
  m_regionPoints = std::move(points);
  m_nRegionHalfWidth = half;
  m_bRegionPending = true;
  m_bRegionValid = 1;
  CItemRegion::Reserve(rectangles);
}

void CVEXALine::EnsureRegion() const {
  if (!m_bRegionPending) return;
  // Building fills in the regions ComputeRegion prepared; what the item draws and stores
  // stays as it is.
  CVEXALine& self = const_cast<CVEXALine&>(*this);
  const int count = static_cast<int>(m_regionPoints.size());
  self.m_region.BuildFromPolyline(m_regionPoints.data(), count, m_nRegionHalfWidth);
  self.BuildRegion(m_regionPoints.data(), count, m_nRegionHalfWidth);
  m_bRegionPending = false;
  m_regionPoints = {};
}

bool CVEXALine::MayHit(std::int32_t x, std::int32_t y) const {
  return m_bRegionValid && x >= m_hitBox.left && x < m_hitBox.right && y >= m_hitBox.top &&
         y < m_hitBox.bottom;
}

bool CVEXALine::HitTest(std::int32_t x, std::int32_t y) const {
  if (!MayHit(x, y)) return false;
  EnsureRegion();
  return m_region.HitTest(x, y, 0, 0);
}

void CVEXALine::Serialize(tessmor::Archive& ar) {
  CStroke::Serialize(ar);
  m_coords.Serialize(ar);
  if (!ar.IsStoring()) ComputeRegion();
}
