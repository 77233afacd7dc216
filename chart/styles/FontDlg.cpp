#include "chart/styles/FontDlg.h"

#include <cmath>

#include "util/NumberFormat.h"

namespace {

constexpr int kBoldFrom = 600;  // a weight from which the style shows bold

int ColourIndex(tessmor::COLORREF colour) {
  for (int i = 0; i < 16; ++i) {
    if (CFontDlg::kColours[i] == colour) return i;
  }
  return -1;
}

}  // namespace

CFontDlg::CFontDlg(const tessmor::LOGFONT& font, int pointSize10, tessmor::COLORREF colour,
                   int pixelsPerInch, std::uint32_t flags)
    : m_lf(font),
      m_nPointSize(pointSize10),
      m_color(colour),
      m_nFlags(flags),
      m_nPixelsPerInch(pixelsPerInch > 0 ? pixelsPerInch : 96) {
  m_lf.lfFaceName[tessmor::LF_FACESIZE - 1] = '\0';
}

void CFontDlg::OnInitDialog() {
  for (int id : {IDC_STRIKEOUT, IDC_UNDERLINE, IDC_COLOUR}) Enable(id, Effects());
  DialogModel::OnInitDialog();
}

bool CFontDlg::DoDataExchange(bool save) {
  std::string face = m_lf.lfFaceName;
  int style = (m_lf.lfWeight >= kBoldFrom ? 2 : 0) + (m_lf.lfItalic ? 1 : 0);
  float points = static_cast<float>(m_nPointSize * 0.1);
  int strikeout = m_lf.lfStrikeOut ? 1 : 0;
  int underline = m_lf.lfUnderline ? 1 : 0;
  int colour = ColourIndex(m_color);
  int script = m_lf.lfCharSet;

  if (!ExchangeText(IDC_FACE, face, save, tessmor::LF_FACESIZE - 1)) return false;
  if (!ExchangeRadio(IDC_STYLE, style, save)) return false;
  if (!ExchangeFloat(IDC_SIZE, points, save)) return false;
  if (!CheckRange(IDC_SIZE, points, kMinPoints, kMaxPoints, save)) return false;
  if (!ExchangeInt(IDC_SCRIPT, script, save)) return false;
  if (!CheckRange(IDC_SCRIPT, static_cast<float>(script), 0.0f, 255.0f, save)) return false;
  if (Effects()) {
    ExchangeRadio(IDC_STRIKEOUT, strikeout, save);
    ExchangeRadio(IDC_UNDERLINE, underline, save);
    ExchangeRadio(IDC_COLOUR, colour, save);
  }
  if (!save) return true;

  if (!face.empty()) tessmor::SetFaceName(m_lf, face.c_str());
  if (style >= 0 && style <= 3) {
    const bool bold = (style & 2) != 0;
    // A weight that already reads as the chosen boldness is kept (semi-bold stays semi-bold).
    if (bold != (m_lf.lfWeight >= kBoldFrom))
      m_lf.lfWeight = bold ? tessmor::FW_BOLD : tessmor::FW_NORMAL;
    m_lf.lfItalic = (style & 1) ? 1 : 0;
  }
  m_nPointSize = nintd(points * 10.0);
  m_lf.lfHeight = -nintd(points * static_cast<double>(m_nPixelsPerInch) / 72.0);
  m_lf.lfWidth = 0;
  m_lf.lfCharSet = static_cast<std::uint8_t>(script);
  if (Effects()) {
    m_lf.lfStrikeOut = strikeout == 1 ? 1 : 0;
    m_lf.lfUnderline = underline == 1 ? 1 : 0;
    if (colour >= 0 && colour < 16) m_color = kColours[colour];
  }
  return true;
}
