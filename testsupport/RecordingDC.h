#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/DC.h"

namespace tessmor::testing {

/// One call made on a RecordingDC.
struct RecordedCall {
  /// The call as one line of text, e.g. "LineTo 10,20" or "SelectPen style=0x0 width=20
  /// color=0xff" (see RecordingDC for every form).
  std::string line;
  /// The call's name: the first word of `line`.
  std::string name;
  /// The logical points given (for a rectangle: its two corners; for text: the reference
  /// point actually used).
  std::vector<POINT> points;
  /// The text of TextOut.
  std::string text;
  /// The whole DC state when the call was made (after the change, for state setters).
  DCState state;
};

/// A DC that draws nothing and records every call, for tests that assert on the drawing of
/// higher-level code. Its mapping is the DC's own, with the pixels per inch and device
/// bounds it is given (a 96 dpi page of 1000 × 1000 pixels by default).
///
/// Text is measured with a simple model in logical units, so that expectations are easy to
/// work out by hand: the cell height h is |lfHeight| (16 when 0) whatever its sign, ascent
/// round(0.8 h), descent h − ascent, no leading; every character (UTF-8 code point) is
/// lfWidth wide, or round(h / 2) when lfWidth is 0. Give `real_fonts` to measure with the
/// fonts a QtDC would use instead (needs a QGuiApplication).
///
/// Lines recorded (numbers in decimal, colours and styles in hexadecimal, points as x,y):
///   SetMapMode m | SetWindowOrg x,y | SetWindowExt cx,cy | SetViewportOrg x,y |
///   SetViewportExt cx,cy | SelectPen style=0x.. width=w color=0x.. |
///   SelectBrush style=s color=0x.. hatch=h [pattern=WxH] | SelectFont height=h width=w
///   escapement=e weight=w italic=i underline=u face=NAME | SetTextColor 0x.. |
///   SetBkColor 0x.. | SetBkMode m | SetTextAlign 0x.. | SetPolyFillMode m | SetROP2 m |
///   Clip l,t,r,b (the clip box in device pixels, or "Clip none") | SaveDC level |
///   RestoreDC level | MoveTo x,y | LineTo x,y | Polyline p1 p2 … | PolylineTo … |
///   PolyBezier … | PolyBezierTo … | Polygon … | Rectangle l,t,r,b | Ellipse l,t,r,b |
///   FillRect l,t,r,b style=s color=0x.. | BeginPath | EndPath | CloseFigure | AbortPath |
///   StrokePath | FillPath | StrokeAndFillPath | TextOut x,y "text" |
///   FillRgn l,t,r,b rects=n style=s color=0x.. | FrameRgn l,t,r,b rects=n w,h |
///   InvertRgn l,t,r,b rects=n   (regions by their box and rectangle count)
class RecordingDC : public DC {
 public:
  explicit RecordingDC(int pixels_per_inch = 96, RECT device_bounds = RECT{0, 0, 1000, 1000},
                       bool real_fonts = false);

  const std::vector<RecordedCall>& calls() const { return calls_; }
  /// The recorded lines, in order.
  std::vector<std::string> Lines() const;
  /// The recorded lines whose call name is `name`.
  std::vector<std::string> Lines(std::string_view name) const;
  /// The calls named `name`.
  std::vector<const RecordedCall*> Calls(std::string_view name) const;
  /// Number of calls named `name`.
  int Count(std::string_view name) const;
  void Clear() { calls_.clear(); }

 protected:
  void OnChange(DCChange what) override;
  void OnSaveDC(int level) override;
  void OnRestoreDC(int level, int popped) override;

  void DoMoveTo(POINT p) override;
  bool DoLineTo(POINT to) override;
  bool DoPolyline(const POINT* points, int count) override;
  bool DoPolylineTo(const POINT* points, int count) override;
  bool DoPolyBezier(const POINT* points, int count) override;
  bool DoPolyBezierTo(const POINT* points, int count) override;
  bool DoPolygon(const POINT* points, int count) override;
  bool DoRectangle(const RECT& r) override;
  bool DoEllipse(const RECT& r) override;
  bool DoFillRect(const RECT& r, const Brush& brush) override;
  bool DoBeginPath() override;
  bool DoEndPath() override;
  bool DoCloseFigure() override;
  bool DoAbortPath() override;
  bool DoStrokePath() override;
  bool DoFillPath() override;
  bool DoStrokeAndFillPath() override;
  bool DoTextOut(POINT at, std::string_view text) override;
  SIZE DoGetTextExtent(std::string_view text) const override;
  TEXTMETRIC DoGetTextMetrics() const override;
  bool DoFillRgn(const Region& region, const Brush& brush) override;
  bool DoFrameRgn(const Region& region, const Brush& brush, SIZE size) override;
  bool DoInvertRgn(const Region& region) override;

 private:
  void Record(std::string line, std::vector<POINT> points = {}, std::string text = {});
  bool RecordPoints(const char* name, const POINT* points, int count);

  bool real_fonts_;
  std::vector<RecordedCall> calls_;
};

}  // namespace tessmor::testing
