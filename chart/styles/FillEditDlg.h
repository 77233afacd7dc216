#pragma once

// The fill-style editor of the chart: the brush (solid, hatched, hollow or a pattern bitmap)
// and the outline pen of a fill style, without any widget.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/DialogModel.h"
#include "plotsupport/StyleRecords.h"

/// The fill-style editor, on copies of a fill style's pen (`m_pen`) and brush (`m_brush`);
/// on OK both hold the entry, the brush as the fill style's own brush setters leave it.
///
/// Controls: IDC_KIND a radio group solid, hatched, hollow, pattern (−1 keeps the brush's
/// kind); IDC_HATCH a radio group over the hatch patterns 0-5, used by a hatched brush;
/// IDC_PATTERN a radio group over m_patterns, used by a pattern brush; IDC_COLOUR the fill
/// colour 0 to 0xFFFFFF; IDC_OUTLINE_STYLE a radio group over CPenEditDlg::kStyles;
/// IDC_OUTLINE_WIDTH the outline width in points, 0 to 50 mm (left as shown, the width in mm
/// is kept exactly); IDC_OUTLINE_COLOUR the outline colour 0 to 0xFFFFFF.
class CFillEditDlg : public tessmor::DialogModel {
 public:
  enum {
    IDD = 1563,
    IDC_KIND = 0x4B0,
    IDC_HATCH = 0x4B1,
    IDC_PATTERN = 0x4B2,
    IDC_COLOUR = 0x4B3,
    IDC_OUTLINE_STYLE = 0x4B4,
    IDC_OUTLINE_WIDTH = 0x4B5,
    IDC_OUTLINE_COLOUR = 0x4B6,
  };
  /// The brush kinds offered, in the order of the radio group.
  static constexpr std::int16_t kKinds[4] = {kBrushSolid, kBrushHatched, kBrushHollow,
                                             kBrushPattern};

  /// One pattern bitmap offered: its name, its index in the chart's bitmap store (−1 when
  /// it is not there yet) and its number among the program's bitmaps.
  struct Pattern {
    std::string name;
    std::int32_t storeIndex = -1;
    std::uint32_t resource = 0;
  };

  /// The editor on `pen` (through CheckPenStyle) and `brush` (through CopyBrushStyle),
  /// offering `patterns`.
  CFillEditDlg(const VEXAPEN& pen, const VEXABRUSH& brush, std::vector<Pattern> patterns);

  VEXAPEN m_pen;
  VEXABRUSH m_brush;
  std::vector<Pattern> m_patterns;
  /// The pattern chosen on OK (an index into m_patterns), −1 for a brush of another kind.
  /// The brush's bitmap is then that pattern's store index (−1 when it is to be added).
  int m_nPattern = -1;

  /// Refuses a pattern brush without a chosen pattern ("Please choose a pattern.").
  bool OnOK() override;

 protected:
  bool DoDataExchange(bool save) override;
};
