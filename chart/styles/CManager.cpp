#include "chart/styles/CManager.h"

#include <algorithm>
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
  if (IsAttached()) return false;
  SetMapperInternal(mapper);
  for (auto& s : m_styles) s->SetMapper(mapper);
  m_pCurrent->SetMapper(mapper);
  if (newCurrent) {
    if (!m_pCurrent->IsEmpty()) AppendCurrent();
    SetOwnCurrent(std::make_unique<CCharStyle>(nullptr, mapper));
  }
  return true;
}

void CCManager::SetOwnCurrent(std::unique_ptr<CCharStyle> fresh) {
  m_ownCurrent = std::move(fresh);
  m_pCurrent = m_ownCurrent.get();
  m_bShared = 0;
}

void CCManager::AppendCurrent() {
  if (m_bShared) return;
  if (GetKind() == kKindUnknown) SetKind(kKindChar);
  m_styles.push_back(std::move(m_ownCurrent));
  m_bShared = 1;
}

void CCManager::Commit() {
  if (m_pCurrent->IsEmpty()) return;
  AppendCurrent();
  const TEXTSTYLE style = m_pCurrent->GetTextStyle();
  SetOwnCurrent(std::make_unique<CCharStyle>(&style, GetMapper()));
}

void CCManager::InternCurrent() {
  if (!m_pCurrent->IsEmpty()) return;
  for (auto& s : m_styles) {
    if (s.get() == m_pCurrent || !s->Compare(m_pCurrent->GetTextStyle())) continue;
    m_ownCurrent.reset();
    m_pCurrent = s.get();
    m_bShared = 1;
    return;
  }
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
  auto it = std::find_if(m_styles.begin(), m_styles.end(),
                         [from](const auto& s) { return s.get() == from; });
  if (!from || it == m_styles.end()) return nullptr;
  // The record as a style holds it, so that equal styles compare equal.
  CCharStyle probe(&style, GetMapper());
  if (from->Compare(probe.GetTextStyle())) return from;
  auto drawing = std::make_unique<CCharStyle>(&m_pCurrent->GetTextStyle(), GetMapper());
  drawing->AddFlags(m_pCurrent->GetFlags());
  m_pCurrent->SetTextStyle(probe.GetTextStyle());
  InternCurrent();
  CCharStyle* home = m_pCurrent;
  home->AddString(from->RemoveString(text));
  home->AddFlags(from->GetFlags());
  AppendCurrent();
  SetOwnCurrent(std::move(drawing));
  if (from->IsEmpty()) {
    it = std::find_if(m_styles.begin(), m_styles.end(),
                      [from](const auto& s) { return s.get() == from; });
    if (it != m_styles.end()) m_styles.erase(it);
  }
  return home;
}

CCharStyle* CCManager::GetStyle(int position) const {
  if (position < 1 || position > GetSize()) return nullptr;
  return m_styles[static_cast<std::size_t>(position - 1)].get();
}

int CCManager::DeleteItems(int tag) {
  int deleted = 0;
  for (auto& s : m_styles) deleted += s->DeleteItems(tag);
  if (!m_bShared) deleted += m_pCurrent->DeleteItems(tag);
  for (auto it = m_styles.begin(); it != m_styles.end();) {
    if (!(*it)->IsEmpty()) {
      ++it;
      continue;
    }
    if (it->get() == m_pCurrent) {
      m_ownCurrent = std::move(*it);
      m_bShared = 0;
    }
    it = m_styles.erase(it);
  }
  return deleted;
}

const CCharStyle* CCManager::OwnCurrentWithItems() const {
  return !m_bShared && !m_pCurrent->IsEmpty() ? m_pCurrent : nullptr;
}

void CCManager::DrawItems(tessmor::DC& dc, bool all) {
  for (auto& s : m_styles) s->DrawItems(dc, all);
  if (OwnCurrentWithItems()) m_pCurrent->DrawItems(dc, all);
}

tessmor::RECT CCManager::GetBounds(tessmor::DC& dc) {
  tessmor::RECT bounds{};
  auto add = [&bounds, &dc](CCharStyle& s) {
    s.LayoutItems(dc);
    for (int i = 0; i < s.GetStringCount(); ++i)
      bounds = Unite(bounds, s.GetString(i)->GetBounds());
  };
  for (auto& s : m_styles) add(*s);
  if (!m_bShared) add(*m_pCurrent);
  return bounds;
}

std::vector<CCharStyle*> CCManager::AllStyles() const {
  std::vector<CCharStyle*> all;
  all.reserve(m_styles.size() + 1);
  for (const auto& s : m_styles) all.push_back(s.get());
  if (OwnCurrentWithItems()) all.push_back(m_pCurrent);
  return all;
}

void CCManager::RealizeFonts(tessmor::DC* dc) {
  auto realise = [dc](CCharStyle& s) {
    s.RecomputeFont();
    if (dc) s.LayoutItems(*dc);
  };
  for (auto& s : m_styles) realise(*s);
  if (!m_bShared) realise(*m_pCurrent);
}

CVEXAString* CCManager::HitTestText(PaperPoint p) const {
  if (!GetMapper()) return nullptr;
  const tessmor::POINT at = GetMapper()->PaperToDevice(p);
  auto search = [at](const CCharStyle& s) -> CVEXAString* {
    for (int i = s.GetStringCount() - 1; i >= 0; --i)
      if (s.GetString(i)->HitTest(at.x, at.y)) return s.GetString(i);
    return nullptr;
  };
  if (const CCharStyle* own = OwnCurrentWithItems())
    if (CVEXAString* hit = search(*own)) return hit;
  for (auto it = m_styles.rbegin(); it != m_styles.rend(); ++it)
    if (CVEXAString* hit = search(**it)) return hit;
  return nullptr;
}

void CCManager::Serialize(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    const std::uint32_t kind = m_styles.empty() ? GetKind() : kKindChar;
    ar.WriteU16(static_cast<std::uint16_t>(kind));
    if (kind != kKindChar) return;
    const std::size_t count = std::min<std::size_t>(m_styles.size(), 0xFFFF);
    ar.WriteU16(static_cast<std::uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i) m_styles[i]->Serialize(ar);
    return;
  }
  const std::uint16_t kind = ar.ReadU16();
  if (kind == kKindLine || kind == kKindFill) throw tessmor::ArchiveException();
  if (kind != kKindChar) return;
  const std::uint16_t count = ar.ReadU16();
  if (static_cast<std::uint64_t>(count) * kStoredCharStyleMinBytes > BytesLeft(ar))
    throw tessmor::ArchiveException();
  std::vector<std::unique_ptr<CCharStyle>> read;
  for (std::uint16_t i = 0; i < count; ++i) {
    auto style = std::make_unique<CCharStyle>(nullptr, GetMapper());
    style->Serialize(ar);
    if (!style->IsEmpty()) read.push_back(std::move(style));
  }
  if (read.empty()) return;
  SetKind(kKindChar);
  for (auto& s : read) m_styles.push_back(std::move(s));
}
