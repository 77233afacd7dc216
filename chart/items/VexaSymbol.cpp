#include "chart/items/VexaSymbol.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "chart/items/DashArc.h"
#include "chart/items/VexaItem.h"
#include "chart/styles/FillStyle.h"
#include "platform/gdi/DC.h"
#include "platform/io/Archive.h"

namespace {

// Millimetres per point (25.4 / 72).
constexpr double kMmPerPoint = 0.35277724;
// Largest symbol size drawn, tenths of a point (the largest a marker may have); a stored
// size above it is drawn at it.
constexpr std::uint32_t kMaxSymbolSize = 1000;
// Logical coordinates are held within the item regions' range.
constexpr double kCoordinateLimit = 134217728.0;

std::int32_t Clamp(std::int32_t v) {
  return static_cast<std::int32_t>(std::clamp<double>(v, -kCoordinateLimit, kCoordinateLimit));
}

VEXASYMBOL DefaultSymbol() {
  VEXASYMBOL s{};
  s.symbol = 5;
  s.size = 100;
  s.angle = 0;
  return s;
}

}  // namespace

CVEXASymbol::CVEXASymbol() : m_symbol(DefaultSymbol()) {}

CVEXASymbol::CVEXASymbol(CFillStyle* style, PaperPoint pos, const VEXASYMBOL& symbol)
    : m_pos(pos), m_symbol(symbol) {
  SetStyle(style);
  ComputeRegion();
}

void CVEXASymbol::SetStyle(CFillStyle* style) {
  m_pStyle = style;
  m_bHasStyle = style ? 1 : 0;
}

bool CVEXASymbol::SetSymbol(const VEXASYMBOL& symbol) {
  const bool size_changed = symbol.size != m_symbol.size;
  m_symbol = symbol;
  return size_changed;
}

const CMapper* CVEXASymbol::Mapper() const {
  return m_bHasStyle && m_pStyle ? m_pStyle->GetMapper() : nullptr;
}

tessmor::POINT CVEXASymbol::Centre() const {
  if (const CMapper* mapper = Mapper()) {
    const tessmor::POINT p = mapper->PaperToDevice(m_pos);
    return tessmor::POINT{Clamp(p.x), Clamp(p.y)};
  }
  return tessmor::POINT{vexa_item::Round(m_pos.x), vexa_item::Round(m_pos.y)};
}

bool CVEXASymbol::Draw(tessmor::DC& dc) const {
  const int type = m_symbol.symbol;
  if (type == 0 || type > 15) return false;
  int count = 0;
  VEXASYMBOL shape = m_symbol;
  // Members of the packed record are read by value: a reference to one may be misaligned.
  const std::uint32_t stored_size = shape.size;
  shape.size = std::min(stored_size, kMaxSymbolSize);
  const std::vector<tessmor::POINT> vertices = GetSymbolVertices(&shape, &count);
  count = std::min(count, static_cast<int>(vertices.size()));
  if (count <= 0) return false;

  // Vertices in hundredths of a point, turned by the symbol's angle, to logical units.
  const CMapper* mapper = Mapper();
  const tessmor::POINT centre = Centre();
  const double angle = m_symbol.angle / 10.0 * std::numbers::pi / 180.0;
  const double c = std::cos(angle), s = std::sin(angle);
  std::vector<tessmor::POINT> p(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double x = vertices[i].x * c - vertices[i].y * s;
    const double y = vertices[i].x * s + vertices[i].y * c;
    tessmor::POINT d;
    if (mapper) {
      const double k = mapper->GetScale() / 283.465;
      d = tessmor::POINT{vexa_item::Round(x * k), vexa_item::Round(y * k)};
    } else {
      d = tessmor::POINT{vexa_item::Round(x * kMmPerPoint), vexa_item::Round(y * kMmPerPoint)};
    }
    p[static_cast<std::size_t>(i)] = tessmor::POINT{centre.x + d.x, centre.y + d.y};
  }

  CDashArc r(&dc);
  if (m_pStyle) {
    const VEXAPEN& pen = m_pStyle->GetPen();
    r.SetPattern(pen.roundEnds != 0, m_pStyle->GetLogicalPenWidth().cx, pen.style);
  }
  const auto filled = [&](int first, int n) {
    if (first + n > count) return;
    dc.BeginPath();
    dc.Polygon(&p[static_cast<std::size_t>(first)], n);
    dc.EndPath();
    dc.FillPath();
    r.Polyline(&p[static_cast<std::size_t>(first)], n, true);
  };
  const auto segment = [&](int a, int b) {
    if (a >= count || b >= count) return;
    r.MoveTo(p[a].x, p[a].y);
    r.LineTo(p[b].x, p[b].y);
    r.EndPath(false);
  };
  const auto ellipse = [&](bool fill) {
    if (count < 4) return;
    const tessmor::RECT box{std::min(p[1].x, p[3].x), std::min(p[1].y, p[3].y),
                            std::max(p[1].x, p[3].x), std::max(p[1].y, p[3].y)};
    const tessmor::POINT mid{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    if (r.BuildArcInBox(box, mid, 0.0, 0.0, 360.0) > 0) r.DrawArc(fill);
  };
  switch (type) {
    case 7:
      ellipse(true);
      break;
    case 9:
      filled(0, 3);
      filled(3, 3);
      break;
    case 10:
    case 11:
      segment(0, 1);
      segment(2, 3);
      break;
    case 12:
      segment(0, 1);
      segment(2, 3);
      segment(4, 5);
      segment(6, 7);
      break;
    case 13:
      ellipse(false);
      segment(4, 5);
      segment(6, 7);
      break;
    case 14:
      r.Polyline(p.data(), std::min(count, 4), true);
      segment(3, 0);
      segment(0, 2);
      segment(1, 3);
      break;
    case 15:
      r.Polyline(p.data(), std::min(count, 4), true);
      segment(3, 0);
      segment(4, 5);
      segment(6, 7);
      break;
    default:  // 1-6 and 8
      filled(0, count);
      break;
  }
  r.EndPath(false);
  return true;
}

void CVEXASymbol::ComputeRegion() {
  m_region.Init();
  const double turn = std::fmod(std::fabs(m_symbol.angle / 10.0), 90.0) * std::numbers::pi / 180.0;
  const tessmor::POINT centre = Centre();
  const CMapper* mapper = Mapper();
  const std::uint32_t stored_size = m_symbol.size;  // by value: the record is packed
  const double size = std::min(stored_size, kMaxSymbolSize);
  const double length = mapper ? mapper->PointsToLogical(size * 0.1)
                               : std::floor(size * 0.1 * kMmPerPoint * 100.0 + 0.5);
  // The shapes reach 10/17 of the size from the centre; turned, the square grows.
  const double half = length * (10.0 / 17.0) * (std::cos(turn) + std::sin(turn));
  const std::int32_t h = std::max(vexa_item::Round(half), 1);
  m_region.AddRectangle(tessmor::RECT{centre.x - h, centre.y - h, centre.x + h, centre.y + h});
}

void CVEXASymbol::Serialize(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    ar.WriteU16(m_nGroup);
    ar.WriteU32(static_cast<std::uint32_t>(m_bHasStyle));
    ar.WriteFloat(m_pos.x);
    ar.WriteFloat(m_pos.y);
    ar.WriteU8(m_symbol.symbol);
    ar.WriteBytes(m_symbol.unused, sizeof m_symbol.unused);
    ar.WriteU32(m_symbol.size);
    ar.WriteI32(m_symbol.angle);
    return;
  }
  vexa_item::RequireRoom(ar, 1, 2 + 4 + 8 + 12);
  m_nGroup = ar.ReadU16();
  m_bHasStyle = ar.ReadU32() != 0 ? 1 : 0;
  m_pos.x = ar.ReadFloat();
  m_pos.y = ar.ReadFloat();
  m_symbol.symbol = ar.ReadU8();
  ar.ReadBytes(m_symbol.unused, sizeof m_symbol.unused);
  m_symbol.size = ar.ReadU32();
  m_symbol.angle = ar.ReadI32();
  ComputeRegion();
}
