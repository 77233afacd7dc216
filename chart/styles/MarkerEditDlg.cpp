#include "chart/styles/MarkerEditDlg.h"

#include <cmath>
#include <iterator>

namespace {

constexpr float kMaxWidthMm = 50.0f;
constexpr float kMaxColour = 16777215.0f;

int KindIndex(std::int16_t kind) {
  for (int i = 0; i < static_cast<int>(std::size(CMarkerEditDlg::kBrushKinds)); ++i)
    if (CMarkerEditDlg::kBrushKinds[i] == kind) return i;
  return -1;
}

}  // namespace

CMarkerEditDlg::CMarkerEditDlg(const VEXAMARKER& marker) : m_marker(marker) {
  CheckMarkerStyle(&m_marker, &m_marker);
}

bool CMarkerEditDlg::DoDataExchange(bool save) {
  int symbol = m_marker.symbol;
  int size = static_cast<int>(m_marker.size);
  int angle = m_marker.angle;
  int penColour = static_cast<int>(m_marker.pen.colour);
  const float shownWidth = mmToPts(m_marker.pen.width);
  float width = shownWidth;
  int kind = KindIndex(m_marker.brush.kind);
  int brushColour = static_cast<int>(m_marker.brush.colour & 0xFFFFFF);
  int hatch = m_marker.brush.hatch >= 0 && m_marker.brush.hatch <= 5 ? m_marker.brush.hatch : 0;

  ExchangeRadio(IDC_SYMBOL, symbol, save);
  if (!ExchangeInt(IDC_SIZE, size, save)) return false;
  if (!CheckRange(IDC_SIZE, static_cast<float>(size), 1.0f, 1000.0f, save)) return false;
  if (!ExchangeInt(IDC_ANGLE, angle, save)) return false;
  if (!CheckRange(IDC_ANGLE, static_cast<float>(angle), -360.0f, 360.0f, save)) return false;
  if (!ExchangeInt(IDC_PEN_COLOUR, penColour, save)) return false;
  if (!CheckRange(IDC_PEN_COLOUR, static_cast<float>(penColour), 0.0f, kMaxColour, save))
    return false;
  if (!ExchangeFloat(IDC_PEN_WIDTH, width, save)) return false;
  if (!CheckRange(IDC_PEN_WIDTH, width, 0.0f, mmToPts(kMaxWidthMm), save)) return false;
  ExchangeRadio(IDC_BRUSH_KIND, kind, save);
  if (!ExchangeInt(IDC_BRUSH_COLOUR, brushColour, save)) return false;
  if (!CheckRange(IDC_BRUSH_COLOUR, static_cast<float>(brushColour), 0.0f, kMaxColour, save))
    return false;
  if (!ExchangeInt(IDC_HATCH, hatch, save)) return false;
  if (!CheckRange(IDC_HATCH, static_cast<float>(hatch), 0.0f, 5.0f, save)) return false;
  if (!save) return true;

  if (symbol >= 0 && symbol <= 15) m_marker.symbol = static_cast<std::uint8_t>(symbol);
  m_marker.size = static_cast<std::uint32_t>(size);
  m_marker.angle = angle;
  m_marker.pen.colour = static_cast<std::uint32_t>(penColour);
  if (width != shownWidth) m_marker.pen.width = std::fmin(PtsTomm(width), kMaxWidthMm);
  if (kind >= 0 && kind < static_cast<int>(std::size(kBrushKinds))) {
    m_marker.brush.kind = kBrushKinds[kind];
    // A chosen kind draws in the brush colour, not from a pattern bitmap.
    m_marker.brush.bitmap = -1;
  }
  m_marker.brush.colour = static_cast<std::uint32_t>(brushColour);
  m_marker.brush.hatch = hatch;
  CheckMarkerStyle(&m_marker, &m_marker);
  return true;
}
