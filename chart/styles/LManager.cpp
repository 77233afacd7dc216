#include "chart/styles/LManager.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "chart/styles/PenEditDlg.h"
#include "platform/io/Archive.h"
#include "platform/ui/DialogRunner.h"
#include "plotsupport/StyleSettings.h"

namespace {

// Fewest bytes a stored line style takes: the pen and two empty item counts.
constexpr std::uint64_t kStoredLineStyleMinBytes = 28 + 2 + 2;

}  // namespace

CLManager::CLManager() { SetOwnCurrent(std::make_unique<CLineStyle>(nullptr, nullptr)); }

CLManager::~CLManager() = default;

bool CLManager::Attach(CMapper* mapper, bool newCurrent) {
  if (IsAttached()) return false;
  SetMapperInternal(mapper);
  for (auto& s : m_styles) s->SetMapper(mapper);
  m_pCurrent->SetMapper(mapper);
  if (newCurrent) {
    // The current style may hold items of its own; they go to the list with it.
    if (!m_pCurrent->IsEmpty()) AppendCurrent();
    SetOwnCurrent(MakeFreshStyle());
    m_pCurrent->SetPen(nullptr);
  }
  return true;
}

void CLManager::SetOwnCurrent(std::unique_ptr<CLineStyle> fresh) {
  m_ownCurrent = std::move(fresh);
  m_pCurrent = m_ownCurrent.get();
  m_bShared = 0;
}

void CLManager::AppendCurrent() {
  if (m_bShared) return;
  if (GetKind() == kKindUnknown) SetKind(kKindLine);
  m_styles.push_back(std::move(m_ownCurrent));
  m_bShared = 1;
}

std::unique_ptr<CLineStyle> CLManager::MakeFreshStyle() const {
  return std::make_unique<CLineStyle>(&m_pCurrent->GetPen(), GetMapper());
}

bool CLManager::MatchesCurrent(const CLineStyle& s) const {
  return s.ComparePen(m_pCurrent->GetPen());
}

void CLManager::Commit() {
  if (m_pCurrent->IsEmpty()) return;
  AppendCurrent();
  SetOwnCurrent(MakeFreshStyle());
}

void CLManager::InternCurrent() {
  if (!m_pCurrent->IsEmpty()) return;
  for (auto& s : m_styles) {
    if (s.get() == m_pCurrent || !MatchesCurrent(*s)) continue;
    m_ownCurrent.reset();
    m_pCurrent = s.get();
    m_bShared = 1;
    return;
  }
}

int CLManager::SetPen(const VEXAPEN* pen) {
  Commit();
  return m_pCurrent->SetPen(pen);
}

int CLManager::SetPenStyle(std::int32_t style) {
  Commit();
  return m_pCurrent->SetPenStyle(style);
}

void CLManager::SetPenAttributes(int mode, tessmor::COLORREF colour, float width,
                                 std::int32_t roundEnds, std::int32_t spline) {
  Commit();
  VEXAPEN pen = m_pCurrent->GetPen();
  if (mode == 1) {
    pen.colour = colour & 0xFFFFFF;
    pen.width = width < 0.0f ? 0.2f : width;
    pen.roundEnds = roundEnds;
    pen.spline = spline;
  } else {
    pen.background = colour & 0xFFFFFF;
  }
  m_pCurrent->SetPen(&pen);
}

int CLManager::AddLine(std::unique_ptr<CVEXALine> line) {
  // A line that will be dropped must not swap the current style.
  if (!line || line->GetPointCount() == 0) return 0;
  InternCurrent();
  m_pCurrent->AddFlags(GetNewItemFlags());
  return m_pCurrent->AddLine(std::move(line));
}

void CLManager::AddArc(std::unique_ptr<CVEXAArc> arc) {
  if (!arc) return;
  InternCurrent();
  m_pCurrent->AddFlags(GetNewItemFlags());
  m_pCurrent->AddArc(std::move(arc));
}

CLineStyle* CLManager::Rehome(CLineStyle* from, const std::function<void(CLineStyle&)>& apply,
                              const std::function<void(CLineStyle&)>& move) {
  // The drawing attributes come back afterwards: a restyle is not a pen change.
  Commit();
  std::unique_ptr<CLineStyle> drawing = MakeFreshStyle();
  drawing->AddFlags(m_pCurrent->GetFlags());
  apply(*m_pCurrent);
  InternCurrent();
  CLineStyle* home = m_pCurrent;
  move(*home);
  home->AddFlags(from->GetFlags());
  AppendCurrent();
  SetOwnCurrent(std::move(drawing));
  if (from->IsEmpty()) {
    auto it = std::find_if(m_styles.begin(), m_styles.end(),
                           [from](const auto& s) { return s.get() == from; });
    if (it != m_styles.end()) m_styles.erase(it);
  }
  return home;
}

CLineStyle* CLManager::RestyleStroke(CStroke* item, const VEXAPEN& pen) {
  if (!item) return nullptr;
  // The item's style is committed first, so that it is in the list from here on.
  Commit();
  CLineStyle* from = item->GetLineStyle();
  const auto& all = m_styles;
  if (!from ||
      std::none_of(all.begin(), all.end(), [from](const auto& s) { return s.get() == from; }))
    return nullptr;
  VEXAPEN checked;
  CheckPenStyle(&pen, &checked);
  if (from->ComparePen(checked)) return from;
  auto* line = dynamic_cast<CVEXALine*>(item);
  auto* arc = dynamic_cast<CVEXAArc*>(item);
  return Rehome(
      from, [&](CLineStyle& s) { s.SetPen(&checked); },
      [&](CLineStyle& home) {
        if (line)
          home.AddLine(from->RemoveLine(line));
        else if (arc)
          home.AddArc(from->RemoveArc(arc));
      });
}

CLineStyle* CLManager::GetStyle(int position) const {
  if (position < 1 || position > GetSize()) return nullptr;
  return m_styles[static_cast<std::size_t>(position - 1)].get();
}

int CLManager::DeleteItems(int tag) {
  int deleted = 0;
  for (auto& s : m_styles) deleted += s->DeleteItems(tag);
  if (!m_bShared) deleted += m_pCurrent->DeleteItems(tag);
  for (auto it = m_styles.begin(); it != m_styles.end();) {
    if (!(*it)->IsEmpty()) {
      ++it;
      continue;
    }
    if (it->get() == m_pCurrent) {
      // The current style stays current, now owned apart from the list.
      m_ownCurrent = std::move(*it);
      m_bShared = 0;
    }
    it = m_styles.erase(it);
  }
  return deleted;
}

std::vector<CLineStyle*> CLManager::AllStyles() const {
  std::vector<CLineStyle*> all;
  all.reserve(m_styles.size() + 1);
  for (const auto& s : m_styles) all.push_back(s.get());
  if (OwnCurrentWithItems()) all.push_back(m_pCurrent);
  return all;
}

const CLineStyle* CLManager::OwnCurrentWithItems() const {
  return !m_bShared && !m_pCurrent->IsEmpty() ? m_pCurrent : nullptr;
}

void CLManager::DrawItems(tessmor::DC& dc, bool all) const {
  for (const auto& s : m_styles) s->DrawItems(dc, all);
  if (const CLineStyle* own = OwnCurrentWithItems()) own->DrawItems(dc, all);
}

tessmor::RECT CLManager::GetBounds() {
  tessmor::RECT bounds{};
  auto add = [&bounds](CLineStyle& s) {
    for (int i = 0; i < s.GetLineCount(); ++i) {
      s.GetLine(i)->ComputeRegion();
      bounds = Unite(bounds, s.GetLine(i)->GetBounds());
    }
    for (int i = 0; i < s.GetArcCount(); ++i) {
      s.GetArc(i)->Recompute(false);
      bounds = Unite(bounds, s.GetArc(i)->GetBounds());
    }
  };
  for (auto& s : m_styles) add(*s);
  if (!m_bShared) add(*m_pCurrent);
  return bounds;
}

CStroke* CLManager::HitTestStroke(std::int32_t x, std::int32_t y) const {
  auto search = [x, y](const CLineStyle& s) -> CStroke* {
    for (int i = s.GetArcCount() - 1; i >= 0; --i)
      if (s.GetArc(i)->HitTest(x, y)) return s.GetArc(i);
    for (int i = s.GetLineCount() - 1; i >= 0; --i)
      if (s.GetLine(i)->HitTest(x, y)) return s.GetLine(i);
    return nullptr;
  };
  if (const CLineStyle* own = OwnCurrentWithItems())
    if (CStroke* hit = search(*own)) return hit;
  for (auto it = m_styles.rbegin(); it != m_styles.rend(); ++it)
    if (CStroke* hit = search(**it)) return hit;
  return nullptr;
}

void CLManager::Serialize(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    const std::uint32_t kind = m_styles.empty() ? GetKind() : kKindLine;
    ar.WriteU16(static_cast<std::uint16_t>(kind));
    if (kind != kKindLine) return;
    const std::size_t count = std::min<std::size_t>(m_styles.size(), 0xFFFF);
    ar.WriteU16(static_cast<std::uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i) m_styles[i]->Serialize(ar);
    return;
  }
  const std::uint16_t kind = ar.ReadU16();
  if (kind == kKindFill || kind == kKindChar) throw tessmor::ArchiveException();
  if (kind != kKindLine) return;
  auto read = LoadStyles(ar, ar.ReadU16(), kStoredLineStyleMinBytes,
                         [] { return std::make_unique<CLineStyle>(nullptr, nullptr); });
  if (read.empty()) return;
  SetKind(kKindLine);
  for (auto& s : read) m_styles.push_back(std::move(s));
}

int CLManager::EditDefaultPen(VEXAPEN* pen, bool useSettings, const std::string& place) {
  const auto [section, key] = SettingsPlace(place, kDefaultPenSection, kDefaultPenKey);
  VEXAPEN start = pen ? *pen : m_pCurrent->GetPen();
  if (useSettings) ReadPenSettings(section, key, &start);
  CPenEditDlg dlg(start);
  if (!tessmor::GetDialogRunner().DoModal(dlg, CPenEditDlg::IDD)) return 0;
  if (pen) *pen = dlg.m_pen;
  SetPen(&dlg.m_pen);
  if (useSettings) WritePenSettings(section, key, dlg.m_pen);
  return 1;
}
