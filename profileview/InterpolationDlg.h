#pragma once

#include <string>

#include "platform/ui/DialogModel.h"

/// The interpolation dialog "Interpolation to Constant Spacing.": the method and the sample
/// spacing (typed in kilometres, handed over in metres).
class CInterpolationDlg : public tessmor::DialogModel {
 public:
  enum { IDD = 308, IDC_SPACING = 373, IDC_METHOD = 374, IDC_HELP = 382 };
  static constexpr std::size_t kMaxSpacingChars = 10;

  /// Shows `metres` in kilometres with 3 decimals; a value of 0 or less shows as 0.
  void SetSpacing(int metres);
  /// The spacing typed, in whole metres (kilometres × 1000, rounded half up); text that is
  /// not a number gives 0.
  int GetSpacing() const;
  /// Chooses the radio of a method code (1 spline, 2 rational, 3 polynomial, 4 linear); any
  /// other code leaves the radio as it is.
  void SetMethod(int code);
  /// The method code of the chosen radio, -1 when none is chosen.
  int GetMethod() const;

  /// Refuses a spacing below 2 m with its message; the dialog then stays open.
  bool OnOK() override;

  int m_nMethodRadio = 0;
  std::string m_strSpacing;

 protected:
  bool DoDataExchange(bool save) override;
};
