#include "chart/styles/LineStyle.h"

#include <algorithm>
#include <cmath>

#include "chart/items/VexaItem.h"
#include "chart/paper/Mapper.h"
#include "chart/styles/TextStyle.h"
#include "platform/gdi/DC.h"
#include "platform/io/Archive.h"

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

int CLineStyle::AddLine(std::unique_ptr<CVEXALine> line) {
  if (!line || line->GetPointCount() == 0) return 0;
  line->SetLineStyle(this);
  line->ComputeRegion();
  m_lines.push_back(std::move(line));
  return 1;
}

void CLineStyle::AddArc(std::unique_ptr<CVEXAArc> arc) {
  if (!arc) return;
  arc->SetLineStyle(this);
  arc->Recompute(false);
  m_arcs.push_back(std::move(arc));
}

namespace {

template <typename T>
std::unique_ptr<T> Take(std::vector<std::unique_ptr<T>>& items, const T* item) {
  for (auto it = items.begin(); it != items.end(); ++it) {
    if (it->get() == item) {
      std::unique_ptr<T> taken = std::move(*it);
      items.erase(it);
      return taken;
    }
  }
  return nullptr;
}

template <typename T>
int EraseTagged(std::vector<std::unique_ptr<T>>& items, int tag) {
  const auto before = items.size();
  std::erase_if(items, [tag](const std::unique_ptr<T>& item) {
    return tag == -1 || item->GetGroup() == tag;
  });
  return static_cast<int>(before - items.size());
}

}  // namespace

std::unique_ptr<CVEXALine> CLineStyle::RemoveLine(const CVEXALine* item) {
  return Take(m_lines, item);
}

std::unique_ptr<CVEXAArc> CLineStyle::RemoveArc(const CVEXAArc* item) { return Take(m_arcs, item); }

int CLineStyle::DeleteItems(int tag) {
  return EraseTagged(m_lines, tag) + EraseTagged(m_arcs, tag);
}

bool CLineStyle::Meets(const tessmor::RECT& bounds, const tessmor::RECT& clip) {
  const auto lo = [](std::int32_t a, std::int32_t b) { return std::min(a, b); };
  const auto hi = [](std::int32_t a, std::int32_t b) { return std::max(a, b); };
  return lo(bounds.left, bounds.right) <= hi(clip.left, clip.right) &&
         hi(bounds.left, bounds.right) >= lo(clip.left, clip.right) &&
         lo(bounds.top, bounds.bottom) <= hi(clip.top, clip.bottom) &&
         hi(bounds.top, bounds.bottom) >= lo(clip.top, clip.bottom);
}

void CLineStyle::DrawItems(tessmor::DC& dc, bool all) const {
  tessmor::RECT clip;
  dc.GetClipBox(clip);
  const StyleSelection previous = Select(dc);
  for (const auto& line : m_lines) {
    if (all || !line->m_bRegionValid || Meets(line->GetBounds(), clip)) line->Draw(dc);
  }
  for (const auto& arc : m_arcs) {
    if (all || !arc->m_bRegionValid || Meets(arc->GetBounds(), clip)) arc->Draw(dc);
  }
  Deselect(dc, previous);
}

void CLineStyle::StoreLineForm(tessmor::Archive& ar) const {
  StorePen(ar, m_pen);
  // The counts are 16 bits: items beyond them are left out so that the form stays readable.
  const std::size_t lines = std::min<std::size_t>(m_lines.size(), 0xFFFF);
  ar.WriteU16(static_cast<std::uint16_t>(lines));
  for (std::size_t i = 0; i < lines; ++i) m_lines[i]->CVEXALine::Serialize(ar);
  const std::size_t arcs = std::min<std::size_t>(m_arcs.size(), 0xFFFF);
  ar.WriteU16(static_cast<std::uint16_t>(arcs));
  for (std::size_t i = 0; i < arcs; ++i) m_arcs[i]->CVEXAArc::Serialize(ar);
}

void CLineStyle::LoadLineItems(tessmor::Archive& ar, std::vector<std::unique_ptr<CVEXALine>>& lines,
                               std::vector<std::unique_ptr<CVEXAArc>>& arcs) {
  const std::uint16_t line_count = ar.ReadU16();
  vexa_item::RequireRoom(ar, line_count, kStoredLineMinBytes);
  for (int i = 0; i < line_count; ++i) {
    auto line = std::make_unique<CVEXALine>();
    line->SetLineStyle(this);
    line->Serialize(ar);
    if (line->GetPointCount() > 0) lines.push_back(std::move(line));
  }
  const std::uint16_t arc_count = ar.ReadU16();
  vexa_item::RequireRoom(ar, arc_count, kStoredArcMinBytes);
  for (int i = 0; i < arc_count; ++i) {
    auto arc = std::make_unique<CVEXAArc>();
    arc->SetLineStyle(this);
    arc->Serialize(ar);
    arcs.push_back(std::move(arc));
  }
}

void CLineStyle::Serialize(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    StoreLineForm(ar);
    return;
  }
  // Everything is read before anything changes, so that a short read leaves the style whole.
  const VEXAPEN pen = LoadPen(ar);
  VEXAPEN checked;
  CheckPenStyle(&pen, &checked);
  const VEXAPEN kept = m_pen;
  // The items are read with the pen they will be drawn with, for their regions.
  m_pen = checked;
  std::vector<std::unique_ptr<CVEXALine>> lines;
  std::vector<std::unique_ptr<CVEXAArc>> arcs;
  try {
    LoadLineItems(ar, lines, arcs);
  } catch (...) {
    m_pen = kept;
    throw;
  }
  for (auto& line : lines) m_lines.push_back(std::move(line));
  for (auto& arc : arcs) m_arcs.push_back(std::move(arc));
}
