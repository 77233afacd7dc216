#pragma once

// The character style of a chart: one font, justification, colour and character height in
// paper mm, held once for every text drawn with them.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "chart/items/VexaString.h"
#include "chart/styles/TextStyle.h"
#include "platform/gdi/GdiTypes.h"

namespace tessmor {
class Archive;
class DC;
}  // namespace tessmor

class CMapper;

/// What selecting a character style into a device context replaced.
struct FontSelection {
  tessmor::LOGFONT font;
  std::uint32_t textAlign = 0;
  tessmor::COLORREF textColor = 0;
};

/// A TEXTSTYLE and the texts drawn with it.
///
/// The font height is derived from the character height: −trunc(height × units per mm × zoom
/// + 0.5) logical units (100 units per mm without a mapper, so −500 for the default 5 mm),
/// at least 1 unit whatever the zoom, so that a text never falls back to a default size.
class CCharStyle {
 public:
  /// Entry suffixes of the settings form: key + ":CharStyle" holds "%u,%ld,%ld,%f"
  /// (justification, colour, background, height in mm), key + ":CharStyle2" holds
  /// "%ld,%ld,%ld,%ld,%ld,%d,%d,%d,%d, %s" (font height, width, escapement, orientation,
  /// weight, italic + 256 × underline, strike-out + 256 × character set, output precision +
  /// 256 × clip precision, quality + 256 × pitch and family, face name with "#" for spaces).
  static constexpr const char* kSettingsSuffix = ":CharStyle";
  static constexpr const char* kSettingsSuffix2 = ":CharStyle2";

  /// The default style (DefaultTextStyle), no mapper.
  CCharStyle();
  /// A copy of `style` through CheckTextStyle, or the defaults with the height derived for
  /// `mapper` when `style` is null. `mapper` is the document's (not owned; may be null).
  CCharStyle(const TEXTSTYLE* style, CMapper* mapper);
  /// The defaults for `mapper`, then `font` and `colour` (its low 24 bits), then
  /// `justification` when it is a justification code.
  CCharStyle(const tessmor::LOGFONT& font, tessmor::COLORREF colour, std::uint32_t justification,
             CMapper* mapper);
  ~CCharStyle();
  CCharStyle(const CCharStyle&) = delete;
  CCharStyle& operator=(const CCharStyle&) = delete;

  CMapper* GetMapper() const { return m_pMapper; }
  void SetMapper(CMapper* mapper) { m_pMapper = mapper; }

  /// Flag of a style whose texts the user may restyle.
  static constexpr std::uint32_t kEditable = 4;
  /// The style's flags (kEditable); they are not part of the TEXTSTYLE and are never stored.
  std::uint32_t GetFlags() const { return m_nFlags; }
  void AddFlags(std::uint32_t flags) { m_nFlags |= flags; }

  const TEXTSTYLE& GetTextStyle() const { return m_style; }
  /// True when all 76 bytes equal those of `style`.
  bool Compare(const TEXTSTYLE& style) const { return m_style == style; }
  /// Takes `style` through CheckTextStyle.
  void SetTextStyle(const TEXTSTYLE& style);
  /// Copies `font` (its face name cut to 31 characters).
  void SetLogFont(const tessmor::LOGFONT& font);
  /// Sets the character height in mm, derives the font height and zeroes the font width.
  /// A height outside [kMinTextHeight, kMaxTextHeight] is refused: false, nothing changes.
  bool SetHeight(float mm);
  /// Sets the justification when `code` is a justification code; false otherwise.
  bool SetJustification(std::uint32_t code);
  /// Colours keep their low 24 bits.
  void SetColour(tessmor::COLORREF colour) { m_style.colour = colour & 0xFFFFFF; }
  void SetBackground(tessmor::COLORREF colour) { m_style.background = colour & 0xFFFFFF; }
  /// Back to the defaults, the font height derived for the mapper.
  void Reset();
  /// Derives the font height for the mapper as it is now (zeroing the width when the height
  /// changes) and returns the font.
  const tessmor::LOGFONT& RecomputeFont();
  /// The font height for `heightMm` with `mapper` (may be null).
  static std::int32_t FontHeightFor(float heightMm, const CMapper* mapper);

  /// Lets the user choose the font with the font dialog (CFontDlg), opened on the font sized
  /// for a screen of `pixelsPerInch`, the size in points and the text colour. On OK the font
  /// and colour are taken; the height becomes the chosen size in the mapper's logical units
  /// and back in mm, the font height the negated logical height and the width 0. Returns 1 on
  /// OK, else 0 with the style unchanged. `prompt`, when given, is shown in the dialog.
  int ChooseFont(int pixelsPerInch, const std::string& prompt = {});

  /// Derives the font height, selects the font, sets the text colour, and sets the text
  /// alignment to the justification (256 as 24, 512 as 26). Returns what was replaced.
  FontSelection Select(tessmor::DC& dc);
  /// Reselects the font that Select replaced (the alignment and colour stay).
  static void Deselect(tessmor::DC& dc, const FontSelection& previous);

  /// Number of text items.
  int GetStringCount() const { return static_cast<int>(m_strings.size()); }
  bool IsEmpty() const { return m_strings.empty(); }
  /// Text item `i` (0 .. GetStringCount() − 1), owned by the style.
  CVEXAString* GetString(int i) const { return m_strings.at(static_cast<std::size_t>(i)).get(); }
  /// Takes a text item and gives it this style.
  void AddString(std::unique_ptr<CVEXAString> item);
  /// Hands back text item `item` without deleting it; null when the style does not hold it.
  std::unique_ptr<CVEXAString> RemoveString(const CVEXAString* item);
  /// Deletes the texts of group `tag` (all for −1); returns how many were deleted.
  int DeleteItems(int tag);
  /// Lays every text out again on `dc` (after the font is realised for a device).
  void LayoutItems(tessmor::DC& dc);

  /// Selects the font and draws the texts, then puts back the font and the text alignment.
  /// Unless `all`, texts whose bounds miss the DC's clip box are skipped.
  void DrawItems(tessmor::DC& dc, bool all);

  /// Writes or reads the stored form: the TEXTSTYLE (76 bytes), a 16-bit count and the text
  /// items (at most 65535 written). A style read goes through CheckTextStyle; texts read are
  /// given this style and appended, those without a line dropped. Throws
  /// tessmor::ArchiveException, with the style unchanged, when the data ends early or the
  /// count exceeds what the data can hold.
  void Serialize(tessmor::Archive& ar);

  /// Writes the settings form under `section`, `key` + the suffixes. Returns 1 when both
  /// entries were written.
  int WriteSettings(const std::string& section, const std::string& key) const;
  /// Resets to the defaults, then reads the settings form. Returns 1 when both entries were
  /// there and complete (the values then taken through CheckTextStyle); otherwise 0 and the
  /// defaults stay.
  int ReadSettings(const std::string& section, const std::string& key);

  /// The two settings texts of `style`.
  static std::pair<std::string, std::string> FormatSettings(const TEXTSTYLE& style);
  /// Reads the two settings texts over `*style`: the font and the justification, colours and
  /// height are taken, through CheckTextStyle, only when the first yields 4 values and the
  /// second 10 with a face name that is not empty before any NUL. Returns 1 when taken, else 0
  /// with `*style` unchanged. A "#" in the face name reads as a space; the face is cut to 31
  /// characters. (So a style without a face name does not read back: it has no word to write.)
  static int ParseSettings(std::string_view first, std::string_view second, TEXTSTYLE* style);

 private:
  TEXTSTYLE Defaults() const;

  std::vector<std::unique_ptr<CVEXAString>> m_strings;
  TEXTSTYLE m_style;
  CMapper* m_pMapper = nullptr;
  std::uint32_t m_nFlags = 0;
};
