#include "profileview/BackgroundDlg.h"

#include "platform/ui/Prompts.h"
#include "util/NumberFormat.h"

namespace {

/// Kilometres typed into a single-precision field, as whole metres (truncated toward zero).
std::int32_t KmToMetres(float km) {
  const double m = km * 1000.0;
  if (!(m > -2147483648.0)) return INT32_MIN;
  if (m >= 2147483647.0) return INT32_MAX;
  return static_cast<std::int32_t>(m);
}

}  // namespace

void CBackgroundDlg::Load(int type, const ProfilePoint& p1, const ProfilePoint& p2) {
  switch (type) {
    case kBackgroundConstant:
      m_nMethod = 0;
      m_fConstant = static_cast<float>(p1.anomaly);
      break;
    case kBackgroundLinear:
      m_nMethod = 1;
      m_fLeftDistance = static_cast<float>(p1.distance * 0.001);
      m_fRightDistance = static_cast<float>(p2.distance * 0.001);
      m_dLeftAnomaly = p1.anomaly;
      m_dRightAnomaly = p2.anomaly;
      break;
    case kBackgroundNone:
      m_nMethod = 0;
      m_fConstant = 0.0f;
      break;
    default:
      break;
  }
}

int CBackgroundDlg::GetType() const {
  if (m_nMethod == 0) return IsZero(m_fConstant) ? kBackgroundNone : kBackgroundConstant;
  if (m_nMethod == 1) return kBackgroundLinear;
  return kBackgroundNone;
}

void CBackgroundDlg::GetLinearPoints(ProfilePoint& p1, ProfilePoint& p2) const {
  p1.distance = KmToMetres(m_fLeftDistance);
  p1.anomaly = m_dLeftAnomaly;
  p2.distance = KmToMetres(m_fRightDistance);
  p2.anomaly = m_dRightAnomaly;
}

void CBackgroundDlg::EnableLinear(bool linear) {
  for (int id : {IDC_LEFT_DISTANCE, IDC_RIGHT_DISTANCE, IDC_LEFT_ANOMALY, IDC_RIGHT_ANOMALY}) {
    Enable(id, linear);
  }
  Enable(IDC_CONSTANT, !linear);
}

void CBackgroundDlg::OnConstant() {
  SetRadio(IDC_CONSTANT_RADIO, 0);
  EnableLinear(false);
}

void CBackgroundDlg::OnLinear() {
  SetRadio(IDC_CONSTANT_RADIO, 1);
  EnableLinear(true);
}

void CBackgroundDlg::OnInitDialog() {
  DialogModel::OnInitDialog();
  EnableLinear(m_nMethod > 0);
  SetFocus(m_nMethod > 0 ? IDC_LEFT_DISTANCE : IDC_CONSTANT);
}

bool CBackgroundDlg::DoDataExchange(bool save) {
  return ExchangeRadio(IDC_CONSTANT_RADIO, m_nMethod, save) &&
         ExchangeFloat(IDC_CONSTANT, m_fConstant, save) &&
         ExchangeFloat(IDC_LEFT_DISTANCE, m_fLeftDistance, save) &&
         ExchangeFloat(IDC_RIGHT_DISTANCE, m_fRightDistance, save) &&
         ExchangeDouble(IDC_LEFT_ANOMALY, m_dLeftAnomaly, save) &&
         ExchangeDouble(IDC_RIGHT_ANOMALY, m_dRightAnomaly, save);
}

bool CBackgroundDlg::OnOK() {
  if (!UpdateData(true)) return false;
  if (GetType() == kBackgroundLinear &&
      (m_fLeftDistance >= m_fRightDistance || AreSamef(m_fLeftDistance, m_fRightDistance))) {
    Message(
        "!!! Error !!!!\n Left Background distance measure is \n greater than or equal to the "
        "right\n background distance measure !",
        tessmor::kPromptOk | tessmor::kPromptIconWarning);
    SetFocus(IDC_LEFT_DISTANCE);
    return false;
  }
  return true;
}
