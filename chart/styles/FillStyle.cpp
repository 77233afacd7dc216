#include "chart/styles/FillStyle.h"

#include <algorithm>

#include "chart/items/VexaItem.h"
#include "chart/styles/BitmapStore.h"
#include "platform/gdi/DC.h"
#include "platform/io/Archive.h"

namespace {

// The brush of a new fill style: solid red on black, transparent, no hatch, no bitmap.
VEXABRUSH DefaultFillBrush() {
  VEXABRUSH b{};
  b.kind = kBrushSolid;
  b.colour = 255;
  b.background = 0;
  b.bkMode = kBkTransparent;
  b.hatch = kNoHatch;
  b.bitmap = -1;
  return b;
}

bool IsHatch(std::int32_t code) { return code >= tessmor::HS_HORIZONTAL && code <= 5; }

}  // namespace

CFillStyle::CFillStyle() : m_brush(DefaultFillBrush()) {}

CFillStyle::CFillStyle(const VEXAPEN* pen, CMapper* mapper)
    : CLineStyle(pen, mapper), m_brush(DefaultFillBrush()) {}

CFillStyle::~CFillStyle() = default;

void CFillStyle::SetBrush(tessmor::COLORREF colour, int code) {
  colour &= 0xFFFFFF;
  m_bChanged = 1;
  if (IsHatch(code)) {
    m_brush.kind = kBrushHatched;
    m_brush.hatch = code;
    m_brush.colour = colour;
    m_brush.bitmap = -1;
  } else if (code == kBrushCodeSolid) {
    m_brush.kind = kBrushSolid;
    m_brush.hatch = kNoHatch;
    m_brush.colour = colour;
    m_brush.bitmap = -1;
  } else if (code == kBrushCodeHollow) {
    m_brush.kind = kBrushHollow;
    m_brush.hatch = kNoHatch;
    m_brush.colour = 0;
    m_brush.bitmap = -1;
  } else if (code == kBrushCodeBackground) {
    m_brush.background = colour;
  }
}

void CFillStyle::SetPatternBrush(std::int32_t bitmap) {
  m_brush.bitmap = bitmap;
  m_brush.kind = kBrushPattern;
  m_bChanged = 1;
}

int CFillStyle::SetBrush(const VEXABRUSH* brush) {
  m_bChanged = 1;
  return CopyBrushStyle(brush, &m_brush);
}

bool CFillStyle::CompareStyle(const VEXAPEN& pen, const VEXABRUSH& brush) const {
  return ComparePen(pen) && m_brush.kind == brush.kind && m_brush.colour == brush.colour &&
         m_brush.background == brush.background && m_brush.bkMode == brush.bkMode &&
         m_brush.hatch == brush.hatch && m_brush.bitmap == brush.bitmap;
}

int CFillStyle::TakeChanged() {
  const int changed = m_bChanged;
  m_bChanged = 0;
  return changed;
}

tessmor::Brush CFillStyle::CreateBrush(CBitmapStore* bitmaps) const {
  if (m_brush.bitmap >= 0) {
    return bitmaps ? bitmaps->CreatePatternBrush(m_brush.bitmap) : tessmor::HollowBrush();
  }
  const tessmor::COLORREF colour = m_brush.colour & 0xFFFFFF;
  if (m_brush.kind == kBrushHatched) {
    return IsHatch(m_brush.hatch) ? tessmor::HatchBrush(m_brush.hatch, colour)
                                  : tessmor::SolidBrush(colour);
  }
  return m_brush.kind == kBrushSolid ? tessmor::SolidBrush(colour) : tessmor::HollowBrush();
}

StyleSelection CFillStyle::Select(tessmor::DC& dc, CBitmapStore* bitmaps) const {
  StyleSelection previous;
  previous.pen = dc.SelectPen(CreatePen());
  previous.brush = dc.SelectBrush(CreateBrush(bitmaps));
  // The brush decides what shows between hatch lines; a mode the DC refuses keeps its own.
  previous.bkMode = dc.GetBkMode();
  dc.SetBkMode(m_brush.bkMode);
  previous.bkColor = dc.SetBkColor(m_brush.background & 0xFFFFFF);
  return previous;
}

bool CFillStyle::IsEmpty() const { return CLineStyle::IsEmpty() && m_symbols.empty(); }

void CFillStyle::StoreBrush(tessmor::Archive& ar, const VEXABRUSH& brush) {
  ar.WriteI16(brush.kind);
  ar.WriteU8(brush.unused[0]);
  ar.WriteU8(brush.unused[1]);
  ar.WriteU32(brush.colour);
  ar.WriteU32(brush.background);
  ar.WriteI32(brush.bkMode);
  ar.WriteI32(brush.hatch);
  ar.WriteI32(brush.bitmap);
}

VEXABRUSH CFillStyle::LoadBrush(tessmor::Archive& ar) {
  VEXABRUSH brush;
  brush.kind = ar.ReadI16();
  brush.unused[0] = ar.ReadU8();
  brush.unused[1] = ar.ReadU8();
  brush.colour = ar.ReadU32();
  brush.background = ar.ReadU32();
  brush.bkMode = ar.ReadI32();
  brush.hatch = ar.ReadI32();
  brush.bitmap = ar.ReadI32();
  return brush;
}

int CFillStyle::AddPolyFill(std::unique_ptr<CVEXAPolyFill> fill) {
  if (!fill || fill->GetPointCount() == 0) return 0;
  fill->SetStyles(this, this);
  fill->ComputeRegion();
  m_lines.push_back(std::move(fill));
  return 1;
}

void CFillStyle::AddArcFill(std::unique_ptr<CVEXAArcFill> fill) {
  if (!fill) return;
  fill->SetStyles(this, this);
  fill->Recompute(true);
  m_arcs.push_back(std::move(fill));
}

void CFillStyle::AddSymbol(std::unique_ptr<CVEXASymbol> symbol) {
  if (!symbol) return;
  symbol->SetStyle(this);
  symbol->ComputeRegion();
  m_symbols.push_back(std::move(symbol));
}

std::unique_ptr<CVEXASymbol> CFillStyle::RemoveSymbol(const CVEXASymbol* item) {
  for (auto it = m_symbols.begin(); it != m_symbols.end(); ++it) {
    if (it->get() == item) {
      std::unique_ptr<CVEXASymbol> taken = std::move(*it);
      m_symbols.erase(it);
      return taken;
    }
  }
  return nullptr;
}

int CFillStyle::DeleteItems(int tag) {
  const auto before = m_symbols.size();
  std::erase_if(m_symbols, [tag](const std::unique_ptr<CVEXASymbol>& s) {
    return tag == -1 || s->GetGroup() == tag;
  });
  return CLineStyle::DeleteItems(tag) + static_cast<int>(before - m_symbols.size());
}

void CFillStyle::DrawItems(tessmor::DC& dc, CBitmapStore* bitmaps, bool all) const {
  tessmor::RECT clip;
  dc.GetClipBox(clip);
  const StyleSelection previous = Select(dc, bitmaps);
  for (const auto& fill : m_lines) {
    if (all || !fill->m_bRegionValid || Meets(fill->GetBounds(), clip)) fill->Draw(dc);
  }
  for (const auto& fill : m_arcs) {
    if (all || !fill->m_bRegionValid || Meets(fill->GetBounds(), clip)) fill->Draw(dc);
  }
  for (const auto& symbol : m_symbols) {
    if (all || Meets(symbol->GetBounds(), clip)) symbol->Draw(dc);
  }
  Deselect(dc, previous);
}

void CFillStyle::Serialize(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    StoreLineForm(ar);
    ar.WriteU32(static_cast<std::uint32_t>(std::min<std::size_t>(m_lines.size(), 0xFFFF)));
    ar.WriteU32(static_cast<std::uint32_t>(std::min<std::size_t>(m_arcs.size(), 0xFFFF)));
    ar.WriteU32(static_cast<std::uint32_t>(m_symbols.size()));
    StoreBrush(ar, m_brush);
    for (std::size_t i = 0; i < std::min<std::size_t>(m_lines.size(), 0xFFFF); ++i) {
      m_lines[i]->Serialize(ar);
    }
    for (std::size_t i = 0; i < std::min<std::size_t>(m_arcs.size(), 0xFFFF); ++i) {
      m_arcs[i]->Serialize(ar);
    }
    for (const auto& symbol : m_symbols) symbol->Serialize(ar);
    return;
  }
  // Everything is read before anything changes, so that a short read leaves the style whole.
  const VEXAPEN pen = LoadPen(ar);
  VEXAPEN checked;
  CheckPenStyle(&pen, &checked);
  const VEXAPEN kept = m_pen;
  // The items are read with the pen they will be drawn with, for their regions.
  m_pen = checked;
  std::vector<std::unique_ptr<CVEXALine>> fills;
  std::vector<std::unique_ptr<CVEXAArc>> arc_fills;
  std::vector<std::unique_ptr<CVEXASymbol>> symbols;
  VEXABRUSH brush;
  try {
    {
      // The line-style part repeats the fills as plain items: read past them.
      std::vector<std::unique_ptr<CVEXALine>> plain_lines;
      std::vector<std::unique_ptr<CVEXAArc>> plain_arcs;
      LoadLineItems(ar, plain_lines, plain_arcs);
    }
    const std::uint32_t fill_count = ar.ReadU32();
    const std::uint32_t arc_fill_count = ar.ReadU32();
    const std::uint32_t symbol_count = ar.ReadU32();
    brush = LoadBrush(ar);
    vexa_item::RequireRoom(ar, 1,
                           std::uint64_t{fill_count} * kStoredLineMinBytes +
                               std::uint64_t{arc_fill_count} * kStoredArcMinBytes +
                               std::uint64_t{symbol_count} * kStoredSymbolBytes);
    for (std::uint32_t i = 0; i < fill_count; ++i) {
      auto fill = std::make_unique<CVEXAPolyFill>();
      fill->SetStyles(this, this);
      fill->Serialize(ar);
      if (fill->GetPointCount() > 0) fills.push_back(std::move(fill));
    }
    for (std::uint32_t i = 0; i < arc_fill_count; ++i) {
      auto fill = std::make_unique<CVEXAArcFill>();
      fill->SetStyles(this, this);
      fill->Serialize(ar);
      arc_fills.push_back(std::move(fill));
    }
    for (std::uint32_t i = 0; i < symbol_count; ++i) {
      auto symbol = std::make_unique<CVEXASymbol>();
      symbol->SetStyle(this);
      symbol->Serialize(ar);
      symbols.push_back(std::move(symbol));
    }
  } catch (...) {
    m_pen = kept;
    throw;
  }
  CopyBrushStyle(&brush, &m_brush);
  for (auto& fill : fills) m_lines.push_back(std::move(fill));
  for (auto& fill : arc_fills) m_arcs.push_back(std::move(fill));
  for (auto& symbol : symbols) m_symbols.push_back(std::move(symbol));
  m_bChanged = 0;
}
