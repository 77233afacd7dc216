#include "chart/styles/FillEditDlg.h"

#include <cmath>
#include <iterator>
#include <utility>

#include "chart/styles/PenEditDlg.h"
#include "platform/ui/Prompts.h"

namespace {

constexpr float kMaxWidthMm = 50.0f;
constexpr float kMaxColour = 16777215.0f;

template <typename T, std::size_t N>
int IndexOf(const T (&values)[N], T value) {
  for (std::size_t i = 0; i < N; ++i)
    if (values[i] == value) return static_cast<int>(i);
  return -1;
}

}  // namespace

CFillEditDlg::CFillEditDlg(const VEXAPEN& pen, const VEXABRUSH& brush,
                           std::vector<Pattern> patterns)
    : m_patterns(std::move(patterns)) {
  CheckPenStyle(&pen, &m_pen);
  CopyBrushStyle(&brush, &m_brush);
  if (m_brush.kind == kBrushPattern) {
    for (std::size_t i = 0; i < m_patterns.size(); ++i)
      if (m_patterns[i].storeIndex == m_brush.bitmap) m_nPattern = static_cast<int>(i);
  }
}

bool CFillEditDlg::OnOK() {
  if (!UpdateData(true)) return false;
  if (m_brush.kind == kBrushPattern && m_nPattern < 0) {
    Message("Please choose a pattern.", tessmor::kPromptOk | tessmor::kPromptIconWarning);
    SetFocus(IDC_PATTERN);
    return false;
  }
  return true;
}

bool CFillEditDlg::DoDataExchange(bool save) {
  int kind = IndexOf(kKinds, m_brush.kind);
  int hatch = m_brush.hatch >= 0 && m_brush.hatch <= 5 ? m_brush.hatch : -1;
  int pattern = m_nPattern;
  int colour = static_cast<int>(m_brush.colour & 0xFFFFFF);
  int style = IndexOf(CPenEditDlg::kStyles, m_pen.style);
  const float shownWidth = mmToPts(m_pen.width);
  float width = shownWidth;
  int outline = static_cast<int>(m_pen.colour & 0xFFFFFF);

  ExchangeRadio(IDC_KIND, kind, save);
  ExchangeRadio(IDC_HATCH, hatch, save);
  ExchangeRadio(IDC_PATTERN, pattern, save);
  if (!ExchangeInt(IDC_COLOUR, colour, save)) return false;
  if (!CheckRange(IDC_COLOUR, static_cast<float>(colour), 0.0f, kMaxColour, save)) return false;
  ExchangeRadio(IDC_OUTLINE_STYLE, style, save);
  if (!ExchangeFloat(IDC_OUTLINE_WIDTH, width, save)) return false;
  if (!CheckRange(IDC_OUTLINE_WIDTH, width, 0.0f, mmToPts(kMaxWidthMm), save)) return false;
  if (!ExchangeInt(IDC_OUTLINE_COLOUR, outline, save)) return false;
  if (!CheckRange(IDC_OUTLINE_COLOUR, static_cast<float>(outline), 0.0f, kMaxColour, save))
    return false;
  if (!save) return true;

  const auto fill = static_cast<std::uint32_t>(colour);
  const std::int16_t chosen =
      kind >= 0 && kind < static_cast<int>(std::size(kKinds)) ? kKinds[kind] : m_brush.kind;
  m_nPattern = -1;
  // As CFillStyle's setters leave the brush, so that equal choices give equal styles.
  switch (chosen) {
    case kBrushSolid:
      m_brush.kind = kBrushSolid, m_brush.hatch = kNoHatch, m_brush.colour = fill;
      m_brush.bitmap = -1;
      break;
    case kBrushHatched:
      m_brush.kind = kBrushHatched, m_brush.colour = fill, m_brush.bitmap = -1;
      m_brush.hatch = hatch >= 0 && hatch <= 5 ? hatch : 0;
      break;
    case kBrushHollow:
      m_brush.kind = kBrushHollow, m_brush.hatch = kNoHatch, m_brush.colour = 0;
      m_brush.bitmap = -1;
      break;
    case kBrushPattern:
      m_brush.kind = kBrushPattern;
      if (pattern >= 0 && pattern < static_cast<int>(m_patterns.size())) {
        m_nPattern = pattern;
        m_brush.bitmap = m_patterns[static_cast<std::size_t>(pattern)].storeIndex;
      }
      break;
    default:
      m_brush.colour = fill;
      break;
  }
  if (style >= 0 && style < static_cast<int>(std::size(CPenEditDlg::kStyles)))
    m_pen.style = CPenEditDlg::kStyles[style];
  if (width != shownWidth) m_pen.width = std::fmin(PtsTomm(width), kMaxWidthMm);
  m_pen.colour = static_cast<std::uint32_t>(outline);
  CheckPenStyle(&m_pen, &m_pen);
  return true;
}
