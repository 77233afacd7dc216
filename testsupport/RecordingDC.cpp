#include "testsupport/RecordingDC.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/gdi/QtDC.h"

namespace tessmor::testing {

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
  char buffer[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

std::string PointText(POINT p) { return Format("%d,%d", p.x, p.y); }

std::string RectText(const RECT& r) {
  return Format("%d,%d,%d,%d", r.left, r.top, r.right, r.bottom);
}

std::string BrushText(const Brush& b) {
  std::string s = Format("style=%u color=0x%x", b.style, b.color);
  return s;
}

std::string RegionText(const Region& region) {
  return RectText(region.GetBox()) +
         Format(" rects=%d", static_cast<int>(region.GetRects().size()));
}

// Number of UTF-8 code points (continuation bytes are not counted).
int CodePoints(std::string_view text) {
  int n = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0u) != 0x80u) ++n;
  }
  return n;
}

}  // namespace

RecordingDC::RecordingDC(int pixels_per_inch, RECT device_bounds, bool real_fonts)
    : DC(pixels_per_inch, pixels_per_inch, device_bounds), real_fonts_(real_fonts) {}

std::vector<std::string> RecordingDC::Lines() const {
  std::vector<std::string> lines;
  for (const RecordedCall& c : calls_) lines.push_back(c.line);
  return lines;
}

std::vector<std::string> RecordingDC::Lines(std::string_view name) const {
  std::vector<std::string> lines;
  for (const RecordedCall& c : calls_) {
    if (c.name == name) lines.push_back(c.line);
  }
  return lines;
}

std::vector<const RecordedCall*> RecordingDC::Calls(std::string_view name) const {
  std::vector<const RecordedCall*> found;
  for (const RecordedCall& c : calls_) {
    if (c.name == name) found.push_back(&c);
  }
  return found;
}

int RecordingDC::Count(std::string_view name) const { return static_cast<int>(Calls(name).size()); }

void RecordingDC::Record(std::string line, std::vector<POINT> points, std::string text) {
  RecordedCall call;
  call.name = line.substr(0, line.find(' '));
  call.line = std::move(line);
  call.points = std::move(points);
  call.text = std::move(text);
  call.state = state();
  calls_.push_back(std::move(call));
}

bool RecordingDC::RecordPoints(const char* name, const POINT* points, int count) {
  std::string line = name;
  for (int i = 0; i < count; ++i) line += " " + PointText(points[i]);
  Record(std::move(line), std::vector<POINT>(points, points + count));
  return true;
}

// ---- State -----------------------------------------------------------------------------------

void RecordingDC::OnChange(DCChange what) {
  const DCState& s = state();
  switch (what) {
    case DCChange::kMapMode:
      Record(Format("SetMapMode %d", s.map_mode));
      break;
    case DCChange::kWindowOrg:
      Record("SetWindowOrg " + PointText(s.window_org));
      break;
    case DCChange::kWindowExt:
      Record(Format("SetWindowExt %d,%d", s.window_ext.cx, s.window_ext.cy));
      break;
    case DCChange::kViewportOrg:
      Record("SetViewportOrg " + PointText(s.viewport_org));
      break;
    case DCChange::kViewportExt:
      Record(Format("SetViewportExt %d,%d", s.viewport_ext.cx, s.viewport_ext.cy));
      break;
    case DCChange::kPen:
      Record(Format("SelectPen style=0x%x width=%d color=0x%x", s.pen.style, s.pen.width,
                    s.pen.color));
      break;
    case DCChange::kBrush: {
      std::string line = "SelectBrush " + BrushText(s.brush) + Format(" hatch=%d", s.brush.hatch);
      if (s.brush.pattern) {
        line += Format(" pattern=%dx%d", s.brush.pattern->width, s.brush.pattern->height);
      }
      Record(std::move(line));
      break;
    }
    case DCChange::kFont:
      Record(Format("SelectFont height=%d width=%d escapement=%d weight=%d italic=%d "
                    "underline=%d face=",
                    s.font.lfHeight, s.font.lfWidth, s.font.lfEscapement, s.font.lfWeight,
                    s.font.lfItalic, s.font.lfUnderline) +
             std::string(s.font.lfFaceName, strnlen(s.font.lfFaceName, LF_FACESIZE)));
      break;
    case DCChange::kTextColor:
      Record(Format("SetTextColor 0x%x", s.text_color));
      break;
    case DCChange::kBkColor:
      Record(Format("SetBkColor 0x%x", s.bk_color));
      break;
    case DCChange::kBkMode:
      Record(Format("SetBkMode %d", s.bk_mode));
      break;
    case DCChange::kTextAlign:
      Record(Format("SetTextAlign 0x%x", s.text_align));
      break;
    case DCChange::kPolyFillMode:
      Record(Format("SetPolyFillMode %d", s.poly_fill_mode));
      break;
    case DCChange::kRop2:
      Record(Format("SetROP2 %d", s.rop2));
      break;
    case DCChange::kClip:
      Record(s.has_clip ? "Clip " + RectText(s.clip.GetBox()) : std::string("Clip none"));
      break;
  }
}

void RecordingDC::OnSaveDC(int level) { Record(Format("SaveDC %d", level)); }

void RecordingDC::OnRestoreDC(int level, int) { Record(Format("RestoreDC %d", level)); }

// ---- Drawing ---------------------------------------------------------------------------------

void RecordingDC::DoMoveTo(POINT p) { Record("MoveTo " + PointText(p), {p}); }

bool RecordingDC::DoLineTo(POINT to) {
  Record("LineTo " + PointText(to), {to});
  return true;
}

bool RecordingDC::DoPolyline(const POINT* points, int count) {
  return RecordPoints("Polyline", points, count);
}

bool RecordingDC::DoPolylineTo(const POINT* points, int count) {
  return RecordPoints("PolylineTo", points, count);
}

bool RecordingDC::DoPolyBezier(const POINT* points, int count) {
  return RecordPoints("PolyBezier", points, count);
}

bool RecordingDC::DoPolyBezierTo(const POINT* points, int count) {
  return RecordPoints("PolyBezierTo", points, count);
}

bool RecordingDC::DoPolygon(const POINT* points, int count) {
  return RecordPoints("Polygon", points, count);
}

bool RecordingDC::DoRectangle(const RECT& r) {
  Record("Rectangle " + RectText(r), {POINT{r.left, r.top}, POINT{r.right, r.bottom}});
  return true;
}

bool RecordingDC::DoEllipse(const RECT& r) {
  Record("Ellipse " + RectText(r), {POINT{r.left, r.top}, POINT{r.right, r.bottom}});
  return true;
}

bool RecordingDC::DoFillRect(const RECT& r, const Brush& brush) {
  Record("FillRect " + RectText(r) + " " + BrushText(brush),
         {POINT{r.left, r.top}, POINT{r.right, r.bottom}});
  return true;
}

bool RecordingDC::DoBeginPath() {
  Record("BeginPath");
  return true;
}

bool RecordingDC::DoEndPath() {
  Record("EndPath");
  return true;
}

bool RecordingDC::DoCloseFigure() {
  Record("CloseFigure");
  return true;
}

bool RecordingDC::DoAbortPath() {
  Record("AbortPath");
  return true;
}

bool RecordingDC::DoStrokePath() {
  Record("StrokePath");
  return true;
}

bool RecordingDC::DoFillPath() {
  Record("FillPath");
  return true;
}

bool RecordingDC::DoStrokeAndFillPath() {
  Record("StrokeAndFillPath");
  return true;
}

bool RecordingDC::DoTextOut(POINT at, std::string_view text) {
  Record("TextOut " + PointText(at) + " \"" + std::string(text) + "\"", {at}, std::string(text));
  return true;
}

SIZE RecordingDC::DoGetTextExtent(std::string_view text) const {
  if (real_fonts_) return QtDC::MeasureTextExtent(*this, text);
  const TEXTMETRIC tm = DoGetTextMetrics();
  return SIZE{tm.tmAveCharWidth * CodePoints(text), tm.tmHeight};
}

TEXTMETRIC RecordingDC::DoGetTextMetrics() const {
  if (real_fonts_) return QtDC::MeasureTextMetrics(*this);
  const LOGFONT& lf = GetFont();
  TEXTMETRIC tm;
  const std::int32_t h = lf.lfHeight == 0 ? 16 : std::abs(lf.lfHeight);
  tm.tmHeight = h;
  tm.tmAscent = static_cast<std::int32_t>(std::lround(0.8 * h));
  tm.tmDescent = h - tm.tmAscent;
  tm.tmAveCharWidth =
      lf.lfWidth != 0 ? std::abs(lf.lfWidth) : static_cast<std::int32_t>(std::lround(h / 2.0));
  tm.tmMaxCharWidth = tm.tmAveCharWidth;
  tm.tmWeight = lf.lfWeight;
  tm.tmItalic = lf.lfItalic;
  tm.tmUnderlined = lf.lfUnderline;
  tm.tmStruckOut = lf.lfStrikeOut;
  return tm;
}

bool RecordingDC::DoFillRgn(const Region& region, const Brush& brush) {
  Record("FillRgn " + RegionText(region) + " " + BrushText(brush));
  return true;
}

bool RecordingDC::DoFrameRgn(const Region& region, const Brush& brush, SIZE size) {
  Record("FrameRgn " + RegionText(region) + Format(" %d,%d", size.cx, size.cy));
  return true;
}

bool RecordingDC::DoInvertRgn(const Region& region) {
  Record("InvertRgn " + RegionText(region));
  return true;
}

}  // namespace tessmor::testing
