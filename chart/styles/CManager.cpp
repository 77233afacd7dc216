#include "chart/styles/CManager.h"

#include <utility>

#include "chart/paper/Mapper.h"
#include "platform/io/Archive.h"

namespace {

// Fewest bytes a stored character style takes: the TEXTSTYLE and an empty text count.
constexpr std::uint64_t kStoredCharStyleMinBytes = 76 + 2;

}  // namespace

CCManager::CCManager() { SetOwnCurrent(std::make_unique<CCharStyle>(nullptr, nullptr)); }

CCManager::~CCManager() = default;

bool CCManager::Attach(CMapper* mapper, bool newCurrent) {
  if (!AttachStyles(mapper, newCurrent)) return false;
  if (newCurrent) SetOwnCurrent(std::make_unique<CCharStyle>(nullptr, mapper));
  return true;
}

std::unique_ptr<CCharStyle> CCManager::MakeFreshStyle() const {
  return std::make_unique<CCharStyle>(&m_pCurrent->GetTextStyle(), GetMapper());
}

bool CCManager::MatchesCurrent(const CCharStyle& s) const {
  return s.Compare(m_pCurrent->GetTextStyle());
}

void CCManager::SetTextStyle(const TEXTSTYLE& style) {
  Commit();
  m_pCurrent->SetTextStyle(style);
}

bool CCManager::SetSize(float heightMm) {
  Commit();
  return m_pCurrent->SetHeight(heightMm);
}

bool CCManager::SetJustification(std::uint32_t code) {
  Commit();
  return m_pCurrent->SetJustification(code);
}

void CCManager::SetAngle(std::int32_t tenthsOfDegree) {
  Commit();
  TEXTSTYLE style = m_pCurrent->GetTextStyle();
  style.font.lfEscapement = tenthsOfDegree;
  style.font.lfOrientation = tenthsOfDegree;
  m_pCurrent->SetTextStyle(style);
}

void CCManager::SetColour(tessmor::COLORREF colour) {
  Commit();
  m_pCurrent->SetColour(colour);
}

void CCManager::SetBackground(tessmor::COLORREF colour) {
  Commit();
  m_pCurrent->SetBackground(colour);
}

void CCManager::AddString(std::unique_ptr<CVEXAString> text) {
  if (!text) return;
  InternCurrent();
  m_pCurrent->AddFlags(GetNewItemFlags());
  m_pCurrent->AddString(std::move(text));
}

CCharStyle* CCManager::RestyleString(CVEXAString* text, const TEXTSTYLE& style) {
  if (!text) return nullptr;
  Commit();
  CCharStyle* from = text->GetStyle();
  if (!IsCommitted(from)) return nullptr;
  // The record as a style holds it, so that equal styles compare equal.
  CCharStyle probe(&style, GetMapper());
  if (from->Compare(probe.GetTextStyle())) return from;
  return Rehome(
      from, [&](CCharStyle& s) { s.SetTextStyle(probe.GetTextStyle()); },
      [&](CCharStyle& home) { home.AddString(from->RemoveString(text)); });
}

void CCManager::DrawItems(tessmor::DC& dc, bool all) {
  ForEachDrawn([&](CCharStyle& s) { s.DrawItems(dc, all); });
}

tessmor::RECT CCManager::GetBounds(tessmor::DC& dc) {
  tessmor::RECT bounds{};
  auto add = [&bounds, &dc](CCharStyle& s) {
    s.LayoutItems(dc);
    for (int i = 0; i < s.GetStringCount(); ++i)
      bounds = Unite(bounds, s.GetString(i)->GetBounds());
  };
  ForEachStyle(add);
  return bounds;
}

void CCManager::RealizeFonts(tessmor::DC* dc) {
  auto realise = [dc](CCharStyle& s) {
    s.RecomputeFont();
    if (dc) s.LayoutItems(*dc);
  };
  ForEachStyle(realise);
}

CVEXAString* CCManager::HitTestText(PaperPoint p) const {
  if (!GetMapper()) return nullptr;
  const tessmor::POINT at = GetMapper()->PaperToDevice(p);
  return FindFromTop<CVEXAString>([at](const CCharStyle& s) -> CVEXAString* {
    for (int i = s.GetStringCount() - 1; i >= 0; --i)
      if (s.GetString(i)->HitTest(at.x, at.y)) return s.GetString(i);
    return nullptr;
  });
}

void CCManager::Serialize(tessmor::Archive& ar) {
  SerializeStyles(ar, false, kStoredCharStyleMinBytes,
                  [this] { return std::make_unique<CCharStyle>(nullptr, GetMapper()); });
}
