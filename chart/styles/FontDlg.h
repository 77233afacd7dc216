#pragma once

// The font dialog of the chart: a face, a style, a size in points, effects and a colour, as
// the desktop's common font dialog offers them, without any widget.

#include <cstdint>
#include <string>

#include "platform/gdi/GdiTypes.h"
#include "platform/ui/DialogModel.h"

/// The font dialog: the chosen font (`m_lf`), its size in tenths of a point and its colour.
///
/// Controls: IDC_FACE the face name (at most 31 characters; left empty, the face stays);
/// IDC_STYLE a radio group regular, italic, bold, bold italic; IDC_SIZE the size in points;
/// IDC_STRIKEOUT and IDC_UNDERLINE check boxes as radio groups (0 off, 1 on); IDC_COLOUR a
/// radio group over kColours (−1, a colour not in the list, keeps the colour); IDC_SCRIPT the
/// character set 0-255. The effects (strike-out, underline, colour) are offered only with
/// kEffects among the flags.
///
/// On OK the size must lie within kMinPoints to kMaxPoints; the font's height becomes that
/// size on the screen (minus the nearest whole number of pixels at m_nPixelsPerInch) and its
/// width 0.
class CFontDlg : public tessmor::DialogModel {
 public:
  enum {
    IDD = 1543,
    IDC_STRIKEOUT = 0x410,
    IDC_UNDERLINE = 0x411,
    IDC_FACE = 0x470,
    IDC_STYLE = 0x471,
    IDC_SIZE = 0x472,
    IDC_COLOUR = 0x473,
    IDC_SCRIPT = 0x474,
  };
  /// Flags: screen fonts, effects, start from m_lf, TrueType fonts only.
  static constexpr std::uint32_t kScreenFonts = 0x1;
  static constexpr std::uint32_t kInitFromFont = 0x40;
  static constexpr std::uint32_t kEffects = 0x100;
  static constexpr std::uint32_t kTrueTypeOnly = 0x40000;
  static constexpr std::uint32_t kChartFlags =
      kScreenFonts | kEffects | kInitFromFont | kTrueTypeOnly;  // 0x40141
  /// Sizes the dialog accepts, points.
  static constexpr float kMinPoints = 1.0f;
  static constexpr float kMaxPoints = 1638.0f;
  /// The colours offered: black, maroon, green, olive, navy, purple, teal, grey, silver, red,
  /// lime, yellow, blue, fuchsia, aqua, white.
  static constexpr tessmor::COLORREF kColours[16] = {
      0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
      0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

  /// The dialog on a copy of `font`, showing `pointSize10` tenths of a point and `colour`;
  /// `pixelsPerInch` is the screen's (96 when not above 0).
  CFontDlg(const tessmor::LOGFONT& font, int pointSize10, tessmor::COLORREF colour,
           int pixelsPerInch, std::uint32_t flags = kChartFlags);

  tessmor::LOGFONT m_lf;
  /// Tenths of a point.
  int m_nPointSize;
  tessmor::COLORREF m_color;
  std::uint32_t m_nFlags;
  int m_nPixelsPerInch;
  /// The title; empty for the dialog's own ("Font").
  std::string m_strTitle;

  void OnInitDialog() override;

 protected:
  bool DoDataExchange(bool save) override;

 private:
  bool Effects() const { return (m_nFlags & kEffects) != 0; }
};
