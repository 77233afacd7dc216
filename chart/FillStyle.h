#pragma once

// The fill style of a chart: a pen and a brush, held once for every filled polygon, filled arc
// and marker symbol drawn with them.

#include <cstdint>
#include <vector>

#include "chart/LineStyle.h"

class CBitmapStore;
// The drawing items a fill style holds besides its polygon and arc fills.
class CVEXASymbol;

/// A pen, a brush, and the filled items and symbols drawn with them. The line-item list of
/// the base holds the polygon fills, its arc list the arc fills.
class CFillStyle : public CLineStyle {
 public:
  /// Codes of SetBrush besides the hatch patterns 0-5.
  static constexpr int kBrushCodeSolid = 999;
  static constexpr int kBrushCodeHollow = 201;
  static constexpr int kBrushCodeBackground = 204;

  /// The default line-style pen and a solid red brush (colour 255) on black, transparent, no
  /// hatch, no bitmap; no mapper.
  CFillStyle();
  /// The pen through CheckPenStyle (its defaults when null), the default brush, and the
  /// document's mapper (not owned; may be null).
  CFillStyle(const VEXAPEN* pen, CMapper* mapper);
  ~CFillStyle() override;

  const VEXABRUSH& GetBrush() const { return m_brush; }
  /// Sets the brush by `code`: 0-5 a brush of that hatch pattern in `colour`; 999 a solid
  /// brush in `colour`; 201 a hollow brush; 204 only the background colour. For 0-5, 999 and
  /// 201 the bitmap is dropped. Any other code changes nothing but the changed flag, which
  /// every call sets. Colours keep their low 24 bits.
  void SetBrush(tessmor::COLORREF colour, int code);
  /// A brush of the pattern bitmap at `bitmap` in the document's bitmap store.
  void SetPatternBrush(std::int32_t bitmap);
  /// Copies the whole brush through CopyBrushStyle (the default brush for null or kind −1);
  /// returns what it returned.
  int SetBrush(const VEXABRUSH* brush);
  /// True when the pen's seven fields and the brush's six (the two unused bytes aside) equal
  /// those given.
  bool CompareStyle(const VEXAPEN& pen, const VEXABRUSH& brush) const;
  /// The changed flag, which every brush setter sets; reading it clears it.
  int TakeChanged();

  /// The brush fills are drawn with: with a bitmap (index ≥ 0), the pattern of that bitmap in
  /// `bitmaps` (hollow when there is no such bitmap or no store); otherwise for kind 203 the
  /// hatch in the brush colour (solid when the hatch is not 0-5), for kind 200 a solid brush
  /// in the brush colour, and a hollow brush for any other kind.
  tessmor::Brush CreateBrush(CBitmapStore* bitmaps) const;

  /// Selects the pen (CreatePen), CreateBrush(bitmaps) and the brush's background mode and
  /// colour into `dc`; returns what they replaced, for Deselect.
  StyleSelection Select(tessmor::DC& dc, CBitmapStore* bitmaps) const;

  /// Number of symbol items.
  int GetSymbolCount() const { return static_cast<int>(m_symbols.size()); }
  /// True when the style holds no polygon fill, arc fill or symbol.
  bool IsEmpty() const override;

  /// Writes or reads the stored form: the whole line-style form, then 32-bit counts of the
  /// polygon fills, arc fills and symbols, the brush (24 bytes), and the items. A brush read
  /// goes through CopyBrushStyle; the changed flag is cleared. Throws
  /// tessmor::ArchiveException when the data ends early, or holds items.
  void Serialize(tessmor::Archive& ar) override;

 private:
  static void StoreBrush(tessmor::Archive& ar, const VEXABRUSH& brush);
  static VEXABRUSH LoadBrush(tessmor::Archive& ar);

  VEXABRUSH m_brush;
  // The style's symbols, which belong to it. The item classes are not part of the program
  // yet, so this list stays empty.
  std::vector<CVEXASymbol*> m_symbols;
  int m_bChanged = 0;
};
