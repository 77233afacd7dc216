#include "profileview/InterpolationDlg.h"

#include <cstdlib>

#include "platform/ui/Prompts.h"
#include "util/NumberFormat.h"

void CInterpolationDlg::SetSpacing(int metres) {
  if (metres <= 0) metres = 0;
  m_strSpacing = FormatFixed(metres * 0.001, 3);
}

int CInterpolationDlg::GetSpacing() const {
  const double v = std::atof(m_strSpacing.c_str()) * 1000.0 + 0.5;
  // Outside the range of whole metres a spacing makes no sense; keep the sign, bound the size.
  if (!(v > -2147483648.0)) return v != v ? 0 : INT32_MIN;
  if (v >= 2147483647.0) return INT32_MAX;
  return static_cast<int>(v);
}

void CInterpolationDlg::SetMethod(int code) {
  switch (code) {
    case 1:
      m_nMethodRadio = 0;
      break;
    case 2:
      m_nMethodRadio = 2;
      break;
    case 3:
      m_nMethodRadio = 1;
      break;
    case 4:
      m_nMethodRadio = 3;
      break;
    default:
      break;
  }
}

int CInterpolationDlg::GetMethod() const {
  switch (m_nMethodRadio) {
    case 0:
      return 1;
    case 1:
      return 3;
    case 2:
      return 2;
    case 3:
      return 4;
    default:
      return -1;
  }
}

bool CInterpolationDlg::DoDataExchange(bool save) {
  return ExchangeRadio(IDC_METHOD, m_nMethodRadio, save) &&
         ExchangeText(IDC_SPACING, m_strSpacing, save, kMaxSpacingChars);
}

bool CInterpolationDlg::OnOK() {
  if (!UpdateData(true)) return false;
  if (GetSpacing() < 2) {
    Message("Invalid value for interval Spacing\n Please enter a sensible value\n",
            tessmor::kPromptOk | tessmor::kPromptIconWarning);
    SetFocus(IDC_SPACING);
    return false;
  }
  return true;
}
