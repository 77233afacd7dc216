#pragma once

// Text items of a chart: one or more lines of text anchored at a paper point, drawn with a
// character style's font.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chart/items/ItemRegion.h"
#include "chart/paper/Mapper.h"
#include "platform/gdi/GdiTypes.h"

namespace tessmor {
class Archive;
class DC;
}  // namespace tessmor

class CCharStyle;

/// A text on the paper, owned by its character style.
///
/// The text is kept as lines (split at "\r\n", "\n" or "\r"). Layout places the lines in the
/// logical units of the style's mapper: the first line's reference point is the anchor, each
/// further line one line height (font height plus external leading) below the previous one as
/// the text runs (turned with the font's escapement), each aligned by the style's
/// justification.
class CVEXAString {
 public:
  /// Category 6, group 0, no style, no text.
  CVEXAString() = default;
  /// Belongs to `style` (not owned), anchored at `anchor` (paper mm), with `text`.
  CVEXAString(CCharStyle* style, PaperPoint anchor, std::string_view text, std::uint8_t category);

  void SetCategory(std::uint8_t category) { m_nCategory = category; }
  std::uint8_t GetCategory() const { return m_nCategory; }
  void SetGroup(std::uint16_t group) { m_nGroup = group; }
  std::uint16_t GetGroup() const { return m_nGroup; }
  void SetStyle(CCharStyle* style);
  CCharStyle* GetStyle() const { return m_pStyle; }
  PaperPoint GetAnchor() const { return m_anchor; }
  void SetAnchor(PaperPoint anchor);

  /// Splits `text` into lines (a line end at the very end starts no further line) and drops
  /// the layout.
  void SetText(std::string_view text);
  /// The lines, each followed by "\r\n"; returns the number of lines.
  int GetText(std::string& out) const;
  int GetLineCount() const { return static_cast<int>(m_lines.size()); }
  const std::vector<std::string>& GetLines() const { return m_lines; }

  /// Lays the lines out on `dc` with the style's font (selected and put back): line origins,
  /// hit region and extent. Without a style or mapper, or without a line, the extent is
  /// (0, 0) and there is no region.
  void Layout(tessmor::DC& dc);
  bool IsLaidOut() const { return m_bLaidOut != 0; }
  /// Origin of line `i`, logical units; (0, 0) before layout.
  tessmor::POINT GetLinePos(int i) const;
  /// Size of the region's bounds, logical units.
  tessmor::SIZE GetExtent() const { return m_extent; }

  /// Draws every line at its origin plus its offset, with the font, colour and alignment the
  /// style has selected into `dc`; lays the text out first when it is not. Returns false when
  /// there is nothing to draw.
  bool Draw(tessmor::DC& dc);
  /// True when logical point (x, y) lies in the laid-out text.
  bool HitTest(std::int32_t x, std::int32_t y) const;
  const CItemRegion& GetRegion() const { return m_region; }
  tessmor::RECT GetBounds() const { return m_region.GetBounds(); }

  /// Writes or reads: category (u16), group (u16), anchor (two floats), text length (u32) and
  /// the text, every line followed by "\r\n". Reading drops the layout; a short read, or a
  /// length beyond the data, throws tessmor::ArchiveException and leaves the text as it was.
  void Serialize(tessmor::Archive& ar);

 private:
  void ResetLayout();

  std::uint8_t m_nCategory = 6;
  std::uint16_t m_nGroup = 0;
  int m_bLaidOut = 0;
  CCharStyle* m_pStyle = nullptr;
  PaperPoint m_anchor;
  std::vector<std::string> m_lines;
  CItemRegion m_region;
  tessmor::SIZE m_extent;
  std::vector<tessmor::POINT> m_lineOffset;
  std::vector<tessmor::POINT> m_linePos;
};
