#include "plotsupport/StyleRecords.h"

#include <cmath>

#include "util/NumberFormat.h"

namespace {

constexpr VEXAPEN kDefaultPen = {kPenSolid, 0.2f, 0x000000, 0xFFFFFF, kBkTransparent, 0, 0};

constexpr std::uint8_t kDefaultSymbol = 5;
constexpr std::uint32_t kDefaultSymbolSize = 80;

void SetDefaultBrush(VEXABRUSH& b) {
  // The two bytes after the kind keep whatever they held.
  b.kind = kBrushSolid;
  b.colour = 0x808080;
  b.background = 0xFFFFFF;
  b.bkMode = kBkOpaque;
  b.hatch = 0;
  b.bitmap = -1;
}

// Symbol outlines with the half size as 50, (x, y) pairs in drawing order.
struct SymbolTemplate {
  int count;
  int xy[16];
};

constexpr SymbolTemplate kTriangleUp = {3, {0, 50, -50, -50, 50, -50}};
constexpr SymbolTemplate kTriangleLeft = {3, {50, 50, -50, 0, 50, -50}};
constexpr SymbolTemplate kTriangleRight = {3, {50, 0, -50, 50, -50, -50}};
constexpr SymbolTemplate kTriangleDown = {3, {50, 50, -50, 50, 0, -50}};
constexpr SymbolTemplate kSquare = {4, {50, 50, -50, 50, -50, -50, 50, -50}};
constexpr SymbolTemplate kDiamond = {4, {50, 0, 0, 50, -50, 0, 0, -50}};
constexpr SymbolTemplate kStar = {5, {50, 25, -50, 25, 25, -50, 0, 50, -25, -50}};
constexpr SymbolTemplate kTwoTriangles = {6, {50, 25, -50, 25, 0, -50, 0, 50, -50, -25, 50, -25}};
constexpr SymbolTemplate kPlus = {4, {50, 0, -50, 0, 0, 50, 0, -50}};
constexpr SymbolTemplate kCross = {4, {50, 50, -50, -50, 50, -50, -50, 50}};
constexpr SymbolTemplate kPlusAndCross = {
    8, {50, 0, -50, 0, 0, -50, 0, 50, 50, 50, -50, -50, 50, -50, -50, 50}};
constexpr SymbolTemplate kSquarePlus = {
    8, {50, 50, -50, 50, -50, -50, 50, -50, 50, 0, -50, 0, 0, 50, 0, -50}};
constexpr SymbolTemplate kSquarePlusReversed = {
    8, {50, 50, -50, 50, -50, -50, 50, -50, 50, 0, -50, 0, 0, -50, 0, 50}};

// By symbol number; symbol 0 has none.
constexpr const SymbolTemplate* kSymbols[16] = {
    nullptr,        &kTriangleUp, &kTriangleLeft, &kTriangleRight,     &kTriangleDown, &kSquare,
    &kDiamond,      &kSquare,     &kStar,         &kTwoTriangles,      &kPlus,         &kCross,
    &kPlusAndCross, &kSquarePlus, &kSquare,       &kSquarePlusReversed};

}  // namespace

int CheckPenStyle(const VEXAPEN* src, VEXAPEN* dst) {
  if (!src) {
    if (dst) *dst = kDefaultPen;
    return 1;
  }
  VEXAPEN p = *src;
  int valid = 1;
  if (!((p.style >= kPenSolid && p.style <= kPenInsideFrame) ||
        (p.style >= kPenFirstPattern && p.style <= kPenLastPattern))) {
    p.style = kDefaultPen.style;
    valid = 0;
  }
  // Written so that a NaN width fails the test.
  if (!(p.width >= 0.0f && p.width <= 50.0f)) {
    p.width = kDefaultPen.width;
    valid = 0;
  }
  if (p.colour > 0xFFFFFF) {
    p.colour = kDefaultPen.colour;
    valid = 0;
  }
  if (p.background > 0xFFFFFF) {
    p.background = kDefaultPen.background;
    valid = 0;
  }
  if (p.bkMode != kBkTransparent && p.bkMode != kBkOpaque) {
    p.bkMode = kDefaultPen.bkMode;
    valid = 0;
  }
  if (dst) *dst = p;
  return valid;
}

int CopyBrushStyle(const VEXABRUSH* src, VEXABRUSH* dst) {
  if (!src || src->kind == kBrushUseDefault) {
    if (dst) SetDefaultBrush(*dst);
    return 0;
  }
  const VEXABRUSH b = *src;
  if (dst) *dst = b;
  switch (b.kind) {
    case kBrushPattern:
      return 1;
    case kBrushSolid:
    case kBrushHollow:
    case kBrushHatched:
    case kBrushNone:
      return 0;
    default:
      return kBrushKindUnknown;
  }
}

int CheckMarkerStyle(const VEXAMARKER* src, VEXAMARKER* dst) {
  VEXAMARKER m;
  int valid = 1;
  if (!src) {
    m.symbol = kDefaultSymbol;
    m.size = kDefaultSymbolSize;
    m.angle = 0;
    CheckPenStyle(nullptr, &m.pen);
  } else {
    m = *src;
    if (m.angle < -360 || m.angle > 360) {
      m.angle = 0;
      valid = 0;
    }
    if (m.size == 0 || m.size > 1000) {
      m.size = kDefaultSymbolSize;
      valid = 0;
    }
    if (m.symbol > 15) {
      m.symbol = kDefaultSymbol;
      valid = 0;
    }
    if (!CheckPenStyle(&src->pen, &m.pen)) valid = 0;
  }
  if (dst) {
    dst->symbol = m.symbol;
    dst->size = m.size;
    dst->angle = m.angle;
    dst->pen = m.pen;
    // Whether the brush is a pattern brush is no concern of the marker.
    CopyBrushStyle(src ? &src->brush : nullptr, &dst->brush);
  }
  return valid;
}

float mmToPts(float mm) { return static_cast<float>(mm * 2.8346456692913384); }

float PtsTomm(float points) { return static_cast<float>(points * 0.35277777777777775); }

std::vector<tessmor::POINT> GetSymbolVertices(const VEXASYMBOL* symbol, int* count) {
  if (!symbol || symbol->symbol > 15) {
    if (count) *count = 0;
    return {};
  }
  const SymbolTemplate* t = kSymbols[symbol->symbol];
  if (!t) return {};
  // The scale is rounded to single precision before it multiplies the template.
  const float s = static_cast<float>(symbol->size * 0.1);
  std::vector<tessmor::POINT> vertices(static_cast<std::size_t>(t->count));
  for (int i = 0; i < t->count; ++i) {
    vertices[i].x = nintf(static_cast<float>(t->xy[2 * i]) * s);
    vertices[i].y = nintf(static_cast<float>(t->xy[2 * i + 1]) * s);
  }
  if (count) *count = t->count;
  return vertices;
}

std::vector<tessmor::POINT> GetSymbolVertices(const VEXAMARKER* marker, int* count) {
  if (!marker) return GetSymbolVertices(static_cast<const VEXASYMBOL*>(nullptr), count);
  VEXASYMBOL s{};
  s.symbol = marker->symbol;
  s.size = marker->size;
  s.angle = marker->angle;
  return GetSymbolVertices(&s, count);
}

CVexadl1::CVexadl1() = default;

int nVexadl1 = 0;

int fnVexadl1() { return 42; }
