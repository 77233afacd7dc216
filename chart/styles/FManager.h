#pragma once

// The fill-style manager of a chart: the committed fill styles and the current one that
// receives the filled polygons, filled arcs and marker symbols being drawn.

#include <cstdint>
#include <memory>
#include <string>

#include "chart/styles/FillStyle.h"
#include "chart/styles/LManager.h"

class CBitmapStore;

/// Fill styles (a pen and a brush), each held once with all its filled items and symbols.
///
/// Besides the styles the manager keeps the symbol record of the last symbol added (or the
/// one the marker editor set): the template that the next symbol is drawn from.
class CFManager : public CLManager {
 public:
  /// Where the default marker is kept in the per-user settings.
  static constexpr const char* kDefaultMarkerSection = "Default FillManager";
  static constexpr const char* kDefaultMarkerKey = "defSymbol ";

  /// No styles; a current fill style with the default pen and brush, no template symbol.
  CFManager();
  ~CFManager() override;

  /// The document's bitmap store (not owned), for pattern brushes; may be null.
  void SetBitmapStore(CBitmapStore* bitmaps) { m_pBitmaps = bitmaps; }

  /// When the current style holds items: a committed style with the same pen and brush
  /// becomes the current one's home (its items move there), else the current style is
  /// committed; then a fresh current style starts with the same pen and brush.
  void Commit() override;

  CFillStyle* GetCurrentFillStyle() const { return static_cast<CFillStyle*>(m_pCurrent); }
  const VEXABRUSH& GetBrush() const { return GetCurrentFillStyle()->GetBrush(); }
  /// Commits, then CFillStyle::SetBrush(colour, code).
  void SetBrush(tessmor::COLORREF colour, int code);
  /// Commits, then a pattern brush of bitmap `bitmap` in the document's store.
  void SetPatternBrush(std::int32_t bitmap);
  /// Commits, then copies the whole brush (CopyBrushStyle); returns what it returned.
  int SetBrush(const VEXABRUSH* brush);

  /// Add items to the current style, interning first. A polygon fill without vertices is
  /// dropped (returns 0).
  int AddPolyFill(std::unique_ptr<CVEXAPolyFill> fill);
  void AddArcFill(std::unique_ptr<CVEXAArcFill> fill);
  /// Also makes the symbol's record the template.
  void AddSymbol(std::unique_ptr<CVEXASymbol> symbol);
  /// The item kinds of RestyleFilled (the chart's kind bits).
  static constexpr std::uint16_t kSymbolKind = 4;
  static constexpr std::uint16_t kPolyFillKind = 8;
  static constexpr std::uint16_t kArcFillKind = 32;
  /// Moves `item` of this manager, of `kind` (kSymbolKind, kPolyFillKind or kArcFillKind),
  /// to the style with `pen` and `brush` (through CheckPenStyle and CopyBrushStyle), as
  /// RestyleStroke does for lines. Returns the item's style afterwards, or null.
  CFillStyle* RestyleFilled(void* item, std::uint16_t kind, const VEXAPEN& pen,
                            const VEXABRUSH& brush);
  /// The template symbol record; null when no symbol was added or set yet.
  const VEXASYMBOL* GetTemplateSymbol() const { return m_bHasTemplate ? &m_template : nullptr; }
  void SetTemplateSymbol(const VEXASYMBOL& symbol);

  /// The committed fill style at 1-based `position`; null outside 1 .. GetSize().
  CFillStyle* GetFillStyle(int position) const {
    return static_cast<CFillStyle*>(GetStyle(position));
  }

  /// Draws the committed styles in order, then the current style when it holds items of its
  /// own, with the document's bitmaps for pattern brushes.
  void DrawItems(tessmor::DC& dc, bool all) const override;
  tessmor::RECT GetBounds() override;
  /// The symbol at paper point `p` (mm), searched from the top down as HitTestStroke does;
  /// null without a mapper or a hit.
  CVEXASymbol* HitTestSymbol(PaperPoint p) const;
  /// The polygon fill or arc fill at logical point (x, y), from the top down: arc fills
  /// before polygon fills within a style. Null when none is hit.
  CStroke* HitTestFilled(std::int32_t x, std::int32_t y) const;

  /// Writes or reads the stored form: kind 2, a 32-bit count and the fill styles (kind 0
  /// and nothing more while no style is committed).
  void Serialize(tessmor::Archive& ar) override;

  /// Lets the user edit a marker with the marker dialog: it starts from `*marker`, or the
  /// current pen, brush and template symbol when `marker` is null, read over from the
  /// settings first when `useSettings`. On OK the result goes back to `*marker` (when
  /// given), its pen and brush become the current ones, its symbol the template, and, when
  /// `useSettings`, it is written to the settings. `place` is empty for "Default
  /// FillManager" and "defSymbol ", or a section, a carriage return and a key. Returns 1 on
  /// OK, else 0 with nothing changed.
  int EditDefaultMarker(VEXAMARKER* marker, bool useSettings, const std::string& place = {});

 protected:
  std::uint32_t OwnKind() const override { return kKindFill; }
  std::unique_ptr<CLineStyle> MakeFreshStyle() const override;
  bool MatchesCurrent(const CLineStyle& s) const override;

 private:
  CBitmapStore* m_pBitmaps = nullptr;
  VEXASYMBOL m_template{};
  bool m_bHasTemplate = false;
};
