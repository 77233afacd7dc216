#pragma once

// The character-style manager of a chart: the committed character styles and the current one
// that receives the texts being drawn.

#include <cstdint>
#include <memory>

#include "chart/styles/CharStyle.h"
#include "chart/styles/StyleList.h"

/// Character styles, each held once (by all 76 bytes of its TEXTSTYLE) with all its texts.
class CCManager : public CStyleList<CCharStyle> {
 public:
  /// No styles; a current style with the default TEXTSTYLE and no mapper.
  CCManager();
  ~CCManager() override;

  /// Attaches the manager to a document's mapper (not owned), given to every style. With
  /// `newCurrent` the current style starts afresh with the defaults for that mapper. Refused
  /// (false) when the manager already has a document.
  bool Attach(CMapper* mapper, bool newCurrent);

  CCharStyle* GetCurrentStyle() const { return m_pCurrent; }
  const TEXTSTYLE& GetTextStyle() const { return m_pCurrent->GetTextStyle(); }

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

 protected:
  std::uint32_t OwnKind() const override { return kKindChar; }
  std::unique_ptr<CCharStyle> MakeFreshStyle() const override;
  bool MatchesCurrent(const CCharStyle& s) const override;
};
