#include "chart/view/VexaView.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "chart/items/VexaArc.h"
#include "chart/items/VexaArcFill.h"
#include "chart/items/VexaLine.h"
#include "chart/items/VexaPolyFill.h"
#include "chart/items/VexaString.h"
#include "chart/items/VexaSymbol.h"
#include "dirstats/Bearing.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/EmfDC.h"
#include "platform/gdi/ImageDC.h"
#include "platform/io/Settings.h"
#include "platform/ui/Prompts.h"
#include "util/NumberFormat.h"

namespace {

using tessmor::POINT;
using tessmor::RECT;

// Below this many world units a side of FillRectangle counts as nothing.
constexpr double kMinFillSide = 0.008;

// Tenths of a point in a millimetre (72 points = 25.4 mm).
constexpr double kTenthsOfPointPerMm = 720.0 / 25.4;

// A symbol size in mm as the symbol record stores it: tenths of a point, 1 to 1000.
std::uint32_t SymbolSizeOf(float mm) {
  const double tenths = std::floor(static_cast<double>(mm) * kTenthsOfPointPerMm + 0.5);
  if (!(tenths >= 1.0)) return 1;
  return static_cast<std::uint32_t>(std::min(tenths, 1000.0));
}

// Degrees (any value) as tenths of a degree, nearest integer.
std::int32_t TenthsOfDegree(double degrees) {
  const double t = std::floor(degrees * 10.0 + 0.5);
  if (!(t == t)) return 0;
  return static_cast<std::int32_t>(std::clamp(t, -2147483647.0, 2147483647.0));
}

// `text` padded on the left with spaces to `width` characters when it is shorter.
std::string RightAligned(std::string text, int width) {
  if (width >= 1 && text.size() < static_cast<std::size_t>(width))
    text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  return text;
}

// What kind of item `object` is in `doc`: a kind bit, or 0 when the chart has no such item.
std::uint16_t FindItemKind(const CVexaDoc& doc, const void* object) {
  for (CCharStyle* s : doc.m_charManager.AllStyles())
    for (int i = 0; i < s->GetStringCount(); ++i)
      if (s->GetString(i) == object) return kItemText;
  for (CLineStyle* s : doc.m_lineManager.AllStyles()) {
    for (int i = 0; i < s->GetLineCount(); ++i)
      if (s->GetLine(i) == object) return kItemLine;
    for (int i = 0; i < s->GetArcCount(); ++i)
      if (s->GetArc(i) == object) return kItemArc;
  }
  for (CLineStyle* base : doc.m_fillManager.AllStyles()) {
    auto* s = static_cast<CFillStyle*>(base);
    for (int i = 0; i < s->GetLineCount(); ++i)
      if (s->GetLine(i) == object) return kItemPolyFill;
    for (int i = 0; i < s->GetArcCount(); ++i)
      if (s->GetArc(i) == object) return kItemArcFill;
    for (int i = 0; i < s->GetSymbolCount(); ++i)
      if (s->GetSymbol(i) == object) return kItemSymbol;
  }
  return 0;
}

// The rectangle (logical units) of a selected entry.
RECT EntryBounds(const CVexaDoc& doc, const ChartSelectionEntry& e) {
  switch (e.kind) {
    case kItemLine:
    case kItemPolyFill:
      return static_cast<const CVEXALine*>(e.item)->GetBounds();
    case kItemText:
      return static_cast<const CVEXAString*>(e.item)->GetBounds();
    case kItemSymbol:
      return static_cast<const CVEXASymbol*>(e.item)->GetBounds();
    case kItemArc:
    case kItemArcFill:
      return static_cast<const CVEXAArc*>(e.item)->GetBounds();
    default:
      if (e.kind >= kItemComplex && e.item) {
        const auto* record = static_cast<const COMPLEXGROUP*>(e.item);
        if (const ComplexGroupRegion* region = doc.m_complexGroups.GetRegion(record->id))
          return region->bounds;
      }
      return {};
  }
}

// The group identifier of a selected entry (0 when it has none).
std::uint16_t EntryGroup(const ChartSelectionEntry& e) {
  switch (e.kind) {
    case kItemLine:
    case kItemPolyFill:
      return static_cast<const CVEXALine*>(e.item)->GetGroup();
    case kItemArc:
    case kItemArcFill:
      return static_cast<const CVEXAArc*>(e.item)->GetGroup();
    case kItemText:
      return static_cast<const CVEXAString*>(e.item)->GetGroup();
    case kItemSymbol:
      return static_cast<const CVEXASymbol*>(e.item)->GetGroup();
    default:
      return e.kind >= kItemComplex && e.item ? static_cast<const COMPLEXGROUP*>(e.item)->id : 0;
  }
}

}  // namespace

// --- construction and the window ---

CVexaView::CVexaView(int width, int height, int pixelsPerInch)
    : m_client{std::max(width, 1), std::max(height, 1)},
      m_nPixelsPerInch(pixelsPerInch > 0 ? pixelsPerInch : 96) {
  m_nZoom = tessmor::GetSettings().GetInt(kZoomSection, kZoomEntry, 0);
  // Texts are laid out on an image of the client's resolution, as on a screen; a metafile
  // of that resolution measures text the same way when no image can be made.
  m_referenceDC = tessmor::CreateImageDC(16, 16, m_nPixelsPerInch);
  if (!m_referenceDC) m_referenceDC = std::make_unique<tessmor::EmfDC>(m_nPixelsPerInch);
}

CVexaView::~CVexaView() = default;

CVexaDoc* CVexaView::GetDocument() const {
  return dynamic_cast<CVexaDoc*>(tessmor::View::GetDocument());
}

void CVexaView::SetClientSize(int width, int height) {
  m_client = {std::max(width, 1), std::max(height, 1)};
  ScrollToPosition(m_scroll);
}

tessmor::SIZE CVexaView::GetTotalSize() const {
  tessmor::DC& dc = *m_referenceDC;
  PrepareDC(dc);
  return dc.SizeLPtoDP(m_totalLogical);
}

void CVexaView::ScrollToPosition(POINT pos) {
  const tessmor::SIZE total = GetTotalSize();
  pos.x = std::clamp(pos.x, 0, std::max(0, total.cx - m_client.cx));
  pos.y = std::clamp(pos.y, 0, std::max(0, total.cy - m_client.cy));
  const int dx = pos.x - m_scroll.x, dy = pos.y - m_scroll.y;
  m_scroll = pos;
  CVexaDoc* doc = GetDocument();
  if (doc && !doc->m_selection.IsEmpty() && (dx || dy)) {
    RECT& r = doc->m_selection.m_rect;
    r = {r.left - dx, r.top - dy, r.right - dx, r.bottom - dy};
    doc->m_selection.m_scrollPos = m_scroll;
  }
}

void CVexaView::RecalcScrollSizes() {
  const CVexaDoc* doc = GetDocument();
  if (!doc) return;
  const RECT paper = doc->m_mapper.GetPaperRect();
  const RECT e = m_rcExtent;
  const std::int64_t width =
      std::max<std::int64_t>(paper.right, e.right) - std::min<std::int64_t>(e.left, 0) + 200;
  const std::int64_t height = std::max<std::int64_t>(-paper.bottom, std::abs(std::int64_t{e.top})) -
                              std::min<std::int64_t>(-std::int64_t{e.bottom}, 0) + 200;
  m_totalLogical = {static_cast<std::int32_t>(std::min<std::int64_t>(width, INT32_MAX)),
                    static_cast<std::int32_t>(std::min<std::int64_t>(height, INT32_MAX))};
  ScrollToPosition(m_scroll);
}

tessmor::DC& CVexaView::GetReferenceDC() {
  PrepareDC(*m_referenceDC);
  return *m_referenceDC;
}

// --- conversions ---

void CVexaView::PrepareDC(tessmor::DC& dc) const {
  const CVexaDoc* doc = GetDocument();
  dc.SetMapMode(doc ? doc->m_mapper.GetMapMode() : tessmor::MM_HIMETRIC);
  dc.SetViewportOrg(-m_scroll.x, -m_scroll.y);
  const POINT origin = CViewTransform::WindowOriginOffset(m_rcExtent);
  dc.SetWindowOrg(origin.x, origin.y);
}

POINT CVexaView::ClientToLogical(POINT client) const {
  tessmor::DC& dc = *m_referenceDC;
  PrepareDC(dc);
  return dc.DPtoLP(client);
}

RECT CVexaView::LogicalToClient(const RECT& r) const {
  tessmor::DC& dc = *m_referenceDC;
  PrepareDC(dc);
  return tessmor::NormalizedDeviceRect(dc, r);
}

PaperPoint CVexaView::ClientToPaper(POINT client) const {
  const CVexaDoc* doc = GetDocument();
  if (!doc) return {};
  const POINT logical = ClientToLogical(client);
  // Logical y is measured from the paper's top edge, paper y from its bottom edge.
  const std::int64_t y = std::int64_t{logical.y} - doc->m_mapper.GetPaperRect().bottom;
  return doc->m_mapper.LogicalToPaper(
      {logical.x, static_cast<std::int32_t>(std::clamp<std::int64_t>(y, INT32_MIN, INT32_MAX))});
}

void CVexaView::InvalidateClient(const RECT& r) { m_invalidated.push_back(r); }

// --- framework ---

void CVexaView::OnInitialUpdate() {
  CVexaDoc* doc = GetDocument();
  if (!doc) return;
  // The managers were given their styles when the document attached them; a document
  // without any style yet holds a new chart.
  const bool newChart = doc->IsChartEmpty() != 0;
  RecalcScrollSizes();
  RealizeFonts();
  if (!newChart) return;
  doc->m_mapper.SetPaper(CMapper::kDefaultPaper);
  SetTextAngle(0.0f);
  SetPen(0, 0.2f, 1, 0, 0);
  SetPen(0, 0.2f, 2, 0, 0);
  SetPenStyle(0);
  SetFillStyle(255, CFillStyle::kBrushCodeSolid);
  SetScale(1.0f, 1.0f);
  if (m_nZoom)
    SetZoomPercent(m_nZoom, false);
  else
    SetZoomPercent(0, false);
}

void CVexaView::OnUpdate(tessmor::View* /*sender*/, long hint, void* object) {
  CVexaDoc* doc = GetDocument();
  if (!doc) return;
  if (hint == CVexaDoc::kHintFontsRealised && object == &doc->m_charManager) {
    RealizeFonts();
    return;
  }
  if (hint == kHintSelection) {
    if (!tessmor::IsRectEmpty(doc->m_selection.m_rect)) InvalidateClient(doc->m_selection.m_rect);
    return;
  }
  if (object) InvalidateItem(object);
}

void CVexaView::InvalidateItem(void* object) {
  CVexaDoc* doc = GetDocument();
  const std::uint16_t kind = object == m_pNewItem ? m_nNewItemKind : FindItemKind(*doc, object);
  // Every item keeps its rectangle in logical units; the window wants client pixels.
  RECT bounds{};
  switch (kind) {
    case kItemLine:
      bounds = static_cast<CVEXALine*>(object)->GetBounds();
      break;
    case kItemSymbol:
      bounds = static_cast<CVEXASymbol*>(object)->GetBounds();
      break;
    case kItemPolyFill:
      bounds = static_cast<CVEXAPolyFill*>(object)->GetBounds();
      break;
    case kItemText:
      bounds = static_cast<CVEXAString*>(object)->GetBounds();
      break;
    case kItemArc:
    case kItemArcFill:
      bounds = static_cast<CVEXAArc*>(object)->GetBounds();
      break;
    default:
      return;
  }
  if (!tessmor::IsRectEmpty(bounds)) InvalidateClient(LogicalToClient(bounds));
}

void CVexaView::MarkNewItem(void* item, std::uint16_t kind) {
  m_pNewItem = item;
  m_nNewItemKind = kind;
  GetDocument()->MarkChanged(item);
  m_pNewItem = nullptr;
  m_nNewItemKind = 0;
}

std::uint16_t CVexaView::CurrentGroup(CVexaDoc& doc) {
  const std::uint16_t id = doc.m_groups.GetCurrentGroup();
  if (id && doc.m_groups.Lookup(id)) return id;
  return doc.NewGroup(nullptr);
}

void CVexaView::AddToExtent(const RECT& r) {
  m_rcExtent = tessmor::UnionRects(m_rcExtent, tessmor::NormalizedRect(r));
}

void CVexaView::RealizeFonts() {
  if (CVexaDoc* doc = GetDocument()) doc->m_charManager.RealizeFonts(&GetReferenceDC());
}

// --- drawing ---

void CVexaView::MoveTo(double x, double y) {
  EndLine();
  m_transform.MovePenTo(x, y);
}

void CVexaView::MoveBy(double dx, double dy) {
  EndLine();
  m_transform.MovePenBy(dx, dy);
}

void CVexaView::LineTo(double x, double y) {
  const PaperPointD p = m_transform.WorldToPaper(x, y);
  PaperLineTo(p.x, p.y);
  // The pen's world position follows the line's end.
  m_transform.MovePenTo(x, y);
}

void CVexaView::LineBy(double dx, double dy) {
  const double fromX = m_transform.penX(), fromY = m_transform.penY();
  const PaperPointD p = m_transform.WorldToPaperRelative(dx, dy);
  PaperLineTo(p.x, p.y);
  m_transform.SetPenPaper(fromX, fromY);
  m_transform.MovePenBy(dx, dy);
}

void CVexaView::PaperLineTo(double x, double y) {
  CVexaDoc* doc = GetDocument();
  if (!doc) return;
  if (!m_bLineOpen) {
    const PaperPoint first{static_cast<float>(m_transform.penX()),
                           static_cast<float>(m_transform.penY())};
    const std::uint16_t group = CurrentGroup(*doc);
    if (m_bFillMode) {
      auto fill = std::make_unique<CVEXAPolyFill>(doc->m_fillManager.GetCurrentFillStyle(), first,
                                                  m_nItemCategory);
      fill->SetGroup(group);
      CVEXAPolyFill* item = fill.get();
      if (!doc->m_fillManager.AddPolyFill(std::move(fill))) return;
      m_pOpenFill = item;
    } else {
      auto line =
          std::make_unique<CVEXALine>(doc->m_lineManager.GetCurrentStyle(), first, m_nItemCategory);
      line->SetGroup(group);
      CVEXALine* item = line.get();
      if (!doc->m_lineManager.AddLine(std::move(line))) return;
      m_pOpenLine = item;
    }
    m_bLineOpen = 1;
  }
  CVEXALine* open = m_pOpenFill ? m_pOpenFill : m_pOpenLine;
  open->AddPoint({static_cast<float>(x), static_cast<float>(y)});
  m_transform.SetPenPaper(x, y);
}

void CVexaView::EndLine() {
  if (!m_bLineOpen) return;
  CVEXALine* item = m_pOpenFill ? m_pOpenFill : m_pOpenLine;
  const std::uint16_t kind = m_pOpenFill ? kItemPolyFill : kItemLine;
  m_pOpenLine = nullptr;
  m_pOpenFill = nullptr;
  m_bLineOpen = 0;
  CVexaDoc* doc = GetDocument();
  if (!item || !doc) return;
  item->ComputeRegion();
  const RECT bounds = item->GetBounds();
  AddToExtent(bounds);
  MarkNewItem(item, kind);
  doc->AddToCurrentGroup(kind, bounds);
}

void CVexaView::DrawPolyline(const float* xs, const float* ys, int n) {
  if (!xs || !ys || n < 1) return;
  MoveTo(xs[0], ys[0]);
  for (int i = 0; i < n; ++i) LineTo(xs[i], ys[i]);
}

void CVexaView::FillRectangle(double x1, double x2, double y1, double y2) {
  if (x1 == x2 || y1 == y2) return;
  if (!(std::fabs(x2 - x1) >= kMinFillSide) || !(std::fabs(y2 - y1) >= kMinFillSide)) return;
  const PaperPointD pen = m_transform.PenWorld();
  MoveTo(x1, y1);
  m_bFillMode = 1;
  LineTo(x2, y1);
  LineTo(x2, y2);
  LineTo(x1, y2);
  LineTo(x1, y1);
  MoveTo(pen.x, pen.y);
  m_bFillMode = 0;
}

void CVexaView::DrawSymbol(int type) {
  EndLine();
  CVexaDoc* doc = GetDocument();
  if (!doc) return;
  VEXASYMBOL record{};
  record.symbol = static_cast<std::uint8_t>(type);
  record.size = SymbolSizeOf(m_fSymbolSize);
  record.angle = TenthsOfDegree(m_transform.rotation());
  const PaperPoint at{static_cast<float>(m_transform.penX()),
                      static_cast<float>(m_transform.penY())};
  auto symbol = std::make_unique<CVEXASymbol>(doc->m_fillManager.GetCurrentFillStyle(), at, record);
  symbol->SetGroup(CurrentGroup(*doc));
  CVEXASymbol* item = symbol.get();
  doc->m_fillManager.AddSymbol(std::move(symbol));
  item->ComputeRegion();
  const RECT bounds = item->GetBounds();
  AddToExtent(bounds);
  doc->AddToCurrentGroup(kItemSymbol, bounds);
  MarkNewItem(item, kItemSymbol);
}

void CVexaView::DrawSymbols(const float* xs, const float* ys, int n, int type) {
  if (!xs || !ys) return;
  for (int i = 0; i < n; ++i) {
    MoveTo(xs[i], ys[i]);
    DrawSymbol(type);
  }
}

void CVexaView::SetSymbolSize(float size) {
  EndLine();
  m_fSymbolSize = size;
}

// --- styles ---

void CVexaView::SetPen(std::uint32_t style, float width, int target, int a, int b) {
  CVexaDoc* doc = GetDocument();
  if (target == 0 || target == 1) {
    EndLine();
    const float factor = m_transform.factor();
    float w = width * factor;
    if (w < 0.001f && style == 0) w = factor;
    if (doc) doc->m_lineManager.SetPenAttributes(target, style, w, a, b);
  } else if (target == 2) {
    EndLine();
    if (doc) doc->m_charManager.SetColour(style);
  }
}

void CVexaView::SetPenRecord(const VEXAPEN& pen) {
  EndLine();
  if (CVexaDoc* doc = GetDocument()) {
    doc->m_lineManager.SetPen(&pen);
    doc->m_fillManager.SetPen(&pen);
  }
}

void CVexaView::SetPenStyle(int code) {
  EndLine();
  const bool accepted = (code >= kPenSolid && code <= kPenInsideFrame) ||
                        (code >= kPenFirstPattern && code <= kPenLastPattern);
  CVexaDoc* doc = GetDocument();
  if (!accepted || !doc) return;
  doc->m_lineManager.SetPenStyle(code);
  doc->m_fillManager.SetPenStyle(code);
}

void CVexaView::SetFillStyle(std::uint32_t a, int b) {
  EndLine();
  if (CVexaDoc* doc = GetDocument()) doc->m_fillManager.SetBrush(a, b);
}

bool CVexaView::SetBitmapFill(std::uint32_t resource) {
  EndLine();
  CVexaDoc* doc = GetDocument();
  if (!doc) return false;
  const int index = doc->m_bitmaps.AddResourceBitmap(resource);
  if (index < 0) return false;
  doc->m_fillManager.SetPatternBrush(index);
  return true;
}

bool CVexaView::SetBitmapFill(const std::string& name) {
  std::string digits = name;
  if (!digits.empty() && digits[0] == '#') digits.erase(0, 1);
  if (digits.empty() || digits.size() > 9 ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    EndLine();
    return false;
  }
  return SetBitmapFill(static_cast<std::uint32_t>(std::stoul(digits)));
}

// --- text ---

void CVexaView::SetTextAngle(float angle) {
  EndLine();
  m_fTextAngleGiven = angle;
  const float sum = m_bTextFollowsRotation ? angle + m_transform.rotation() : angle;
  if (!std::isfinite(sum)) return;
  float reduced = static_cast<float>(SetSensibleBearing(sum));
  if (reduced >= 360.0f) reduced = 0.0f;
  m_fTextAngle = reduced;
  // Text angles and escapements both turn counter-clockwise on the page.
  if (CVexaDoc* doc = GetDocument()) doc->m_charManager.SetAngle(TenthsOfDegree(reduced));
}

void CVexaView::SetTextFollowsRotation(int flag) {
  EndLine();
  m_bTextFollowsRotation = flag == 1 ? 1 : 0;
}

void CVexaView::SelectTextStyle(const TEXTSTYLE& record) {
  EndLine();
  if (CVexaDoc* doc = GetDocument()) doc->m_charManager.SetTextStyle(record);
}

void CVexaView::SetTextStyle(const TEXTSTYLE& record) {
  SelectTextStyle(record);
  const float height = record.height;
  const tessmor::COLORREF colour = record.colour;
  const std::uint32_t justification = record.justification;
  const std::int32_t escapement = record.font.lfEscapement;
  SetTextSize(height, height);
  SetPen(colour, 0.0f, 2, 0, 0);
  if (IsJustificationCode(justification)) SetTextJustification(justification);
  // The record's own baseline angle stays: the character manager's angle is its escapement.
  if (CVexaDoc* doc = GetDocument()) doc->m_charManager.SetAngle(escapement);
}

void CVexaView::SetTextJustification(std::uint32_t code) {
  EndLine();
  CVexaDoc* doc = GetDocument();
  if (doc && IsJustificationCode(code)) doc->m_charManager.SetJustification(code);
}

void CVexaView::SetTextSize(float /*width*/, float height) {
  EndLine();
  float h = height * m_transform.factor();
  if (m_bTextFollowsRotation) h *= m_transform.scaleY();
  if (CVexaDoc* doc = GetDocument()) doc->m_charManager.SetSize(h);
}

void CVexaView::WriteText(const std::string& text) {
  EndLine();
  CVexaDoc* doc = GetDocument();
  if (!doc) return;
  const PaperPoint at{static_cast<float>(m_transform.penX()),
                      static_cast<float>(m_transform.penY())};
  auto string = std::make_unique<CVEXAString>(doc->m_charManager.GetCurrentStyle(), at, text,
                                              m_nItemCategory);
  string->SetGroup(CurrentGroup(*doc));
  CVEXAString* item = string.get();
  doc->m_charManager.AddString(std::move(string));
  item->Layout(GetReferenceDC());
  MarkNewItem(item, kItemText);
  const RECT bounds = item->GetBounds();
  AddToExtent(bounds);
  doc->AddToCurrentGroup(kItemText, bounds);
  const tessmor::SIZE extent = item->GetExtent();
  const double k = doc->m_mapper.GetScale();
  MoveBy(extent.cx / k, extent.cy / k);
}

void CVexaView::WriteInteger(long value, int width) {
  WriteText(RightAligned(std::to_string(value), width));
}

void CVexaView::WriteNumber(float value, int width, int decimals) {
  char buffer[400];
  if (ftoa(&value, buffer, &decimals, sizeof buffer) == 0) {
    EndLine();
    return;
  }
  WriteText(RightAligned(buffer, width));
}

// --- the world frame ---

void CVexaView::RotateBy(float degrees) {
  EndLine();
  m_transform.RotateBy(degrees);
  if (m_bTextFollowsRotation) SetTextAngle(m_fTextAngleGiven);
}

void CVexaView::ShiftOrigin(double dx, double dy) {
  EndLine();
  m_transform.ShiftOrigin(dx, dy);
}

// --- the chart ---

void CVexaView::NewChart() {
  // The open item goes with the chart.
  m_pOpenLine = nullptr;
  m_pOpenFill = nullptr;
  m_bLineOpen = 0;
  CVexaDoc* doc = GetDocument();
  if (!doc) return;
  doc->ClearChart();
  m_lastEdit = {};
  m_transform.SaveRestoreTransform(2);
  m_transform.ZeroPen();
  m_rcExtent = {};
  doc->ClearSelection(this);
  doc->NewGroup(nullptr);
  doc->UpdateAllViews(nullptr, 0, nullptr);
}

void CVexaView::NewObject(const std::string& name) {
  EndLine();
  if (CVexaDoc* doc = GetDocument()) doc->NewGroup(name.c_str());
}

void CVexaView::DeleteCurrentObject() {
  EndLine();
  m_lastEdit = {};
  CVexaDoc* doc = GetDocument();
  if (!doc) return;
  doc->DeleteCurrentGroup();
  InvalidateClient({0, 0, m_client.cx, m_client.cy});
}

void CVexaView::RefreshStyles() {
  EndLine();
  RealizeFonts();
  InvalidateClient({0, 0, m_client.cx, m_client.cy});
}

ChartPaper CVexaView::GetPaper() const {
  const CVexaDoc* doc = GetDocument();
  if (!doc) return {};
  return {doc->m_mapper.GetPaperWidth(), doc->m_mapper.GetPaperHeight(), doc->m_mapper.GetPaper()};
}

int CVexaView::PaperDialog(bool save,
                           const std::function<std::optional<int>(int current)>& choose) {
  CVexaDoc* doc = GetDocument();
  if (!doc) return 0;
  const int chosen = doc->m_mapper.PaperDialog(save, choose);
  if (chosen) {
    RecalcScrollSizes();
    InvalidateClient({0, 0, m_client.cx, m_client.cy});
  }
  return chosen;
}

// --- zoom ---

void CVexaView::SetZoomPercent(int percent, bool redraw) {
  if (percent > kMaxZoomPercent) {
    // Refused: neither the zoom nor the stored percentage changes.
    tessmor::GetPrompts().Beep();
    return;
  }
  CVexaDoc* doc = GetDocument();
  if (doc) doc->m_mapper.SetZoom(percent < 1 ? -1.0f : static_cast<float>(percent) * 0.01f);
  if (redraw) EndLine();
  RecomputeExtents();
  m_nZoom = percent;
  RecalcScrollSizes();
  if (redraw) InvalidateClient({0, 0, m_client.cx, m_client.cy});
}

void CVexaView::ZoomBy(int delta) {
  if (m_nZoom != 0) {
    if (m_nZoom + delta < 1)
      tessmor::GetPrompts().Beep();
    else
      SetZoomPercent(m_nZoom + delta, true);
    return;
  }
  SetZoomPercent(100 + delta, true);
}

void CVexaView::StoreZoom() const {
  tessmor::GetSettings().WriteInt(kZoomSection, kZoomEntry, m_nZoom);
}

void CVexaView::RecomputeExtents() {
  CVexaDoc* doc = GetDocument();
  if (!doc) return;
  RealizeFonts();
  // Every item's rectangle is rebuilt for the mapper as it is now.
  RECT extent = tessmor::NormalizedRect(doc->m_lineManager.GetBounds());
  extent = tessmor::UnionRects(extent, tessmor::NormalizedRect(doc->m_fillManager.GetBounds()));
  extent = tessmor::UnionRects(
      extent, tessmor::NormalizedRect(doc->m_charManager.GetBounds(GetReferenceDC())));
  m_rcExtent = extent;

  CChartSelection& sel = doc->m_selection;
  if (sel.IsEmpty()) return;
  std::vector<ChartSelectionEntry> entries;
  for (int i = 0; i < sel.GetCount(); ++i) entries.push_back(sel.GetEntry(i));
  const int rectangle = sel.m_bRectangle;
  const PaperPoint click = sel.m_lastClick;
  sel.Clear();
  for (const ChartSelectionEntry& e : entries) sel.Add(e.kind, e.item, EntryBounds(*doc, e));
  sel.m_bRectangle = rectangle;
  sel.m_lastClick = click;
  sel.m_rect = LogicalToClient(sel.GetUnion().GetBounds());
  sel.m_scrollPos = m_scroll;
}

// --- mouse ---

void CVexaView::OnLButtonDown(unsigned flags, POINT point, std::optional<RECT> dragTo) {
  CVexaDoc* doc = GetDocument();
  if (!doc) return;
  m_bLastHit = doc->HitTestSelect(flags, point, *this);
  CChartSelection& sel = doc->m_selection;
  if (!sel.IsEmpty()) {
    sel.m_rect = LogicalToClient(sel.GetUnion().GetBounds());
    sel.m_scrollPos = m_scroll;
    if (dragTo) DragSelection(*dragTo);
  }
  if (sel.IsEmpty()) {
    OnSelectItem(0, std::string(), nullptr, RECT{}, sel.m_lastClick);
  } else {
    for (int i = 0; i < sel.GetCount(); ++i) {
      const ChartSelectionEntry& e = sel.GetEntry(i);
      OnSelectItem(e.kind, GroupName(e), &e, EntryBounds(*doc, e), sel.m_lastClick);
    }
  }
  doc->UpdateAllViews(nullptr, kHintSelection, &sel);
}

bool CVexaView::DragSelection(const RECT& to) {
  CVexaDoc* doc = GetDocument();
  if (!doc || doc->m_selection.IsEmpty()) return false;
  CChartTracker& tracker = doc->m_tracker;
  tracker.m_rect = doc->m_selection.m_rect;
  tracker.m_pDoc = doc;
  tracker.m_pView = this;
  bool moved = false;
  if (to != tracker.m_rect) {
    EditRecord record;
    record.what = EditRecord::kMove;
    for (int i = 0; i < doc->m_selection.GetCount(); ++i)
      record.moved.push_back(doc->m_selection.GetEntry(i));
    const RECT& from = tracker.m_rect;
    const PaperPoint a = ClientToPaper({from.left, from.top});
    const PaperPoint b = ClientToPaper({to.left, to.top});
    record.dx = b.x - a.x;
    record.dy = b.y - a.y;
    moved = doc->MoveSelection(to, *this);
    if (moved) {
      tracker.m_rect = to;
      m_lastEdit = std::move(record);
    }
  }
  tracker.m_pDoc = nullptr;
  tracker.m_pView = nullptr;
  return moved;
}

std::uint16_t CVexaView::KindOfItem(const void* object) const {
  const CVexaDoc* doc = GetDocument();
  return doc && object ? FindItemKind(*doc, object) : 0;
}

std::string CVexaView::GroupName(const ChartSelectionEntry& entry) const {
  const CVexaDoc* doc = GetDocument();
  const std::uint16_t id = EntryGroup(entry);
  const GROUPREC* group = doc && id ? doc->m_groups.Lookup(id) : nullptr;
  if (!group) return {};
  return std::string(group->name, strnlen(group->name, sizeof group->name));
}

int CVexaView::OnSelectItem(std::uint16_t, const std::string&, const ChartSelectionEntry*,
                            const RECT&, PaperPoint) {
  return 0;
}
