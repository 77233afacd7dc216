#pragma once

// The line-style manager of a chart: the committed line styles and the current one that
// receives the lines and arcs being drawn.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "chart/styles/LineStyle.h"
#include "chart/styles/StyleList.h"
#include "platform/io/Archive.h"

class CStroke;

/// Line styles, each held once (by its pen) with all its lines and arcs.
class CLManager : public CStyleList<CLineStyle> {
 public:
  /// Where the default pen is kept in the per-user settings.
  static constexpr const char* kDefaultPenSection = "default CLManager";
  static constexpr const char* kDefaultPenKey = "defPen ";

  /// No styles; a current style with the default pen and no mapper.
  CLManager();
  ~CLManager() override;

  /// Attaches the manager to a document's mapper (not owned): every style, the current one
  /// included, is given it. With `newCurrent` the current style is replaced by a fresh one
  /// with the default pen. Refused (false) when the manager already has a document.
  bool Attach(CMapper* mapper, bool newCurrent);

  /// The current pen.
  const VEXAPEN& GetPen() const { return m_pCurrent->GetPen(); }
  CLineStyle* GetCurrentStyle() const { return m_pCurrent; }

  /// Commits, then sets the pen through CheckPenStyle (the default pen for null); returns
  /// what the check returned.
  int SetPen(const VEXAPEN* pen);
  /// Commits, then sets the pen style when it is 0-6 or 16-21 (returns 1), else returns 0.
  int SetPenStyle(std::int32_t style);
  /// Commits, then for `mode` 1 sets the colour, the width in mm (a negative width becomes
  /// 0.2), the rounded ends and the spline; any other mode sets only the background colour
  /// (`colour`). Colours keep their low 24 bits.
  void SetPenAttributes(int mode, tessmor::COLORREF colour, float width, std::int32_t roundEnds,
                        std::int32_t spline);

  /// Adds a line item to the current style (interning first). A line without vertices is
  /// dropped: returns 0.
  int AddLine(std::unique_ptr<CVEXALine> line);
  /// Adds an arc item to the current style (interning first).
  void AddArc(std::unique_ptr<CVEXAArc> arc);

  /// Moves line or arc `item` of this manager to the style with `pen` (through
  /// CheckPenStyle): the first committed style with that pen, or a new one at the end of the
  /// list. The style it leaves is dropped when it empties; its flags go with the item. The
  /// pen that drawing goes on with is unchanged. Returns the item's style afterwards, or null
  /// (nothing changed) when the manager does not hold the item.
  CLineStyle* RestyleStroke(CStroke* item, const VEXAPEN& pen);

  /// Draws the committed styles in order, then the current style when it holds items of its
  /// own. Unless `all`, items whose regions miss the clip box are skipped.
  virtual void DrawItems(tessmor::DC& dc, bool all) const;
  /// The union of every item's bounds (logical units), each item's region rebuilt first;
  /// all zero when there are no items.
  virtual tessmor::RECT GetBounds();
  /// The stroke at logical point (x, y), searched from the top down: the current style's own
  /// items, then the committed styles from the last; within a style arcs (drawn last) before
  /// lines, each list from its end. Null when none is hit. Not for a fill manager.
  CStroke* HitTestStroke(std::int32_t x, std::int32_t y) const;

  /// Writes or reads the stored form: kind 1, a 16-bit count and the line styles (kind 0
  /// and nothing more while no style is committed).
  void Serialize(tessmor::Archive& ar) override;

  /// Lets the user edit a pen with the pen dialog: the dialog starts from `*pen`, or the
  /// current pen when `pen` is null, read over from the settings first when `useSettings`.
  /// On OK the result goes back to `*pen` (when given), becomes the current pen (SetPen) and,
  /// when `useSettings`, is written to the settings. `place` is empty for "default CLManager"
  /// and "defPen ", or a section, a carriage return and a key. Returns 1 on OK, else 0 with
  /// nothing changed.
  int EditDefaultPen(VEXAPEN* pen, bool useSettings, const std::string& place = {});

 protected:
  std::uint32_t OwnKind() const override { return kKindLine; }
  std::unique_ptr<CLineStyle> MakeFreshStyle() const override;
  bool MatchesCurrent(const CLineStyle& s) const override;
};
