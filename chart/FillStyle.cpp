#include "chart/FillStyle.h"

#include "chart/BitmapStore.h"
#include "platform/Archive.h"
#include "platform/DC.h"

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

void CFillStyle::Serialize(tessmor::Archive& ar) {
  if (ar.IsStoring()) {
    CLineStyle::Serialize(ar);
    ar.WriteU32(static_cast<std::uint32_t>(m_lines.size()));
    ar.WriteU32(static_cast<std::uint32_t>(m_arcs.size()));
    ar.WriteU32(static_cast<std::uint32_t>(m_symbols.size()));
    StoreBrush(ar, m_brush);
    return;
  }
  // Everything is read before anything changes, so that a short read leaves the style whole.
  const VEXAPEN pen = LoadPen(ar);
  RequireNoItems(ar.ReadU16());
  RequireNoItems(ar.ReadU16());
  const std::uint32_t fills = ar.ReadU32();
  const std::uint32_t arc_fills = ar.ReadU32();
  const std::uint32_t symbols = ar.ReadU32();
  const VEXABRUSH brush = LoadBrush(ar);
  RequireNoItems(fills);
  RequireNoItems(arc_fills);
  RequireNoItems(symbols);
  CheckPenStyle(&pen, &m_pen);
  CopyBrushStyle(&brush, &m_brush);
  m_bChanged = 0;
}
