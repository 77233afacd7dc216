#pragma once

#include "platform/ui/DialogModel.h"
#include "profile/ProfilePoint.h"

/// The background dialog "Regional Background Removal Method": a constant level (mGal) or a
/// line through two points (distances typed in kilometres, anomalies in mGal).
class CBackgroundDlg : public tessmor::DialogModel {
 public:
  enum {
    IDD = 307,
    IDC_CONSTANT_RADIO = 366,
    IDC_LINEAR_RADIO = 367,
    IDC_CONSTANT = 368,
    IDC_LEFT_ANOMALY = 369,
    IDC_RIGHT_ANOMALY = 370,
    IDC_RIGHT_DISTANCE = 371,
    IDC_LEFT_DISTANCE = 372,
    IDC_HELP = 382,
  };

  /// Loads the dialog from a background as the document returns it.
  void Load(int type, const ProfilePoint& p1, const ProfilePoint& p2);
  /// The background type of the entry: 1 constant, 2 linear, 32 none (also for a zero level).
  int GetType() const;
  /// The two points of a linear entry, distances truncated to whole metres.
  void GetLinearPoints(ProfilePoint& p1, ProfilePoint& p2) const;

  /// The radio buttons: each enables its own edits and disables the others.
  void OnConstant();
  void OnLinear();

  void OnInitDialog() override;
  /// Refuses a linear entry whose left distance is not left of the right one.
  bool OnOK() override;

  int m_nMethod = 0;  ///< 0 constant, 1 linear, -1 none chosen
  float m_fConstant = 0.0f;
  float m_fLeftDistance = 0.0f;
  float m_fRightDistance = 0.0f;
  double m_dLeftAnomaly = 0.0;
  double m_dRightAnomaly = 0.0;

 protected:
  bool DoDataExchange(bool save) override;

 private:
  void EnableLinear(bool linear);
};
