#include "chart/LineStyle.h"

#include <algorithm>
#include <cmath>

#include "chart/Mapper.h"
#include "chart/TextStyle.h"
#include "platform/Archive.h"
#include "platform/DC.h"

namespace {

constexpr float kDefaultWidth = 0.2f;
constexpr float kMaxWidth = 50.0f;
// Wider logical pens than this are held at it (a 50 mm pen at more than 2000 times zoom).
constexpr double kMaxLogicalWidth = 1 << 24;

bool IsPenStyle(std::int32_t style) {
  return (style >= kPenSolid && style <= kPenInsideFrame) ||
         (style >= kPenFirstPattern && style <= kPenLastPattern);
}

}  // namespace

CLineStyle::CLineStyle()
    : m_pen{kPenSolid, kDefaultWidth, 0, 0xFFFFFF, kBkOpaque, 0, 0}, m_pMapper(nullptr) {}

CLineStyle::CLineStyle(const VEXAPEN* pen, CMapper* mapper) : m_pMapper(mapper) {
  CheckPenStyle(pen, &m_pen);
}

CLineStyle::~CLineStyle() = default;

int CLineStyle::SetPen(const VEXAPEN* pen) { return CheckPenStyle(pen, &m_pen); }

int CLineStyle::SetPenStyle(std::int32_t style) {
  if (!IsPenStyle(style)) return 0;
  m_pen.style = style;
  return 1;
}

void CLineStyle::SetWidth(float mm) {
  if (std::isnan(mm) || mm < 0.0f) {
    m_pen.width = kDefaultWidth;
  } else {
    m_pen.width = std::min(mm, kMaxWidth);
  }
}

bool CLineStyle::ComparePen(const VEXAPEN& pen) const {
  return m_pen.style == pen.style && m_pen.width == pen.width && m_pen.colour == pen.colour &&
         m_pen.background == pen.background && m_pen.bkMode == pen.bkMode &&
         m_pen.roundEnds == pen.roundEnds && m_pen.spline == pen.spline;
}

tessmor::SIZE CLineStyle::GetLogicalPenWidth() const {
  // The product is formed in single precision, as the mapper's own factors are.
  const float units = m_pMapper ? m_pMapper->GetUnitsPerMm() : kUnitsPerMmWithoutMapper;
  const float zoom = m_pMapper ? m_pMapper->GetZoom() : 1.0f;
  const float product = units * zoom * m_pen.width;
  double w = std::trunc(static_cast<double>(product) + 0.5);
  if (!(w >= 1.0)) w = 1.0;
  w = std::min(w, kMaxLogicalWidth);
  const auto width = static_cast<std::int32_t>(w);
  return tessmor::SIZE{width, width};
}

tessmor::Pen CLineStyle::CreatePen() const {
  std::uint32_t style = tessmor::PS_GEOMETRIC;
  style |= m_pen.roundEnds ? (tessmor::PS_ENDCAP_ROUND | tessmor::PS_JOIN_ROUND)
                           : (tessmor::PS_ENDCAP_FLAT | tessmor::PS_JOIN_MITER);
  style |= m_pen.style == kPenNull ? tessmor::PS_NULL : tessmor::PS_SOLID;
  return tessmor::Pen{style, GetLogicalPenWidth().cx, m_pen.colour};
}

StyleSelection CLineStyle::Select(tessmor::DC& dc) const {
  StyleSelection previous;
  previous.brush = dc.GetBrush();
  previous.pen = dc.SelectPen(CreatePen());
  previous.bkMode = dc.SetBkMode(m_pen.bkMode);
  if (previous.bkMode == 0) previous.bkMode = dc.GetBkMode();
  previous.bkColor = dc.SetBkColor(m_pen.background);
  return previous;
}

void CLineStyle::Deselect(tessmor::DC& dc, const StyleSelection& previous) {
  dc.SelectPen(previous.pen);
  dc.SelectBrush(previous.brush);
  dc.SetBkMode(previous.bkMode);
  dc.SetBkColor(previous.bkColor);
}

bool CLineStyle::IsEmpty() const { return m_lines.empty() && m_arcs.empty(); }

void CLineStyle::StorePen(tessmor::Archive& ar, const VEXAPEN& pen) {
  ar.WriteI32(pen.style);
  ar.WriteFloat(pen.width);
  ar.WriteU32(pen.colour);
  ar.WriteU32(pen.background);
  ar.WriteI32(pen.bkMode);
  ar.WriteI32(pen.roundEnds);
  ar.WriteI32(pen.spline);
}

VEXAPEN CLineStyle::LoadPen(tessmor::Archive& ar) {
  VEXAPEN pen;
  pen.style = ar.ReadI32();
  pen.width = ar.ReadFloat();
  pen.colour = ar.ReadU32();
  pen.background = ar.ReadU32();
  pen.bkMode = ar.ReadI32();
  pen.roundEnds = ar.ReadI32();
  pen.spline = ar.ReadI32();
  return pen;
}

void CLineStyle::RequireNoItems(std::uint32_t count) {
  // Items are stored in their own forms, which only the item classes can follow.
  if (count != 0) throw tessmor::ArchiveException();
}

void CLineStyle::Serialize(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    StorePen(ar, m_pen);
    ar.WriteU16(static_cast<std::uint16_t>(m_lines.size()));
    ar.WriteU16(static_cast<std::uint16_t>(m_arcs.size()));
    return;
  }
  const VEXAPEN pen = LoadPen(ar);
  RequireNoItems(ar.ReadU16());
  RequireNoItems(ar.ReadU16());
  CheckPenStyle(&pen, &m_pen);
}
