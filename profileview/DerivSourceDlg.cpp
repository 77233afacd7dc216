#include "profileview/DerivSourceDlg.h"

CDerivSourceDlg::CDerivSourceDlg(int source) : m_nSourceRadio(source == kFromUpward ? 1 : 0) {}

int CDerivSourceDlg::GetSource() const { return m_nSourceRadio != 0 ? kFromUpward : kFromAnomaly; }

bool CDerivSourceDlg::DoDataExchange(bool save) {
  return ExchangeRadio(IDC_SOURCE, m_nSourceRadio, save);
}
