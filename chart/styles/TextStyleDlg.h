#pragma once

// The character-style editor of the chart: the font (through the font dialog), the text
// colour and the justification of a TEXTSTYLE, without any widget.

#include <cstdint>

#include "platform/ui/DialogModel.h"
#include "plotsupport/TextStyle.h"

class CMapper;

/// The character-style editor, on a copy of a text style (`m_style`); on OK `m_style` holds
/// the entry.
///
/// Controls: IDC_FONT a button that runs the font dialog (CFontDlg, through the process's
/// dialog runner) on the style, for face, style, size and effects; IDC_SUMMARY a text the
/// editor shows: the face and the size in points; IDC_COLOUR the text colour as a number 0
/// to 0xFFFFFF; IDC_JUSTIFY a radio group over kJustifications (−1 keeps the code).
class CTextStyleDlg : public tessmor::DialogModel {
 public:
  enum {
    IDD = 1562,
    IDC_FONT = 0x4A0,
    IDC_SUMMARY = 0x4A1,
    IDC_COLOUR = 0x4A2,
    IDC_JUSTIFY = 0x4A3,
  };
  /// The justification codes offered, in the order of the radio group.
  static constexpr std::uint32_t kJustifications[8] = {0, 2, 6, 24, 26, 30, 256, 512};

  /// The editor on `style`; the font height is derived for `mapper` (not owned; may be null)
  /// and the font dialog shows sizes for a screen of `pixelsPerInch`.
  CTextStyleDlg(const TEXTSTYLE& style, CMapper* mapper, int pixelsPerInch);

  /// The font button: the font dialog on the style as the controls show it; on OK its face,
  /// effects, size (mm through the mapper's units) and colour go to the style.
  void OnFont();

  TEXTSTYLE m_style;

 protected:
  bool DoDataExchange(bool save) override;

 private:
  CMapper* m_pMapper;
  int m_nPixelsPerInch;
};
