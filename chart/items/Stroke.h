#pragma once

// The common part of the chart's line-like items: lines, polygon fills, arcs and arc fills.

#include <cstdint>

#include "platform/gdi/GdiTypes.h"

namespace tessmor {
class Archive;
}

class CLineStyle;
class CFillStyle;

/// Category, group identifier and style pointers shared by every line-like item.
///
/// The styles own their items; a stroke only points back at them. A filled item points at
/// its fill style twice: once as its line style and once as its fill style.
class CStroke {
 public:
  /// Category given by the chart view to axis lines and ticks.
  static constexpr std::uint8_t kAxisCategory = 4;
  /// Category given by the chart view to every other item.
  static constexpr std::uint8_t kItemCategory = 6;

  /// Category 0, group 0, no styles, region not valid.
  CStroke() = default;
  virtual ~CStroke() = default;
  CStroke(const CStroke&) = delete;
  CStroke& operator=(const CStroke&) = delete;

  void SetCategory(std::uint8_t category) { m_nCategory = category; }
  std::uint8_t GetCategory() const { return m_nCategory; }
  void SetGroup(std::uint16_t group) { m_nGroup = group; }
  std::uint16_t GetGroup() const { return m_nGroup; }

  /// Points the stroke at its line style (not owned).
  void SetLineStyle(CLineStyle* style) { m_pLineStyle = style; }
  /// Points a filled item at its styles (not owned): `line` is the fill style seen as a line
  /// style, `fill` the same style as a fill style.
  void SetStyles(CLineStyle* line, CFillStyle* fill) {
    m_pLineStyle = line;
    m_pFillStyle = fill;
  }
  CLineStyle* GetLineStyle() const { return m_pLineStyle; }
  CFillStyle* GetFillStyle() const { return m_pFillStyle; }

  /// Writes or reads the leading part of every line-like item: the category byte as an
  /// unsigned 16-bit value, then the 16-bit group identifier. Reading keeps the low 8 bits of
  /// the category. A short read throws tessmor::ArchiveException and changes nothing.
  virtual void Serialize(tessmor::Archive& ar);

  /// Turns the item's device outline (`count` points, logical units) into its hit region,
  /// widened by `halfWidth` logical units. Lines and arcs have nothing to add; filled items
  /// build their fill region here.
  virtual void BuildRegion(const tessmor::POINT* points, int count, int halfWidth) {}

  std::uint8_t m_nCategory = 0;
  std::uint16_t m_nGroup = 0;
  /// Set once the item's region has been computed.
  int m_bRegionValid = 0;
  /// Kept for the items' use; 0 at construction, never stored.
  int m_nSpare = 0;
  CLineStyle* m_pLineStyle = nullptr;
  CFillStyle* m_pFillStyle = nullptr;
};
