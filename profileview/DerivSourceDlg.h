#pragma once

#include "platform/ui/DialogModel.h"

/// The dialog "Second Derivative: source data": the anomaly (100) or the continued series (101).
class CDerivSourceDlg : public tessmor::DialogModel {
 public:
  enum { IDD = 304, IDC_SOURCE = 354, IDC_HELP = 363 };
  enum { kFromAnomaly = 100, kFromUpward = 101 };

  /// 100 chooses the anomaly radio, 101 the continued one; any other value the anomaly.
  explicit CDerivSourceDlg(int source = kFromAnomaly);
  /// 101 when the continued radio is chosen, else 100.
  int GetSource() const;

  int m_nSourceRadio = 0;

 protected:
  bool DoDataExchange(bool save) override;
};
