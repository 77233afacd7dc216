#include "profileview/UpwardContDlg.h"

bool CUpwardContDlg::DoDataExchange(bool save) {
  return ExchangeFloat(IDC_HEIGHT, m_fHeight, save) &&
         CheckRange(IDC_HEIGHT, m_fHeight, kMinHeight, kMaxHeight, save);
}
