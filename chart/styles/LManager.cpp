#include "chart/styles/LManager.h"

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
  if (!AttachStyles(mapper, newCurrent)) return false;
  if (newCurrent) {
    SetOwnCurrent(MakeFreshStyle());
    m_pCurrent->SetPen(nullptr);
  }
  return true;
}

std::unique_ptr<CLineStyle> CLManager::MakeFreshStyle() const {
  return std::make_unique<CLineStyle>(&m_pCurrent->GetPen(), GetMapper());
}

bool CLManager::MatchesCurrent(const CLineStyle& s) const {
  return s.ComparePen(m_pCurrent->GetPen());
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

CLineStyle* CLManager::RestyleStroke(CStroke* item, const VEXAPEN& pen) {
  if (!item) return nullptr;
  // The item's style is committed first, so that it is in the list from here on.
  Commit();
  CLineStyle* from = item->GetLineStyle();
  if (!IsCommitted(from)) return nullptr;
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

void CLManager::DrawItems(tessmor::DC& dc, bool all) const {
  ForEachDrawn([&](const CLineStyle& s) { s.DrawItems(dc, all); });
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
  ForEachStyle(add);
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
  return FindFromTop<CStroke>(search);
}

void CLManager::Serialize(tessmor::Archive& ar) {
  SerializeStyles(ar, false, kStoredLineStyleMinBytes,
                  [] { return std::make_unique<CLineStyle>(nullptr, nullptr); });
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
