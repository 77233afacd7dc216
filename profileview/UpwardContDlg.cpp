#include "profileview/UpwardContDlg.h"

bool CUpwardContDlg::DoDataExchange(bool save) {
  if (!ExchangeFloat(IDC_HEIGHT, m_fHeight, save) ||
      !CheckRange(IDC_HEIGHT, m_fHeight, kMinHeight, kMaxHeight, save)) {
    return false;
  }
  if (save) {
    m_bControlEdges = GetRadio(IDC_EDGES) == 1 ? 1 : 0;
  } else {
    SetRadio(IDC_EDGES, m_bControlEdges ? 1 : 0);
  }
  return true;
}
