#pragma once

// The marker dialog of the chart: symbol, size and angle of a marker with its outline pen and
// fill brush, without any widget.

#include "platform/ui/DialogModel.h"
#include "plotsupport/StyleRecords.h"

/// The marker dialog, on a copy of a marker (`m_marker`); on OK `m_marker` holds the entry,
/// which passes CheckMarkerStyle unchanged.
///
/// Controls: IDC_SYMBOL a radio group over the symbols 0-15 (−1 keeps the symbol); IDC_SIZE
/// the size in tenths of a point, 1 to 1000; IDC_ANGLE the angle in tenths of a degree, −360
/// to 360; IDC_PEN_COLOUR the outline colour 0 to 0xFFFFFF; IDC_PEN_WIDTH the outline width in
/// points, 0 to 50 mm (left as shown, the width in mm is kept exactly); IDC_BRUSH_KIND a radio
/// group solid, hollow, hatched (−1 keeps the kind); IDC_BRUSH_COLOUR the fill colour 0 to
/// 0xFFFFFF; IDC_HATCH the hatch pattern 0-5, used by a hatched brush.
class CMarkerEditDlg : public tessmor::DialogModel {
 public:
  enum {
    IDD = 1561,
    IDC_SYMBOL = 0x490,
    IDC_SIZE = 0x491,
    IDC_ANGLE = 0x492,
    IDC_PEN_COLOUR = 0x493,
    IDC_PEN_WIDTH = 0x494,
    IDC_BRUSH_KIND = 0x495,
    IDC_BRUSH_COLOUR = 0x496,
    IDC_HATCH = 0x497,
  };
  /// The brush kinds offered, in the order of the radio group.
  static constexpr std::int16_t kBrushKinds[3] = {kBrushSolid, kBrushHollow, kBrushHatched};

  /// The dialog on `marker` taken through CheckMarkerStyle.
  explicit CMarkerEditDlg(const VEXAMARKER& marker);

  VEXAMARKER m_marker;

 protected:
  bool DoDataExchange(bool save) override;
};
