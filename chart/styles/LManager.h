#pragma once

// The line-style manager of a chart: the committed line styles and the current one that
// receives the lines and arcs being drawn.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/styles/LineStyle.h"
#include "chart/styles/StyleStore.h"
#include "platform/io/Archive.h"

class CStroke;

/// Line styles, each held once with all its lines and arcs.
///
/// Drawing code changes the pen and adds items; the manager never lets a pen change reach a
/// style that already holds items (it commits first), and a fresh style that receives its
/// first item is swapped for a committed style with the same pen when there is one. The
/// current style is either a member of the committed list (shared) or owned apart from it.
class CLManager : public CStyleStore {
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

  /// When the current style holds items: puts it in the committed list (unless it is there
  /// already) and starts a fresh current style with the same pen. Otherwise nothing happens.
  virtual void Commit();

  /// The current pen.
  const VEXAPEN& GetPen() const { return m_pCurrent->GetPen(); }
  CLineStyle* GetCurrentStyle() const { return m_pCurrent; }
  /// True when the current style is also in the committed list.
  bool IsCurrentShared() const { return m_bShared != 0; }

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

  int GetSize() const override { return static_cast<int>(m_styles.size()); }
  /// The committed style at 1-based `position`; null outside 1 .. GetSize().
  CLineStyle* GetStyle(int position) const;
  /// Every style that is drawn: the committed ones in order, then the current style when it
  /// holds items of its own.
  std::vector<CLineStyle*> AllStyles() const;
  /// Deletes the items of group `tag` (all for −1) in the committed styles and the current
  /// one, and drops the committed styles left empty; a shared current style that empties
  /// stays current, owned apart from the list.
  int DeleteItems(int tag) override;

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
  /// Moves an item of committed style `from` to the style that `apply` describes: the
  /// current style is committed, given the attributes by `apply` and interned; `move` then
  /// takes the item from `from` into it. The current attributes come back afterwards and
  /// `from` is dropped when it empties. Returns the item's new style.
  CLineStyle* Rehome(CLineStyle* from, const std::function<void(CLineStyle&)>& apply,
                     const std::function<void(CLineStyle&)>& move);
  /// A fresh style with the current attributes and the mapper.
  virtual std::unique_ptr<CLineStyle> MakeFreshStyle() const;
  /// True when committed style `s` has the attributes of the current style.
  virtual bool MatchesCurrent(const CLineStyle& s) const;
  /// When the current style is empty, swaps it for the first committed style that matches.
  void InternCurrent();
  /// Puts the current style in the committed list when it is owned apart from it.
  void AppendCurrent();
  /// Makes `fresh` the current style, owned apart from the list.
  void SetOwnCurrent(std::unique_ptr<CLineStyle> fresh);
  /// The current style when it is owned apart from the list and holds items; else null.
  const CLineStyle* OwnCurrentWithItems() const;
  /// Reads `count` styles made by `make` and keeps those that hold items.
  template <typename Make>
  std::vector<std::unique_ptr<CLineStyle>> LoadStyles(tessmor::Archive& ar, std::uint32_t count,
                                                      std::uint64_t minBytes, Make make);

  std::vector<std::unique_ptr<CLineStyle>> m_styles;
  std::unique_ptr<CLineStyle> m_ownCurrent;
  CLineStyle* m_pCurrent = nullptr;
  int m_bShared = 0;
};

template <typename Make>
std::vector<std::unique_ptr<CLineStyle>> CLManager::LoadStyles(tessmor::Archive& ar,
                                                               std::uint32_t count,
                                                               std::uint64_t minBytes, Make make) {
  if (static_cast<std::uint64_t>(count) * minBytes > BytesLeft(ar))
    throw tessmor::ArchiveException();
  std::vector<std::unique_ptr<CLineStyle>> read;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::unique_ptr<CLineStyle> style = make();
    style->SetMapper(GetMapper());
    style->Serialize(ar);
    if (!style->IsEmpty()) read.push_back(std::move(style));
  }
  return read;
}
