#pragma once

#include "platform/ui/DialogModel.h"

/// The dialog "Gravity Modelling: Inversion": density contrast (kg/m³), boundary depth (km) and
/// the model type.
class CInversionDlg : public tessmor::DialogModel {
 public:
  enum { IDD = 303, IDC_DEPTH = 351, IDC_DENSITY = 352, IDC_MODEL = 341, IDC_HELP = 382 };
  enum { kGraniteRadio = 0, kBasinRadio = 1 };

  /// Model type 1 chooses the granite radio, any other the basin radio.
  void SetValues(float density, float depth_km, int model_type);
  /// Model type 1 for the granite radio, -1 otherwise.
  void GetValues(float& density, float& depth_km, int& model_type) const;

  /// Replaces a zero density by -200, a negative depth by 10 and a missing radio by the
  /// basin, then fills the controls.
  void OnInitDialog() override;
  /// Refuses a density contrast of 0 (no thickness could make an anomaly) and a granite model
  /// whose boundary lies less than 0.5 km deep.
  bool OnOK() override;

  float m_fDensity = 0.0f;
  float m_fDepth = 0.0f;
  int m_nModelRadio = -1;

 protected:
  bool DoDataExchange(bool save) override;
};
