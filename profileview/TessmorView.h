#pragma once

#include <string>
#include <vector>

#include "platform/Document.h"
#include "profile/ProfilePoint.h"

class CTessmorDoc;

/// The view of a profile document: it keeps the settings of the analysis displays, handles
/// their commands, and on every update recomputes the displayed results and writes their
/// result tables beside the profile.
class CTessmorView : public tessmor::View {
 public:
  enum Command {
    ID_UPWARD_CONTINUE = 32773,
    ID_SECOND_DERIV = 32775,
    ID_2D_MODEL = 32777,
    ID_EQUALLY_SPACED = 32790,
    ID_INTERPOLATE = 32791,
    ID_BACKGROUND = 32792,
    ID_EXPORT_EQUALLY_SPACED = 32800,
    ID_DISPLAY_INTERPOLATED = 32808,
    ID_ONLY_ANOMALY = 32809,
  };
  enum Hint { kHintRebuild = 200, kHintAddCurves = 201, kHintModel = 203 };
  enum ResultKind { kResultDerivative = 100, kResultBlockModel = 101, kResultUpward = 201 };

  CTessmorView();
  ~CTessmorView() override;

  CTessmorDoc* GetDocument() const;

  /// Whether a command can run now (the menu's enabling), and whether it shows a check mark.
  bool IsCommandEnabled(int id) const;
  bool IsCommandChecked(int id) const;
  /// Runs a command when it is enabled. False when it is disabled or unknown.
  bool OnCommand(int id);

  void OnUpwardContinue();
  void OnSecondDeriv();
  void On2DModel();
  void OnBackground();
  void OnInterpolate();
  void OnOnlyAnomaly();
  void OnEquallySpaced();
  void OnExportEquallySpaced();
  void OnDisplayInterpolated();

  void OnUpdate(tessmor::View* sender, long hint, void* object) override;

  /// The display runs: each recomputes its result from the document and writes its table.
  void RunContinuationDisplay();
  void RunDerivativeDisplay();
  void RunModelDisplay();

  /// Writes the result table of `kind` beside the document's file: derivative `values` from
  /// index `first`, or the block model `blocks`, or the continued series. 1 when written.
  int WriteResults(int kind, int first, const std::vector<float>* values,
                   const BlockResultArray* blocks);
  /// The path of the result table of `kind` for the document's file ("_Derivative.txt" and so
  /// on in the current folder when the document has no path).
  std::string ResultPath(int kind) const;

  // Analysis settings and state, with their defaults.
  PointArray m_upward;
  float m_fContHeight = 2.0f;
  float m_fDensity = -150.0f;
  float m_fBoundaryDepth = 8.0f;
  int m_nModelType = -1;
  int m_bShowDeriv = 0;
  int m_bShowUpward = 0;
  int m_bShowModel = 0;
  int m_nDerivSource = 100;
  int m_bShowInterpolated = 0;
};
