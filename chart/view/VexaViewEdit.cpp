// The chart view's editing of what the user has drawn: restyling one item through the style
// editors, and undoing the last restyle or move.

#include <string>
#include <vector>

#include "chart/items/VexaArc.h"
#include "chart/items/VexaArcFill.h"
#include "chart/items/VexaLine.h"
#include "chart/items/VexaPolyFill.h"
#include "chart/items/VexaString.h"
#include "chart/items/VexaSymbol.h"
#include "chart/styles/FillEditDlg.h"
#include "chart/styles/MarkerEditDlg.h"
#include "chart/styles/PenEditDlg.h"
#include "chart/styles/TextStyleDlg.h"
#include "chart/view/VexaView.h"
#include "platform/ui/DialogRunner.h"
#include "plotsupport/Bitmaps.h"

namespace {

using tessmor::RECT;

// The stroke of a line or arc entry.
CStroke* StrokeOf(const ChartSelectionEntry& e) {
  if (e.kind == kItemLine) return static_cast<CVEXALine*>(e.item);
  return static_cast<CVEXAArc*>(e.item);
}

// The style flags of `entry`'s item; 0 for a complex group.
std::uint32_t StyleFlagsOf(const ChartSelectionEntry& e) {
  switch (e.kind) {
    case kItemLine:
    case kItemArc: {
      const CLineStyle* s = StrokeOf(e)->GetLineStyle();
      return s ? s->GetFlags() : 0;
    }
    case kItemPolyFill: {
      const CFillStyle* s = static_cast<CVEXAPolyFill*>(e.item)->GetFillStyle();
      return s ? s->GetFlags() : 0;
    }
    case kItemArcFill: {
      const CFillStyle* s = static_cast<CVEXAArcFill*>(e.item)->GetFillStyle();
      return s ? s->GetFlags() : 0;
    }
    case kItemSymbol: {
      const CFillStyle* s = static_cast<CVEXASymbol*>(e.item)->GetStyle();
      return s ? s->GetFlags() : 0;
    }
    case kItemText: {
      const CCharStyle* s = static_cast<CVEXAString*>(e.item)->GetStyle();
      return s ? s->GetFlags() : 0;
    }
    default:
      return 0;
  }
}

// The fill style of a filled entry or symbol.
const CFillStyle* FillStyleOf(const ChartSelectionEntry& e) {
  switch (e.kind) {
    case kItemPolyFill:
      return static_cast<CVEXAPolyFill*>(e.item)->GetFillStyle();
    case kItemArcFill:
      return static_cast<CVEXAArcFill*>(e.item)->GetFillStyle();
    case kItemSymbol:
      return static_cast<CVEXASymbol*>(e.item)->GetStyle();
    default:
      return nullptr;
  }
}

// The group identifier and the bounds (logical units) of `entry`'s item, its region
// rebuilt first.
std::uint16_t RecomputeItem(const ChartSelectionEntry& e, tessmor::DC& dc, RECT& bounds) {
  switch (e.kind) {
    case kItemLine:
    case kItemPolyFill: {
      auto* line = static_cast<CVEXALine*>(e.item);
      line->ComputeRegion();
      bounds = line->GetBounds();
      return line->GetGroup();
    }
    case kItemArc:
    case kItemArcFill: {
      auto* arc = static_cast<CVEXAArc*>(e.item);
      arc->Recompute(e.kind == kItemArcFill);
      bounds = arc->GetBounds();
      return arc->GetGroup();
    }
    case kItemSymbol: {
      auto* symbol = static_cast<CVEXASymbol*>(e.item);
      symbol->ComputeRegion();
      bounds = symbol->GetBounds();
      return symbol->GetGroup();
    }
    case kItemText: {
      auto* text = static_cast<CVEXAString*>(e.item);
      text->Layout(dc);
      bounds = text->GetBounds();
      return text->GetGroup();
    }
    default:
      return 0;
  }
}

}  // namespace

bool CVexaView::OnLButtonDblClk(unsigned /*flags*/, tessmor::POINT /*point*/) {
  return EditSelectedStyle();
}

void CVexaView::SetStyleFlags(std::uint32_t flags) {
  CVexaDoc* doc = GetDocument();
  if (!doc) return;
  EndLine();
  doc->m_lineManager.SetNewItemFlags(flags);
  doc->m_fillManager.SetNewItemFlags(flags);
  doc->m_charManager.SetNewItemFlags(flags);
}

void CVexaView::AddFlagsToAllStyles(std::uint32_t flags) {
  CVexaDoc* doc = GetDocument();
  if (!doc) return;
  for (CLineStyle* s : doc->m_lineManager.AllStyles()) s->AddFlags(flags);
  for (CLineStyle* s : doc->m_fillManager.AllStyles()) s->AddFlags(flags);
  for (CCharStyle* s : doc->m_charManager.AllStyles()) s->AddFlags(flags);
}

CVexaView::EditRecord CVexaView::RecordStyleOf(const ChartSelectionEntry& e) const {
  EditRecord record;
  record.what = EditRecord::kRestyle;
  record.entry = e;
  if (e.kind == kItemLine || e.kind == kItemArc) {
    record.pen = StrokeOf(e)->GetLineStyle()->GetPen();
  } else if (e.kind == kItemText) {
    record.text = static_cast<CVEXAString*>(e.item)->GetStyle()->GetTextStyle();
  } else if (const CFillStyle* fill = FillStyleOf(e)) {
    record.pen = fill->GetPen();
    record.brush = fill->GetBrush();
    if (e.kind == kItemSymbol) record.symbol = static_cast<CVEXASymbol*>(e.item)->GetSymbol();
  }
  return record;
}

bool CVexaView::RestyleItem(const ChartSelectionEntry& e, const VEXAPEN* pen,
                            const VEXABRUSH* brush, const TEXTSTYLE* text,
                            const VEXASYMBOL* symbol) {
  CVexaDoc* doc = GetDocument();
  if (!doc || !e.item) return false;
  tessmor::DC& dc = GetReferenceDC();
  RECT before{};
  RecomputeItem(e, dc, before);

  bool changed = false;
  if ((e.kind == kItemLine || e.kind == kItemArc) && pen) {
    CStroke* stroke = StrokeOf(e);
    const CLineStyle* from = stroke->GetLineStyle();
    const CLineStyle* home = doc->m_lineManager.RestyleStroke(stroke, *pen);
    changed = home && home != from;
  } else if (e.kind == kItemText && text) {
    auto* item = static_cast<CVEXAString*>(e.item);
    const CCharStyle* from = item->GetStyle();
    const CCharStyle* home = doc->m_charManager.RestyleString(item, *text);
    changed = home && home != from;
  } else if (pen && brush && FillStyleOf(e)) {
    if (e.kind == kItemSymbol && symbol) {
      auto* item = static_cast<CVEXASymbol*>(e.item);
      const VEXASYMBOL old = item->GetSymbol();
      if (old.symbol != symbol->symbol || old.size != symbol->size || old.angle != symbol->angle)
        changed = item->SetSymbol(*symbol);
    }
    const CFillStyle* from = FillStyleOf(e);
    const CFillStyle* home = doc->m_fillManager.RestyleFilled(e.item, e.kind, *pen, *brush);
    changed = changed || (home && home != from);
  }
  if (!changed) return false;

  RECT after{};
  const std::uint16_t group = RecomputeItem(e, GetReferenceDC(), after);
  doc->MarkChanged(e.item);
  if (group) doc->UpdateGroup(group);
  doc->ClearSelection(this);
  CChartSelection& sel = doc->m_selection;
  sel.m_bRectangle = 1;
  sel.Add(e.kind, e.item, after);
  sel.m_rect = tessmor::NormalizedRect(LogicalToClient(sel.GetUnion().GetBounds()));
  sel.m_scrollPos = m_scroll;
  AddToExtent(after);
  RecalcScrollSizes();
  if (!tessmor::IsRectEmpty(before)) InvalidateClient(LogicalToClient(before));
  InvalidateClient(sel.m_rect);
  return true;
}

bool CVexaView::EditSelectedStyle() {
  EndLine();
  CVexaDoc* doc = GetDocument();
  if (!doc || doc->m_selection.GetCount() != 1) return false;
  const ChartSelectionEntry e = doc->m_selection.GetEntry(0);
  if (!(StyleFlagsOf(e) & CLineStyle::kEditable)) return false;
  tessmor::DialogRunner& runner = tessmor::GetDialogRunner();
  const EditRecord previous = RecordStyleOf(e);
  bool changed = false;

  switch (e.kind) {
    case kItemLine:
    case kItemArc: {
      VEXAPEN pen;
      CheckPenStyle(&previous.pen, &pen);
      CPenEditDlg dlg(pen);
      if (!runner.DoModal(dlg, CPenEditDlg::IDD)) return false;
      changed = RestyleItem(e, &dlg.m_pen, nullptr, nullptr, nullptr);
      break;
    }
    case kItemText: {
      CTextStyleDlg dlg(previous.text, &doc->m_mapper, m_nPixelsPerInch);
      if (!runner.DoModal(dlg, CTextStyleDlg::IDD)) return false;
      changed = RestyleItem(e, nullptr, nullptr, &dlg.m_style, nullptr);
      break;
    }
    case kItemSymbol: {
      VEXAMARKER marker{};
      marker.symbol = previous.symbol.symbol;
      marker.size = previous.symbol.size;
      marker.angle = previous.symbol.angle;
      CheckPenStyle(&previous.pen, &marker.pen);
      CopyBrushStyle(&previous.brush, &marker.brush);
      CMarkerEditDlg dlg(marker);
      if (!runner.DoModal(dlg, CMarkerEditDlg::IDD)) return false;
      VEXABRUSH brush = dlg.m_marker.brush;
      // Solid and hollow brushes as the fill styles' own setters leave them, so that a
      // symbol given back its old look finds its old style.
      if (brush.kind == kBrushSolid || brush.kind == kBrushHollow) brush.hatch = kNoHatch;
      if (brush.kind == kBrushHollow) brush.colour = 0;
      VEXASYMBOL shape{};
      shape.symbol = dlg.m_marker.symbol;
      shape.size = dlg.m_marker.size;
      shape.angle = dlg.m_marker.angle;
      changed = RestyleItem(e, &dlg.m_marker.pen, &brush, nullptr, &shape);
      break;
    }
    case kItemPolyFill:
    case kItemArcFill: {
      std::vector<CFillEditDlg::Pattern> patterns;
      bool prismOffered = false;
      for (int i = 0; i < doc->m_bitmaps.GetSize(); ++i) {
        const BitmapStoreEntry* entry = doc->m_bitmaps.GetEntry(i);
        if (!entry) continue;
        CFillEditDlg::Pattern p;
        p.storeIndex = i;
        p.resource = entry->nResourceNumber;
        p.name = "Pattern " + std::to_string(i + 1);
        if (entry->bFromResource) p.name += " (bitmap " + std::to_string(p.resource) + ")";
        prismOffered = prismOffered || (entry->bFromResource && p.resource == kPrismFillBitmap);
        patterns.push_back(p);
      }
      if (!prismOffered)
        patterns.push_back({"Prism pattern (bitmap " + std::to_string(kPrismFillBitmap) + ")", -1,
                            kPrismFillBitmap});
      CFillEditDlg dlg(previous.pen, previous.brush, std::move(patterns));
      if (!runner.DoModal(dlg, CFillEditDlg::IDD)) return false;
      VEXABRUSH brush = dlg.m_brush;
      if (brush.kind == kBrushPattern && dlg.m_nPattern >= 0 && brush.bitmap < 0) {
        // A pattern the chart has not used yet joins its bitmaps only now, on OK.
        brush.bitmap = doc->m_bitmaps.AddResourceBitmap(
            dlg.m_patterns[static_cast<std::size_t>(dlg.m_nPattern)].resource);
        if (brush.bitmap < 0) return false;
      }
      changed = RestyleItem(e, &dlg.m_pen, &brush, nullptr, nullptr);
      break;
    }
    default:
      return false;
  }
  if (changed) m_lastEdit = previous;
  return changed;
}

bool CVexaView::UndoLastEdit() {
  CVexaDoc* doc = GetDocument();
  if (!doc || m_lastEdit.what == EditRecord::kNone) return false;
  EndLine();
  const EditRecord record = m_lastEdit;
  m_lastEdit = {};
  if (record.what == EditRecord::kRestyle) {
    if (KindOfItem(record.entry.item) != record.entry.kind) return false;
    return RestyleItem(record.entry, &record.pen, &record.brush, &record.text, &record.symbol);
  }
  bool moved = false;
  for (const ChartSelectionEntry& e : record.moved) {
    if (KindOfItem(e.item) != e.kind) continue;
    if (e.kind == kItemText) {
      auto* text = static_cast<CVEXAString*>(e.item);
      const PaperPoint anchor = text->GetAnchor();
      text->SetAnchor({anchor.x - record.dx, anchor.y - record.dy});
      moved = true;
    } else if (e.kind == kItemLine) {
      static_cast<CVEXALine*>(e.item)->Offset(-record.dx, -record.dy);
      moved = true;
    }
  }
  if (!moved) return false;
  InvalidateClient(doc->m_selection.m_rect);
  doc->MarkChanged(nullptr);
  // Texts lay out again where they now are; the selection follows its items.
  RecomputeExtents();
  InvalidateClient({0, 0, m_client.cx, m_client.cy});
  return true;
}
