#include "chart/styles/PenEditDlg.h"

#include <cmath>
#include <iterator>

namespace {

constexpr float kMaxWidthMm = 50.0f;

int StyleIndex(std::int32_t style) {
  for (int i = 0; i < static_cast<int>(std::size(CPenEditDlg::kStyles)); ++i)
    if (CPenEditDlg::kStyles[i] == style) return i;
  return -1;
}

}  // namespace

CPenEditDlg::CPenEditDlg(const VEXAPEN& pen) : m_pen(pen) { CheckPenStyle(&m_pen, &m_pen); }

bool CPenEditDlg::DoDataExchange(bool save) {
  int style = StyleIndex(m_pen.style);
  const float shownWidth = mmToPts(m_pen.width);
  float width = shownWidth;
  int colour = static_cast<int>(m_pen.colour);
  int background = static_cast<int>(m_pen.background);
  int bkMode = m_pen.bkMode == kBkOpaque ? 1 : 0;
  int roundEnds = m_pen.roundEnds ? 1 : 0;
  int spline = m_pen.spline ? 1 : 0;

  ExchangeRadio(IDC_STYLE, style, save);
  if (!ExchangeFloat(IDC_WIDTH, width, save)) return false;
  if (!CheckRange(IDC_WIDTH, width, 0.0f, mmToPts(kMaxWidthMm), save)) return false;
  if (!ExchangeInt(IDC_COLOUR, colour, save)) return false;
  if (!CheckRange(IDC_COLOUR, static_cast<float>(colour), 0.0f, 16777215.0f, save)) return false;
  if (!ExchangeInt(IDC_BACKGROUND, background, save)) return false;
  if (!CheckRange(IDC_BACKGROUND, static_cast<float>(background), 0.0f, 16777215.0f, save))
    return false;
  ExchangeRadio(IDC_BKMODE, bkMode, save);
  ExchangeRadio(IDC_ROUNDENDS, roundEnds, save);
  ExchangeRadio(IDC_SPLINE, spline, save);
  if (!save) return true;

  if (style >= 0 && style < static_cast<int>(std::size(kStyles))) m_pen.style = kStyles[style];
  // The width goes through points and back only when the user changed it.
  if (width != shownWidth) m_pen.width = std::fmin(PtsTomm(width), kMaxWidthMm);
  m_pen.colour = static_cast<std::uint32_t>(colour);
  m_pen.background = static_cast<std::uint32_t>(background);
  if (bkMode == 0 || bkMode == 1) m_pen.bkMode = bkMode == 1 ? kBkOpaque : kBkTransparent;
  if (roundEnds == 0 || roundEnds == 1) m_pen.roundEnds = roundEnds;
  if (spline == 0 || spline == 1) m_pen.spline = spline;
  CheckPenStyle(&m_pen, &m_pen);
  return true;
}

std::pair<std::string, std::string> SettingsPlace(const std::string& place,
                                                  const char* defaultSection,
                                                  const char* defaultKey) {
  const std::size_t cr = place.find('\r');
  if (place.empty() || cr == std::string::npos) return {defaultSection, defaultKey};
  std::size_t keyStart = cr + 1;
  if (keyStart < place.size() && place[keyStart] == '\n') ++keyStart;
  return {place.substr(0, cr), place.substr(keyStart)};
}
