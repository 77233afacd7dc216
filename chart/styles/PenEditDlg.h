#pragma once

// The pen dialog of the chart: style, width, colours, background mode, ends and spline of a
// VEXAPEN, without any widget.

#include <cstdint>
#include <string>
#include <utility>

#include "platform/ui/DialogModel.h"
#include "plotsupport/StyleRecords.h"

/// The pen dialog, on a copy of a pen (`m_pen`); on OK `m_pen` holds the entry, which
/// passes CheckPenStyle unchanged.
///
/// Controls: IDC_STYLE a radio group over kStyles (−1 keeps the style); IDC_WIDTH the width in
/// points, 0 to 50 mm; IDC_COLOUR and IDC_BACKGROUND colours as numbers 0 to 0xFFFFFF;
/// IDC_BKMODE a radio group transparent, opaque; IDC_ROUNDENDS and IDC_SPLINE check boxes as
/// radio groups (0 off, 1 on). A width left as shown keeps the pen's width in mm exactly.
class CPenEditDlg : public tessmor::DialogModel {
 public:
  enum {
    IDD = 1560,
    IDC_STYLE = 0x480,
    IDC_WIDTH = 0x481,
    IDC_COLOUR = 0x482,
    IDC_BACKGROUND = 0x483,
    IDC_BKMODE = 0x484,
    IDC_ROUNDENDS = 0x485,
    IDC_SPLINE = 0x486,
  };
  /// The pen styles offered, in the order of the radio group.
  static constexpr std::int32_t kStyles[13] = {0, 1, 2, 3, 4, 5, 6, 16, 17, 18, 19, 20, 21};

  /// The dialog on `pen` taken through CheckPenStyle.
  explicit CPenEditDlg(const VEXAPEN& pen);

  VEXAPEN m_pen;

 protected:
  bool DoDataExchange(bool save) override;
};

/// The settings section and key of a default-style editor: `place` is either empty (the
/// defaults) or the section, a carriage return and the key (a line feed after the carriage
/// return is skipped). Text without a carriage return also gives the defaults.
std::pair<std::string, std::string> SettingsPlace(const std::string& place,
                                                  const char* defaultSection,
                                                  const char* defaultKey);
