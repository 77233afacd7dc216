#pragma once

#include "platform/ui/DialogModel.h"

/// The dialog "Upward Continuation of Gravity Anomalies": the continuation height in km.
class CUpwardContDlg : public tessmor::DialogModel {
 public:
  enum { IDD = 302, IDC_HEIGHT = 350, IDC_HELP = 382, IDC_EDGES = 383 };
  static constexpr float kMinHeight = 0.1f;
  static constexpr float kMaxHeight = 100.0f;

  float m_fHeight = 2.0f;  ///< km
  /// "Control edge effects": 1 continues with the ends controlled, 0 as documented.
  int m_bControlEdges = 0;

 protected:
  bool DoDataExchange(bool save) override;
};
