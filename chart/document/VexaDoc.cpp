#include "chart/document/VexaDoc.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>

#include "chart/items/VexaArc.h"
#include "chart/items/VexaArcFill.h"
#include "chart/items/VexaLine.h"
#include "chart/items/VexaPolyFill.h"
#include "chart/items/VexaString.h"
#include "chart/items/VexaSymbol.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/EmfDC.h"
#include "platform/io/Archive.h"
#include "platform/io/FileError.h"
#include "platform/ui/Clipboard.h"
#include "util/TextData.h"

namespace {

using tessmor::RECT;

// The first line of `bytes` (ended by a line feed or a carriage return) followed by "\r\n".
bool StartsWithMagicLine(const std::vector<std::uint8_t>& bytes) {
  const std::string_view magic(CVexaDoc::kMagicLine);
  const std::size_t body = magic.size() - 2;
  if (bytes.size() < body) return false;
  for (std::size_t i = 0; i < body; ++i)
    if (bytes[i] != static_cast<std::uint8_t>(magic[i])) return false;
  // The line must end right there: at a line feed, a carriage return or the end of the data.
  return bytes.size() == body || bytes[body] == '\n' || bytes[body] == '\r';
}

std::string WithoutLineEnds(std::string text) {
  std::replace(text.begin(), text.end(), '\r', ' ');
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

}  // namespace

// --- selection ---

void CChartSelection::Add(std::uint16_t kind, void* item, const tessmor::RECT& bounds) {
  m_entries.push_back({kind, item});
  m_nKinds = static_cast<std::uint16_t>(m_nKinds | kind);
  m_union.AddRectangle(bounds);
}

void CChartSelection::Clear() {
  m_entries.clear();
  m_union.Init();
  m_rect = {};
  m_nKinds = 0;
}

bool CChartSelection::Contains(const void* item) const {
  return std::any_of(m_entries.begin(), m_entries.end(),
                     [item](const ChartSelectionEntry& e) { return e.item == item; });
}

// --- document ---

CVexaDoc::CVexaDoc() {
  m_lineManager.Attach(&m_mapper, true);
  m_fillManager.Attach(&m_mapper, true);
  m_fillManager.SetBitmapStore(&m_bitmaps);
  m_charManager.Attach(&m_mapper, true);
}

CVexaDoc::~CVexaDoc() { m_selection.Clear(); }

void CVexaDoc::Serialize(tessmor::Archive& ar) {
  if (m_bChartMode) SerializeChart(ar);
}

void CVexaDoc::SerializeChart(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    m_lineManager.Commit();
    m_fillManager.Commit();
    m_charManager.Commit();
    const std::string_view magic(kMagicLine);
    ar.WriteText(magic);
    ar.WriteText(WithoutLineEnds(m_strTitle));
    ar.WriteText("\r\n");
    const std::uint32_t groups = static_cast<std::uint32_t>(m_groups.GetCount());
    const std::uint32_t lines = static_cast<std::uint32_t>(m_lineManager.GetSize());
    const std::uint32_t fills = static_cast<std::uint32_t>(m_fillManager.GetSize());
    const std::uint32_t chars = static_cast<std::uint32_t>(m_charManager.GetSize());
    const std::uint32_t bitmaps = static_cast<std::uint32_t>(m_bitmaps.GetSize());
    ar.WriteU32(groups);
    ar.WriteU32(lines);
    ar.WriteU32(fills);
    ar.WriteU32(chars);
    ar.WriteU32(bitmaps);
    m_mapper.Serialize(ar);
    if (groups) m_groups.Serialize(ar);
    if (lines) m_lineManager.Serialize(ar);
    if (chars) m_charManager.Serialize(ar);
    if (bitmaps) m_bitmaps.Serialize(ar);
    if (fills) m_fillManager.Serialize(ar);
    return;
  }

  ClearItems();
  m_bitmaps.RemoveAll();
  try {
    const CItemRegion::BuildBudget budget(kMaxRegionRectangles);
    std::string line;
    if (!ar.ReadLine(line)) throw tessmor::ArchiveException();
    std::string title;
    if (!ar.ReadLine(title)) throw tessmor::ArchiveException();
    const std::uint32_t groups = ar.ReadU32();
    const std::uint32_t lines = ar.ReadU32();
    const std::uint32_t fills = ar.ReadU32();
    const std::uint32_t chars = ar.ReadU32();
    const std::uint32_t bitmaps = ar.ReadU32();
    SetModifiedFlag(false);
    m_mapper.Serialize(ar);
    if (groups) m_groups.Serialize(ar);
    if (lines) m_lineManager.Serialize(ar);
    if (chars) {
      m_charManager.Serialize(ar);
      m_charManager.RealizeFonts(nullptr);
      UpdateAllViews(nullptr, kHintFontsRealised, &m_charManager);
    }
    if (bitmaps) m_bitmaps.Serialize(ar);
    if (fills) m_fillManager.Serialize(ar);
    m_strTitle = title;
  } catch (...) {
    ClearItems();
    m_bitmaps.RemoveAll();
    throw;
  }
}

bool CVexaDoc::OnOpenDocument(const std::string& path) {
  std::optional<tessmor::Archive> ar;
  try {
    ar.emplace(tessmor::Archive::OpenForLoad(path));
  } catch (const tessmor::FileException& e) {
    // The file itself could not be read (missing, not a regular file, too large, ...): the
    // file-error message of its cause says why.
    DisplayCFileErr(e.cause(), 0);
    return false;
  } catch (const std::exception&) {
    ReportSaveLoadError(tessmor::kFailedToOpenDocument);
    return false;
  }
  if (m_bChartMode)
    ClearChart();
  else
    DeleteContents();
  SetModifiedFlag(true);

  bool setMode = false;
  if (!m_bChartMode && StartsWithMagicLine(ar->FileBytes())) {
    m_bChartMode = 1;
    setMode = true;
  }
  try {
    ar->Seek(0);
    if (m_bChartMode)
      SerializeChart(*ar);
    else
      Serialize(*ar);
  } catch (const std::exception&) {
    ReportSaveLoadError(tessmor::kFailedToOpenDocument);
    if (m_bChartMode)
      ClearChart();
    else
      DeleteContents();
    if (setMode) m_bChartMode = 0;
    return false;
  }
  if (m_bChartMode) {
    m_strChartPath = path;
    m_bChartModified = 0;
  }
  if (setMode) m_bChartMode = 0;
  SetModifiedFlag(false);
  return true;
}

void CVexaDoc::ReportSaveError(const std::string& message, int cause) {
  if (cause == tessmor::kFileErrorNone) {
    ReportSaveLoadError(message);
  } else {
    ReportSaveLoadError(message + "\n" + CFileErrText(cause));
  }
}

bool CVexaDoc::OnSaveDocument(const std::string& path) {
  if (!m_bChartMode) return Document::OnSaveDocument(path);
  tessmor::Archive ar = tessmor::Archive::ForStore(path);
  try {
    SerializeChart(ar);
  } catch (const std::exception&) {
    ReportSaveError(tessmor::kFailedToSaveDocument, tessmor::kFileErrorNone);
    return false;
  }
  try {
    ar.Commit();
  } catch (const tessmor::FileException& e) {
    const bool cannotCreate = e.cause() == tessmor::kFileErrorBadPath ||
                              e.cause() == tessmor::kFileErrorNotFound ||
                              e.cause() == tessmor::kFileErrorAccessDenied;
    ReportSaveError(cannotCreate ? tessmor::kInvalidFilename : tessmor::kFailedToSaveDocument,
                    e.cause());
    return false;
  }
  SetModifiedFlag(false);
  m_bChartModified = 0;
  return true;
}

bool CVexaDoc::OnNewDocument() { return Document::OnNewDocument(); }

bool CVexaDoc::OnEditCopy(tessmor::Clipboard* clipboard) {
  if (IsChartEmpty()) return false;
  tessmor::Clipboard& board = clipboard ? *clipboard : tessmor::GetClipboard();

  const int wasChartMode = m_bChartMode;
  m_bChartMode = 1;
  tessmor::Archive ar = tessmor::Archive::ForStore();
  try {
    SerializeChart(ar);
  } catch (const std::exception&) {
    m_bChartMode = wasChartMode;
    return false;
  }
  m_bChartMode = wasChartMode;

  // The picture: the paper drawn through an anisotropic mapping at 96 pixels per inch.
  const RECT paper = m_mapper.GetPaperRect();
  const int widthPx =
      std::max(1, static_cast<int>(m_mapper.GetPaperWidth() / 25.4f * 96.0f + 0.5f));
  const int heightPx =
      std::max(1, static_cast<int>(m_mapper.GetPaperHeight() / 25.4f * 96.0f + 0.5f));
  tessmor::EmfDC emf(96, {}, RECT{0, 0, widthPx, heightPx});
  emf.SetMapMode(tessmor::MM_ANISOTROPIC);
  emf.SetWindowExt(std::max(1, paper.right - paper.left), std::max(1, paper.top - paper.bottom));
  emf.SetViewportExt(widthPx, -heightPx);
  const int previousMode = SetDrawMode(kDrawClipboardMetafile);
  DrawChart(emf);
  SetDrawMode(previousMode);
  const tessmor::EnhMetafile picture = emf.Close();

  if (!board.Open()) return false;
  bool placed = board.Empty();
  placed = placed && board.SetData(tessmor::Clipboard::RegisterFormat(kClipboardFormatName),
                                   ar.StoredBytes());
  if (placed && !picture.bytes().empty())
    placed = board.SetData(tessmor::kClipEnhMetafile, picture.bytes());
  board.Close();
  return placed;
}

void CVexaDoc::SetChartPath(const std::string& path) {
  const std::filesystem::path p(path);
  Document::SetPathName(path);
  SetTitle(p.stem().string());
  std::string folder = p.parent_path().string();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  m_strChartPath = folder;
}

// --- drawing ---

int CVexaDoc::SetDrawMode(int mode) {
  const int previous = m_nDrawMode;
  m_nDrawMode = mode;
  return previous;
}

void CVexaDoc::DrawChart(tessmor::DC& dc) {
  // Each style skips the items whose regions miss the DC's clip box.
  m_fillManager.DrawItems(dc, false);
  m_lineManager.DrawItems(dc, false);
  const int bkMode = dc.SetBkMode(tessmor::TRANSPARENT);
  const std::uint32_t align = dc.GetTextAlign();
  m_charManager.DrawItems(dc, false);
  if ((m_nDrawMode == kDrawScreen || m_nDrawMode == kDrawScreenBuffered) &&
      !m_selection.IsEmpty()) {
    int mode = CItemRegion::kInvert;
    if (m_selection.m_bRectangle)
      mode = CItemRegion::kFrameDotted;
    else if (m_selection.GetKinds() == kItemArcFill)
      mode = CItemRegion::kFrameDashed;
    m_selection.GetUnion().Draw(dc, mode);
  }
  dc.SetTextAlign(align);
  dc.SetBkMode(bkMode);
}

// --- selection ---

void CVexaDoc::InvalidateSelection(IChartView* view) {
  if (view && !tessmor::IsRectEmpty(m_selection.m_rect)) view->InvalidateClient(m_selection.m_rect);
}

void CVexaDoc::ClearSelection(IChartView* view) {
  InvalidateSelection(view);
  m_selection.Clear();
}

void CVexaDoc::SelectComplexGroup(std::uint16_t id, IChartView& view) {
  const COMPLEXGROUP* record = m_complexGroups.GetRecord(id);
  const ComplexGroupRegion* region = m_complexGroups.GetRegion(id);
  const RECT bounds = region ? region->bounds : RECT{};
  m_selection.Add(record ? record->type : static_cast<std::uint16_t>(kItemComplex),
                  const_cast<COMPLEXGROUP*>(record), bounds);
  m_selection.m_rect = tessmor::NormalizedRect(view.LogicalToClient(bounds));
  m_selection.m_scrollPos = view.GetScrollPosition();
}

int CVexaDoc::HitTestSelect(unsigned flags, tessmor::POINT point, IChartView& view) {
  constexpr unsigned kLeftButton = 1;
  constexpr unsigned kControl = 8;
  m_selection.m_lastClick = view.ClientToPaper(point);
  const tessmor::POINT logical = view.ClientToLogical(point);

  if ((flags & (kControl | kLeftButton)) == (kControl | kLeftButton)) {
    const std::uint16_t id = m_complexGroups.HitTest(logical);
    if (!id) {
      ClearSelection(&view);
      return 0;
    }
    const COMPLEXGROUP* record = m_complexGroups.GetRecord(id);
    if (!m_selection.IsEmpty() && record && m_selection.Contains(record)) return 1;
    ClearSelection(&view);
    SelectComplexGroup(id, view);
    return 1;
  }
  if (!(flags & kLeftButton)) return 0;

  const PaperPoint paper = m_selection.m_lastClick;
  CVEXAString* text = m_charManager.HitTestText(paper);
  CStroke* stroke = m_lineManager.HitTestStroke(logical.x, logical.y);
  CVEXASymbol* symbol = m_fillManager.HitTestSymbol(paper);
  CStroke* filled = m_fillManager.HitTestFilled(logical.x, logical.y);
  if (!text && !stroke && !symbol && !filled) {
    ClearSelection(&view);
    return 0;
  }
  if (!m_selection.IsEmpty()) ClearSelection(&view);
  m_selection.m_bRectangle = 1;

  std::uint16_t kind = 0;
  void* item = nullptr;
  RECT bounds{};
  if (text) {
    kind = kItemText, item = text, bounds = text->GetBounds();
  } else if (auto* line = dynamic_cast<CVEXALine*>(stroke)) {
    kind = kItemLine, item = line, bounds = line->GetBounds();
  } else if (auto* arc = dynamic_cast<CVEXAArc*>(stroke)) {
    kind = kItemArc, item = arc, bounds = arc->GetBounds();
  } else if (symbol) {
    kind = kItemSymbol, item = symbol, bounds = symbol->GetBounds();
  } else if (auto* poly = dynamic_cast<CVEXAPolyFill*>(filled)) {
    // With the rectangle flag set, a fill is marked by its outline's rectangle.
    kind = kItemPolyFill, item = poly, bounds = poly->GetBounds();
  } else if (auto* arcFill = dynamic_cast<CVEXAArcFill*>(filled)) {
    kind = kItemArcFill, item = arcFill, bounds = arcFill->GetBounds();
  }
  if (!item) return 0;
  m_selection.Add(kind, item, bounds);
  m_selection.m_rect =
      tessmor::NormalizedRect(view.LogicalToClient(m_selection.GetUnion().GetBounds()));
  m_selection.m_scrollPos = view.GetScrollPosition();
  view.InvalidateClient(m_selection.m_rect);
  return 1;
}

bool CVexaDoc::MoveSelection(const tessmor::RECT& to, IChartView& view) {
  const std::uint16_t kinds = m_selection.GetKinds();
  if (m_selection.IsEmpty() || (kinds != kItemText && kinds != kItemLine)) return false;
  const RECT from = m_selection.m_rect;
  const PaperPoint a = view.ClientToPaper({from.left, from.top});
  const PaperPoint b = view.ClientToPaper({to.left, to.top});
  const float dx = b.x - a.x, dy = b.y - a.y;
  if (dx == 0.0f && dy == 0.0f) return false;

  InvalidateSelection(&view);
  // The union is rebuilt from the moved items; texts lay out again when next drawn, so
  // their old rectangles are moved by the logical offset instead.
  const tessmor::POINT la = view.ClientToLogical({from.left, from.top});
  const tessmor::POINT lb = view.ClientToLogical({to.left, to.top});
  std::vector<ChartSelectionEntry> entries;
  for (int i = 0; i < m_selection.GetCount(); ++i) entries.push_back(m_selection.GetEntry(i));
  const int rectangleFlag = m_selection.m_bRectangle;
  const PaperPoint lastClick = m_selection.m_lastClick;
  m_selection.Clear();
  for (const ChartSelectionEntry& e : entries) {
    RECT bounds{};
    if (kinds == kItemText) {
      auto* text = static_cast<CVEXAString*>(e.item);
      bounds = text->GetBounds();
      bounds = {bounds.left + lb.x - la.x, bounds.top + lb.y - la.y, bounds.right + lb.x - la.x,
                bounds.bottom + lb.y - la.y};
      const PaperPoint anchor = text->GetAnchor();
      text->SetAnchor({anchor.x + dx, anchor.y + dy});
    } else {
      auto* line = static_cast<CVEXALine*>(e.item);
      line->Offset(dx, dy);
      bounds = line->GetBounds();
    }
    m_selection.Add(e.kind, e.item, bounds);
  }
  m_selection.m_bRectangle = rectangleFlag;
  m_selection.m_lastClick = lastClick;
  m_selection.m_rect = to;
  m_selection.m_scrollPos = view.GetScrollPosition();
  view.InvalidateClient(to);
  MarkChanged(nullptr);
  return true;
}

// --- contents ---

void CVexaDoc::ClearItems() {
  m_selection.Clear();
  m_lineManager.DeleteItems(-1);
  m_fillManager.DeleteItems(-1);
  m_charManager.DeleteItems(-1);
  m_groups.DeleteAll();
  m_complexGroups.DeleteAll();
}

int CVexaDoc::ClearChart() {
  ClearItems();
  m_strChartPath.clear();
  return 1;
}

int CVexaDoc::IsChartEmpty() const {
  return m_lineManager.AllStyles().empty() && m_fillManager.AllStyles().empty() &&
                 m_charManager.AllStyles().empty()
             ? 1
             : 0;
}

void CVexaDoc::MarkChanged(void* item) {
  m_bChartModified = 1;
  UpdateAllViews(nullptr, 0, item);
}

void CVexaDoc::SetChartTitle(const std::string& title) { m_strTitle = WithoutLineEnds(title); }

// --- groups ---

std::uint16_t CVexaDoc::NewGroup(const char* name) {
  const std::uint16_t id = static_cast<std::uint16_t>(m_groups.GetCurrentGroup() + 1);
  std::string text;
  if (name && *name) {
    text = name;
  } else {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "Object%u", static_cast<unsigned>(id));
    text = buffer;
  }
  if (!m_groups.NewGroup(id, text, 0)) return 0;
  return id;
}

int CVexaDoc::AddToCurrentGroup(std::uint16_t kind, const tessmor::RECT& rect) {
  std::uint16_t id = m_groups.GetCurrentGroup();
  if (!id || !m_groups.Lookup(id)) id = NewGroup(nullptr);
  if (!id) return 0;
  return m_groups.UpdateGroup(id, kind, rect, -1);
}

void CVexaDoc::CollectGroup(std::uint16_t id, CChartSelection& selection) {
  for (CCharStyle* s : m_charManager.AllStyles())
    for (int i = 0; i < s->GetStringCount(); ++i)
      if (CVEXAString* t = s->GetString(i); t->GetGroup() == id)
        selection.Add(kItemText, t, t->GetBounds());
  for (CLineStyle* base : m_fillManager.AllStyles()) {
    auto* s = static_cast<CFillStyle*>(base);
    for (int i = 0; i < s->GetLineCount(); ++i)
      if (auto* f = dynamic_cast<CVEXAPolyFill*>(s->GetLine(i)); f && f->GetGroup() == id)
        selection.Add(kItemPolyFill, f, f->GetBounds());
    for (int i = 0; i < s->GetArcCount(); ++i)
      if (auto* f = dynamic_cast<CVEXAArcFill*>(s->GetArc(i)); f && f->GetGroup() == id)
        selection.Add(kItemArcFill, f, f->GetBounds());
    for (int i = 0; i < s->GetSymbolCount(); ++i)
      if (CVEXASymbol* sym = s->GetSymbol(i); sym->GetGroup() == id)
        selection.Add(kItemSymbol, sym, sym->GetBounds());
  }
  for (CLineStyle* s : m_lineManager.AllStyles()) {
    for (int i = 0; i < s->GetLineCount(); ++i)
      if (CVEXALine* l = s->GetLine(i); l->GetGroup() == id)
        selection.Add(kItemLine, l, l->GetBounds());
    for (int i = 0; i < s->GetArcCount(); ++i)
      if (CVEXAArc* a = s->GetArc(i); a->GetGroup() == id)
        selection.Add(kItemArc, a, a->GetBounds());
  }
}

int CVexaDoc::UpdateGroup(std::uint16_t id) {
  CChartSelection found;
  CollectGroup(id, found);
  if (!found.IsEmpty()) {
    m_groups.UpdateGroup(id, found.GetKinds(), found.GetUnion().GetBounds(), found.GetCount());
  } else {
    m_groups.DeleteGroup(id);
    m_complexGroups.DeleteGroup(id);
  }
  return 1;
}

void CVexaDoc::DeleteGroupItems(std::uint16_t id, int mask) {
  // The selection may point at the items about to go.
  m_selection.Clear();
  if ((mask == 0 || (mask & kMaskLines)) && !m_lineManager.AllStyles().empty())
    m_lineManager.DeleteItems(id);
  if ((mask == 0 || (mask & kMaskFills)) && !m_fillManager.AllStyles().empty())
    m_fillManager.DeleteItems(id);
  if ((mask == 0 || (mask & kMaskChars)) && !m_charManager.AllStyles().empty())
    m_charManager.DeleteItems(id);
  if ((mask == 0 || (mask & kMaskComplex)) && !m_complexGroups.IsEmpty())
    m_complexGroups.DeleteGroup(id);
}

std::uint16_t CVexaDoc::DeleteCurrentGroup() {
  std::uint16_t id = m_groups.GetCurrentGroup();
  const GROUPREC* group = id ? m_groups.Lookup(id) : nullptr;
  if (!group) group = m_groups.GetFirstGroup(&id);
  if (!group) return m_groups.GetCurrentGroup();
  const std::uint16_t kinds = group->kinds;
  int mask = 0;
  if (kinds & (kItemLine | kItemArc)) mask |= kMaskLines;
  if (kinds & kItemText) mask |= kMaskChars;
  if (kinds & (kItemSymbol | kItemArcFill | kItemPolyFill)) mask |= kMaskFills;
  if (mask) DeleteGroupItems(id, mask);
  m_selection.Clear();
  m_groups.DeleteGroup(id);
  m_complexGroups.DeleteGroup(id);
  return m_groups.GetCurrentGroup();
}
