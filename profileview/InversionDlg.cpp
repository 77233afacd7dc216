#include "profileview/InversionDlg.h"

#include "platform/ui/Prompts.h"

void CInversionDlg::SetValues(float density, float depth_km, int model_type) {
  m_fDensity = density;
  m_fDepth = depth_km;
  m_nModelRadio = model_type == 1 ? kGraniteRadio : kBasinRadio;
}

void CInversionDlg::GetValues(float& density, float& depth_km, int& model_type) const {
  density = m_fDensity;
  depth_km = m_fDepth;
  model_type = m_nModelRadio == kGraniteRadio ? 1 : -1;
}

void CInversionDlg::OnInitDialog() {
  if (m_fDensity == 0.0f) m_fDensity = -200.0f;
  if (m_fDepth < 0.0f) m_fDepth = 10.0f;
  if (m_nModelRadio == -1) m_nModelRadio = kBasinRadio;
  DialogModel::OnInitDialog();
}

bool CInversionDlg::DoDataExchange(bool save) {
  return ExchangeFloat(IDC_DEPTH, m_fDepth, save) &&
         CheckRange(IDC_DEPTH, m_fDepth, 0.0f, 100.0f, save) &&
         ExchangeFloat(IDC_DENSITY, m_fDensity, save) &&
         CheckRange(IDC_DENSITY, m_fDensity, -1000.0f, 2000.0f, save) &&
         ExchangeRadio(IDC_MODEL, m_nModelRadio, save);
}

bool CInversionDlg::OnOK() {
  if (!UpdateData(true)) return false;
  if (m_fDensity == 0.0f) {
    Message("The density contrast must not be zero.",
            tessmor::kPromptOk | tessmor::kPromptIconWarning);
    SetFocus(IDC_DENSITY);
    return false;
  }
  if (m_fDepth < 0.5f && m_nModelRadio == kGraniteRadio) {
    Message(
        " You have selected the granite model\n but the build-up depth is less than 0.1km\n "
        "Enter a sensible value, ie. >0.5",
        tessmor::kPromptOk | tessmor::kPromptIconWarning);
    SetFocus(IDC_DEPTH);
    return false;
  }
  return true;
}
