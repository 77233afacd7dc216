#pragma once

// The fill style of a chart: a pen and a brush, held once for every filled polygon, filled arc
// and marker symbol drawn with them.

#include <cstdint>
#include <memory>
#include <vector>

#include "chart/items/VexaArcFill.h"
#include "chart/items/VexaPolyFill.h"
#include "chart/items/VexaSymbol.h"
#include "chart/styles/LineStyle.h"

class CBitmapStore;

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
  /// Symbol item `i` (0 .. GetSymbolCount() − 1), owned by the style.
  CVEXASymbol* GetSymbol(int i) const { return m_symbols.at(static_cast<std::size_t>(i)).get(); }
  /// True when the style holds no polygon fill, arc fill or symbol.
  bool IsEmpty() const override;

  /// Takes a polygon fill that has at least one vertex, points it at this style and returns
  /// 1; returns 0 (and the item is deleted) otherwise.
  int AddPolyFill(std::unique_ptr<CVEXAPolyFill> fill);
  /// Takes an arc fill and points it at this style.
  void AddArcFill(std::unique_ptr<CVEXAArcFill> fill);
  /// Takes a symbol and gives it this style.
  void AddSymbol(std::unique_ptr<CVEXASymbol> symbol);
  /// Hands back symbol `item` without deleting it; null when the style does not hold it.
  std::unique_ptr<CVEXASymbol> RemoveSymbol(const CVEXASymbol* item);
  /// Deletes the polygon fills, arc fills and symbols of group `tag` (all for −1); returns
  /// how many were deleted.
  int DeleteItems(int tag) override;

  /// Selects the pen and brush (CreateBrush(bitmaps)) and draws the polygon fills, the arc
  /// fills and the symbols, then puts the DC back. Unless `all`, items whose bounds miss the
  /// DC's clip box are skipped.
  void DrawItems(tessmor::DC& dc, CBitmapStore* bitmaps, bool all) const;

  /// Writes or reads the stored form: the whole line-style form, then 32-bit counts of the
  /// polygon fills, arc fills and symbols, the brush (24 bytes), and the items. The plain
  /// line and arc items of the line-style part are copies of the fills and are read and
  /// dropped. A brush read goes through CopyBrushStyle; the changed flag is cleared; the items
  /// read are appended. Throws tessmor::ArchiveException, with the style unchanged, when the
  /// data ends early or a count exceeds what the data can hold.
  void Serialize(tessmor::Archive& ar) override;

 private:
  static void StoreBrush(tessmor::Archive& ar, const VEXABRUSH& brush);
  static VEXABRUSH LoadBrush(tessmor::Archive& ar);

  VEXABRUSH m_brush;
  std::vector<std::unique_ptr<CVEXASymbol>> m_symbols;
  int m_bChanged = 0;
};
