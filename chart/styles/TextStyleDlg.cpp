#include "chart/styles/TextStyleDlg.h"

#include <cstdio>
#include <iterator>
#include <string>

#include "chart/styles/CharStyle.h"
#include "plotsupport/StyleRecords.h"

namespace {

int JustificationIndex(std::uint32_t code) {
  for (int i = 0; i < static_cast<int>(std::size(CTextStyleDlg::kJustifications)); ++i)
    if (CTextStyleDlg::kJustifications[i] == code) return i;
  return -1;
}

}  // namespace

CTextStyleDlg::CTextStyleDlg(const TEXTSTYLE& style, CMapper* mapper, int pixelsPerInch)
    : m_style(style), m_pMapper(mapper), m_nPixelsPerInch(pixelsPerInch > 0 ? pixelsPerInch : 96) {}

void CTextStyleDlg::OnFont() {
  if (!UpdateData(true)) return;
  CCharStyle scratch(&m_style, m_pMapper);
  if (!scratch.ChooseFont(m_nPixelsPerInch)) return;
  m_style = scratch.GetTextStyle();
  UpdateData(false);
}

bool CTextStyleDlg::DoDataExchange(bool save) {
  int colour = static_cast<int>(m_style.colour & 0xFFFFFF);
  int justify = JustificationIndex(m_style.justification);
  if (!save) {
    char summary[96];
    const float height = m_style.height;  // by value: the record is packed
    std::snprintf(summary, sizeof summary, "%.31s, %.1f pt", m_style.font.lfFaceName,
                  static_cast<double>(mmToPts(height)));
    SetText(IDC_SUMMARY, summary);
  }
  if (!ExchangeInt(IDC_COLOUR, colour, save)) return false;
  if (!CheckRange(IDC_COLOUR, static_cast<float>(colour), 0.0f, 16777215.0f, save)) return false;
  ExchangeRadio(IDC_JUSTIFY, justify, save);
  if (!save) return true;
  m_style.colour = static_cast<std::uint32_t>(colour);
  if (justify >= 0 && justify < static_cast<int>(std::size(kJustifications)))
    m_style.justification = kJustifications[justify];
  return true;
}
