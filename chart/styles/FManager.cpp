#include "chart/styles/FManager.h"

#include <utility>

#include "chart/items/VexaArcFill.h"
#include "chart/items/VexaPolyFill.h"
#include "chart/items/VexaSymbol.h"
#include "chart/paper/Mapper.h"
#include "chart/styles/MarkerEditDlg.h"
#include "chart/styles/PenEditDlg.h"
#include "platform/io/Archive.h"
#include "platform/ui/DialogRunner.h"
#include "plotsupport/StyleSettings.h"

namespace {

// Fewest bytes a stored fill style takes: the line-style form with no items, three item
// counts and the brush.
constexpr std::uint64_t kStoredFillStyleMinBytes = 28 + 2 + 2 + 12 + 24;

// Moves every item of `from` into `to`.
void MoveItems(CFillStyle& from, CFillStyle& to) {
  while (from.GetLineCount() > 0) {
    std::unique_ptr<CVEXALine> item = from.RemoveLine(from.GetLine(0));
    // A fill style's line list holds polygon fills only.
    to.AddPolyFill(std::unique_ptr<CVEXAPolyFill>(static_cast<CVEXAPolyFill*>(item.release())));
  }
  while (from.GetArcCount() > 0) {
    std::unique_ptr<CVEXAArc> item = from.RemoveArc(from.GetArc(0));
    to.AddArcFill(std::unique_ptr<CVEXAArcFill>(static_cast<CVEXAArcFill*>(item.release())));
  }
  while (from.GetSymbolCount() > 0) to.AddSymbol(from.RemoveSymbol(from.GetSymbol(0)));
}

}  // namespace

CFManager::CFManager() { SetOwnCurrent(std::make_unique<CFillStyle>(nullptr, nullptr)); }

CFManager::~CFManager() = default;

std::unique_ptr<CLineStyle> CFManager::MakeFreshStyle() const {
  auto fresh = std::make_unique<CFillStyle>(&m_pCurrent->GetPen(), GetMapper());
  fresh->SetBrush(&GetCurrentFillStyle()->GetBrush());
  return fresh;
}

bool CFManager::MatchesCurrent(const CLineStyle& s) const {
  const CFillStyle* current = GetCurrentFillStyle();
  return static_cast<const CFillStyle&>(s).CompareStyle(current->GetPen(), current->GetBrush());
}

void CFManager::Commit() {
  if (m_pCurrent->IsEmpty()) return;
  CLineStyle* found = nullptr;
  for (auto& s : m_styles) {
    if (MatchesCurrent(*s)) {
      found = s.get();
      break;
    }
  }
  if (found) {
    if (!m_bShared) {
      // An unshared current style with items can meet its twin only when its attributes
      // were set apart from the manager; its items join the twin rather than being lost.
      MoveItems(*GetCurrentFillStyle(), static_cast<CFillStyle&>(*found));
      found->AddFlags(m_pCurrent->GetFlags());
      m_ownCurrent.reset();
    }
    m_pCurrent = found;
    m_bShared = 1;
  } else {
    AppendCurrent();
  }
  SetOwnCurrent(MakeFreshStyle());
}

void CFManager::SetBrush(tessmor::COLORREF colour, int code) {
  Commit();
  GetCurrentFillStyle()->SetBrush(colour, code);
}

void CFManager::SetPatternBrush(std::int32_t bitmap) {
  Commit();
  GetCurrentFillStyle()->SetPatternBrush(bitmap);
}

int CFManager::SetBrush(const VEXABRUSH* brush) {
  Commit();
  return GetCurrentFillStyle()->SetBrush(brush);
}

int CFManager::AddPolyFill(std::unique_ptr<CVEXAPolyFill> fill) {
  if (!fill || fill->GetPointCount() == 0) return 0;
  InternCurrent();
  m_pCurrent->AddFlags(GetNewItemFlags());
  return GetCurrentFillStyle()->AddPolyFill(std::move(fill));
}

void CFManager::AddArcFill(std::unique_ptr<CVEXAArcFill> fill) {
  if (!fill) return;
  InternCurrent();
  m_pCurrent->AddFlags(GetNewItemFlags());
  GetCurrentFillStyle()->AddArcFill(std::move(fill));
}

void CFManager::AddSymbol(std::unique_ptr<CVEXASymbol> symbol) {
  if (!symbol) return;
  InternCurrent();
  m_pCurrent->AddFlags(GetNewItemFlags());
  SetTemplateSymbol(symbol->GetSymbol());
  GetCurrentFillStyle()->AddSymbol(std::move(symbol));
}

CFillStyle* CFManager::RestyleFilled(void* item, std::uint16_t kind, const VEXAPEN& pen,
                                     const VEXABRUSH& brush) {
  if (!item) return nullptr;
  Commit();
  CFillStyle* from = nullptr;
  if (kind == kSymbolKind)
    from = static_cast<CVEXASymbol*>(item)->GetStyle();
  else if (kind == kPolyFillKind || kind == kArcFillKind)
    from = static_cast<CStroke*>(item)->GetFillStyle();
  if (!IsCommitted(from)) return nullptr;
  VEXAPEN checkedPen;
  CheckPenStyle(&pen, &checkedPen);
  VEXABRUSH checkedBrush;
  CopyBrushStyle(&brush, &checkedBrush);
  if (from->CompareStyle(checkedPen, checkedBrush)) return from;
  CLineStyle* home = Rehome(
      from,
      [&](CLineStyle& s) {
        s.SetPen(&checkedPen);
        static_cast<CFillStyle&>(s).SetBrush(&checkedBrush);
      },
      [&](CLineStyle& base) {
        auto& to = static_cast<CFillStyle&>(base);
        if (kind == kSymbolKind) {
          to.AddSymbol(from->RemoveSymbol(static_cast<CVEXASymbol*>(item)));
        } else if (kind == kPolyFillKind) {
          std::unique_ptr<CVEXALine> l = from->RemoveLine(static_cast<CVEXAPolyFill*>(item));
          to.AddPolyFill(std::unique_ptr<CVEXAPolyFill>(static_cast<CVEXAPolyFill*>(l.release())));
        } else {
          std::unique_ptr<CVEXAArc> a = from->RemoveArc(static_cast<CVEXAArcFill*>(item));
          to.AddArcFill(std::unique_ptr<CVEXAArcFill>(static_cast<CVEXAArcFill*>(a.release())));
        }
      });
  return static_cast<CFillStyle*>(home);
}

void CFManager::SetTemplateSymbol(const VEXASYMBOL& symbol) {
  m_template = symbol;
  m_bHasTemplate = true;
}

void CFManager::DrawItems(tessmor::DC& dc, bool all) const {
  ForEachDrawn([&](const CLineStyle& s) {
    static_cast<const CFillStyle&>(s).DrawItems(dc, m_pBitmaps, all);
  });
}

tessmor::RECT CFManager::GetBounds() {
  tessmor::RECT bounds{};
  auto add = [&bounds](CFillStyle& s) {
    for (int i = 0; i < s.GetLineCount(); ++i) {
      s.GetLine(i)->ComputeRegion();
      bounds = Unite(bounds, s.GetLine(i)->GetBounds());
    }
    for (int i = 0; i < s.GetArcCount(); ++i) {
      s.GetArc(i)->Recompute(true);
      bounds = Unite(bounds, s.GetArc(i)->GetBounds());
    }
    for (int i = 0; i < s.GetSymbolCount(); ++i) {
      s.GetSymbol(i)->ComputeRegion();
      bounds = Unite(bounds, s.GetSymbol(i)->GetBounds());
    }
  };
  ForEachStyle([&](CLineStyle& s) { add(static_cast<CFillStyle&>(s)); });
  return bounds;
}

CVEXASymbol* CFManager::HitTestSymbol(PaperPoint p) const {
  if (!GetMapper()) return nullptr;
  const tessmor::POINT at = GetMapper()->PaperToDevice(p);
  return FindFromTop<CVEXASymbol>([at](const CLineStyle& base) -> CVEXASymbol* {
    const auto& s = static_cast<const CFillStyle&>(base);
    for (int i = s.GetSymbolCount() - 1; i >= 0; --i)
      if (s.GetSymbol(i)->HitTest(at.x, at.y)) return s.GetSymbol(i);
    return nullptr;
  });
}

CStroke* CFManager::HitTestFilled(std::int32_t x, std::int32_t y) const {
  // The stroke search looks at exactly the lists that hold the fills.
  return HitTestStroke(x, y);
}

void CFManager::Serialize(tessmor::Archive& ar) {
  SerializeStyles(ar, true, kStoredFillStyleMinBytes,
                  [] { return std::make_unique<CFillStyle>(nullptr, nullptr); });
}

int CFManager::EditDefaultMarker(VEXAMARKER* marker, bool useSettings, const std::string& place) {
  const auto [section, key] = SettingsPlace(place, kDefaultMarkerSection, kDefaultMarkerKey);
  VEXAMARKER start{};
  if (marker) {
    start = *marker;
  } else {
    CheckMarkerStyle(nullptr, &start);
    if (m_bHasTemplate) {
      start.symbol = m_template.symbol;
      start.size = m_template.size;
      start.angle = m_template.angle;
    }
    start.pen = m_pCurrent->GetPen();
    start.brush = GetCurrentFillStyle()->GetBrush();
  }
  if (useSettings) ReadMarkerSettings(section, key, &start);
  CMarkerEditDlg dlg(start);
  if (!tessmor::GetDialogRunner().DoModal(dlg, CMarkerEditDlg::IDD)) return 0;
  if (marker) *marker = dlg.m_marker;
  SetPen(&dlg.m_marker.pen);
  SetBrush(&dlg.m_marker.brush);
  VEXASYMBOL symbol{};
  symbol.symbol = dlg.m_marker.symbol;
  symbol.size = dlg.m_marker.size;
  symbol.angle = dlg.m_marker.angle;
  SetTemplateSymbol(symbol);
  if (useSettings) WriteMarkerSettings(section, key, dlg.m_marker);
  return 1;
}
