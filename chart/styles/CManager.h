#pragma once

// The character-style manager of a chart: the committed character styles and the current one
// that receives the texts being drawn.

#include <cstdint>
#include <memory>
#include <vector>

#include "chart/styles/CharStyle.h"
#include "chart/styles/StyleStore.h"

/// Character styles, each held once (by all 76 bytes of its TEXTSTYLE) with all its texts.
/// Commit and interning follow the line manager's rules.
class CCManager : public CStyleStore {
 public:
  /// No styles; a current style with the default TEXTSTYLE and no mapper.
  CCManager();
  ~CCManager() override;

  /// Attaches the manager to a document's mapper (not owned), given to every style. With
  /// `newCurrent` the current style starts afresh with the defaults for that mapper. Refused
  /// (false) when the manager already has a document.
  bool Attach(CMapper* mapper, bool newCurrent);

  /// When the current style holds texts: puts it in the committed list (unless it is there
  /// already) and starts a fresh current style with the same TEXTSTYLE.
  void Commit();

  CCharStyle* GetCurrentStyle() const { return m_pCurrent; }
  const TEXTSTYLE& GetTextStyle() const { return m_pCurrent->GetTextStyle(); }
  bool IsCurrentShared() const { return m_bShared != 0; }

  /// Each setter commits first. The whole style goes through CheckTextStyle.
  void SetTextStyle(const TEXTSTYLE& style);
  /// Character height in mm; false (nothing changed) outside the heights a style accepts.
  bool SetSize(float heightMm);
  /// False (nothing changed) for a value that is not a justification code.
  bool SetJustification(std::uint32_t code);
  /// The text angle in tenths of a degree (the font's escapement and orientation).
  void SetAngle(std::int32_t tenthsOfDegree);
  void SetColour(tessmor::COLORREF colour);
  void SetBackground(tessmor::COLORREF colour);

  /// Adds a text to the current style, interning first.
  void AddString(std::unique_ptr<CVEXAString> text);
  /// Moves `text` of this manager to the style with `style`: the first committed style with
  /// the same TEXTSTYLE, or a new one at the end of the list. The style it leaves is dropped
  /// when it empties; its flags go with the text. The style that drawing goes on with is
  /// unchanged. Returns the text's style afterwards, or null (nothing changed) when the
  /// manager does not hold the text.
  CCharStyle* RestyleString(CVEXAString* text, const TEXTSTYLE& style);

  int GetSize() const override { return static_cast<int>(m_styles.size()); }
  /// The committed style at 1-based `position`; null outside 1 .. GetSize().
  CCharStyle* GetStyle(int position) const;
  int DeleteItems(int tag) override;
  /// Every style that is drawn: the committed ones in order, then the current style when it
  /// holds texts of its own.
  std::vector<CCharStyle*> AllStyles() const;
  /// Derives every style's font height for the mapper as it is now and, with `dc`, lays
  /// every text out again on it.
  void RealizeFonts(tessmor::DC* dc);

  /// Draws the committed styles in order, then the current style when it holds texts of
  /// its own.
  void DrawItems(tessmor::DC& dc, bool all);
  /// The union of the bounds of every text laid out again on `dc` (logical units).
  tessmor::RECT GetBounds(tessmor::DC& dc);
  /// The text at paper point `p` (mm), searched from the top down: the current style's own
  /// texts, then the committed styles from the last, each from its last text. Null without a
  /// mapper or a hit.
  CVEXAString* HitTestText(PaperPoint p) const;

  /// Writes or reads the stored form: kind 4, a 16-bit count and the character styles (kind
  /// 0 and nothing more while no style is committed).
  void Serialize(tessmor::Archive& ar) override;

 private:
  void SetOwnCurrent(std::unique_ptr<CCharStyle> fresh);
  void AppendCurrent();
  void InternCurrent();
  const CCharStyle* OwnCurrentWithItems() const;

  std::vector<std::unique_ptr<CCharStyle>> m_styles;
  std::unique_ptr<CCharStyle> m_ownCurrent;
  CCharStyle* m_pCurrent = nullptr;
  int m_bShared = 0;
};
