#include "chart/items/VexaString.h"

#include <cmath>
#include <numbers>

#include "chart/items/VexaItem.h"
#include "chart/styles/CharStyle.h"
#include "platform/gdi/DC.h"
#include "platform/io/Archive.h"

CVEXAString::CVEXAString(CCharStyle* style, PaperPoint anchor, std::string_view text,
                         std::uint8_t category)
    : m_nCategory(category), m_pStyle(style), m_anchor(anchor) {
  SetText(text);
}

void CVEXAString::SetStyle(CCharStyle* style) {
  m_pStyle = style;
  ResetLayout();
}

void CVEXAString::SetAnchor(PaperPoint anchor) {
  m_anchor = anchor;
  ResetLayout();
}

void CVEXAString::ResetLayout() {
  m_region.Init();
  m_extent = tessmor::SIZE{};
  m_bLaidOut = 0;
  for (tessmor::POINT& p : m_linePos) p = tessmor::POINT{};
}

void CVEXAString::SetText(std::string_view text) {
  m_lines.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      m_lines.emplace_back(text.substr(start));
      break;
    }
    m_lines.emplace_back(text.substr(start, end - start));
    // "\r\n" is one line end; a lone "\r" or "\n" is one too.
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  m_lineOffset.assign(m_lines.size(), tessmor::POINT{});
  m_linePos.assign(m_lines.size(), tessmor::POINT{});
  ResetLayout();
}

int CVEXAString::GetText(std::string& out) const {
  out.clear();
  for (const std::string& line : m_lines) {
    out += line;
    out += "\r\n";
  }
  return GetLineCount();
}

tessmor::POINT CVEXAString::GetLinePos(int i) const {
  if (i < 0 || i >= GetLineCount()) return tessmor::POINT{};
  return m_linePos[static_cast<std::size_t>(i)];
}

void CVEXAString::Layout(tessmor::DC& dc) {
  ResetLayout();
  const CMapper* mapper = m_pStyle ? m_pStyle->GetMapper() : nullptr;
  if (!mapper || m_lines.empty()) return;

  const FontSelection previous = m_pStyle->Select(dc);
  const tessmor::TEXTMETRIC tm = dc.GetTextMetrics();
  const double line_height = static_cast<double>(tm.tmHeight) + tm.tmExternalLeading;
  const std::uint32_t align = dc.GetTextAlign();
  // The baseline turns counter-clockwise by the escapement (tenths of a degree); logical y
  // runs up the page.
  const double angle = m_pStyle->GetTextStyle().font.lfEscapement / 10.0 * std::numbers::pi / 180.0;
  const double c = std::cos(angle), s = std::sin(angle);

  tessmor::POINT origin = mapper->PaperToDevice(m_anchor);
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    if (i > 0) {
      // One line height down the page as the text runs.
      origin.x += vexa_item::Round(line_height * s);
      origin.y += vexa_item::Round(-line_height * c);
    }
    m_linePos[i] = origin;
    const tessmor::SIZE ext = dc.GetTextExtent(m_lines[i]);
    double u0 = 0, u1 = ext.cx;
    if ((align & tessmor::TA_CENTER) == tessmor::TA_CENTER) {
      u0 = -ext.cx / 2.0, u1 = ext.cx / 2.0;
    } else if (align & tessmor::TA_RIGHT) {
      u0 = -ext.cx, u1 = 0;
    }
    double v0 = -ext.cy, v1 = 0;  // the reference point at the cell's top
    if ((align & tessmor::TA_BASELINE) == tessmor::TA_BASELINE) {
      v0 = -tm.tmDescent, v1 = tm.tmAscent;
    } else if (align & tessmor::TA_BOTTOM) {
      v0 = 0, v1 = ext.cy;
    }
    const double us[4] = {u0, u1, u1, u0};
    const double vs[4] = {v0, v0, v1, v1};
    tessmor::POINT corners[4];
    for (int k = 0; k < 4; ++k) {
      corners[k] = tessmor::POINT{origin.x + vexa_item::Round(us[k] * c - vs[k] * s),
                                  origin.y + vexa_item::Round(us[k] * s + vs[k] * c)};
    }
    m_region.BuildFromPolygon(corners, 4);
  }
  CCharStyle::Deselect(dc, previous);
  dc.SetTextAlign(previous.textAlign);
  dc.SetTextColor(previous.textColor);

  const tessmor::RECT b = m_region.GetBounds();
  m_extent = tessmor::SIZE{b.right - b.left, b.bottom - b.top};
  m_bLaidOut = 1;
}

bool CVEXAString::Draw(tessmor::DC& dc) {
  if (m_lines.empty() || !m_pStyle) return false;
  if (!m_bLaidOut) {
    // Layout selects and puts back a font of its own; keep what the caller selected.
    const std::uint32_t align = dc.GetTextAlign();
    const tessmor::COLORREF colour = dc.GetTextColor();
    Layout(dc);
    dc.SetTextAlign(align);
    dc.SetTextColor(colour);
  }
  if (!m_bLaidOut) return false;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    dc.TextOut(m_linePos[i].x + m_lineOffset[i].x, m_linePos[i].y + m_lineOffset[i].y, m_lines[i]);
  }
  return true;
}

bool CVEXAString::HitTest(std::int32_t x, std::int32_t y) const {
  return m_bLaidOut && m_region.HitTest(x, y, 0, 0);
}

void CVEXAString::Serialize(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    ar.WriteU16(m_nCategory);
    ar.WriteU16(m_nGroup);
    ar.WriteFloat(m_anchor.x);
    ar.WriteFloat(m_anchor.y);
    std::string text;
    GetText(text);
    ar.WriteU32(static_cast<std::uint32_t>(text.size()));
    ar.WriteText(text);
    return;
  }
  vexa_item::RequireRoom(ar, 1, 2 + 2 + 8 + 4);
  const std::uint16_t category = ar.ReadU16();
  const std::uint16_t group = ar.ReadU16();
  PaperPoint anchor;
  anchor.x = ar.ReadFloat();
  anchor.y = ar.ReadFloat();
  const std::uint32_t length = ar.ReadU32();
  vexa_item::RequireRoom(ar, length, 1);
  std::string text(length, '\0');
  if (length > 0) ar.ReadBytes(text.data(), length);
  m_nCategory = static_cast<std::uint8_t>(category & 0xFF);
  m_nGroup = group;
  m_anchor = anchor;
  SetText(text);
}
