// The chart of the profile view: the profile panel with its axes, background, anomaly and
// legend; the derived curves of the analysis displays; the depth panel of the model; and the
// magnification of the chart. Every length is paper millimetres.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "chart/styles/FillStyle.h"
#include "profile/TessmorDoc.h"
#include "profileview/TessmorView.h"
#include "util/NumberFormat.h"

namespace {

// Colours as the desktop writes them: 0x00BBGGRR.
constexpr std::uint32_t kBlue = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kBlack = 0x000000;

// Symbol kinds of the plot support library.
constexpr int kAnomalySymbol = 5;
constexpr int kGreenSymbol = 7;

// Panel proportions: the distance axis takes 0.7 of the paper width, the anomaly axis 0.6 of
// its height (0.3 above the model).
constexpr float kPanelWidth = 0.7f;
constexpr float kPanelHeight = 0.6f;
constexpr float kModelPanelHeight = 0.3f;
constexpr float kModelPanelBottom = 0.4f;
// The depth panel: its top 0.15 of the paper height below the profile panel, 0.2 high.
constexpr float kDepthPanelGap = 0.15f;
constexpr float kDepthPanelHeight = 0.2f;

// Character sizes, mm.
constexpr float kAxisTextSize = 3.0f;
constexpr float kLegendTextSize = 5.0f;
constexpr float kChartTitleSize = 10.0f;
constexpr float kSymbolSize = 2.5f;

void SetTitle(AXIS& axis, const char* title) {
  std::snprintf(axis.title, sizeof axis.title, "%s", title);
}

// An axis record for a panel axis: the default font, character size 3 mm, default layout.
AXIS PanelAxis(const char* title, float angle) {
  AXIS axis;
  SetTitle(axis, title);
  axis.angle = angle;
  axis.flags = 0;
  axis.axisPen = VEXAPEN{kPenSolid, 0.2f, kBlack, 0xFFFFFF, kBkTransparent, 0, 0};
  axis.labelStyle = DefaultTextStyle();
  axis.labelStyle.height = kAxisTextSize;
  axis.titleStyle = DefaultTextStyle();
  axis.titleStyle.height = kAxisTextSize;
  return axis;
}

// `style`'s font and colours, keeping the height and justification of `*target`.
void TakeFont(TEXTSTYLE* target, const TEXTSTYLE& style) {
  const float height = target->height;
  const std::uint32_t justification = target->justification;
  *target = style;
  target->height = height;
  target->justification = justification;
}

}  // namespace

void CTessmorView::InitAxes() {
  m_distanceAxis = PanelAxis("Distance In Km", 0.0f);
  m_anomalyAxis = PanelAxis("Gravity Anomaly (mGals)", 90.0f);
  // The anomaly axis stands at the panel's left edge: its labels (turned with it) and its
  // title go on the outer side, left of the line, instead of into the panel.
  m_anomalyAxis.flags = kAxisLabelsRotated | kAxisTitleFixed | kAxisLabelsPositiveSide;
}

void CTessmorView::SetAxisFont(const TEXTSTYLE& style) {
  for (AXIS* axis : {&m_distanceAxis, &m_anomalyAxis}) {
    TakeFont(&axis->labelStyle, style);
    TakeFont(&axis->titleStyle, style);
  }
}

void CTessmorView::GetAnomalyRange(int layout, float& low, float& high) const {
  const CTessmorDoc* doc = GetDocument();
  std::vector<float> values;
  if (layout == kLayoutProfile) {
    for (const auto& p : doc->m_points) values.push_back(static_cast<float>(p->anomaly));
    if (doc->m_nBackgroundType == kBackgroundConstant ||
        doc->m_nBackgroundType == kBackgroundLinear) {
      values.push_back(static_cast<float>(doc->BackgroundAt(doc->m_nBackgroundLeft)));
      values.push_back(static_cast<float>(doc->BackgroundAt(doc->m_nBackgroundRight)));
    }
  } else {
    const int n = doc->GetPointCount(10);
    for (int i = 0; i < n; ++i)
      values.push_back(static_cast<float>(doc->GetPoint(i, true).anomaly));
  }
  low = high = 0.0f;
  if (values.empty()) return;
  const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
  low = *lo;
  high = *hi;
  // A flat profile gets a range below its level (or below 0 for a profile of zeros).
  if (AreSamef(low, high)) low = IsZero(high) ? -1.0f : high - high * 0.2f;
}

void CTessmorView::EnterPanel() {
  SaveRestoreTransform(2);
  ShiftOrigin(m_panel.left, m_panel.bottom);
}

// Before the first panel the axes have no scale: everything maps to 0.
float CTessmorView::PanelX(double distance) const {
  if (m_distanceAxis.scale == 0.0f) return 0.0f;
  return (static_cast<float>(distance * 0.001) - m_distanceAxis.origin) / m_distanceAxis.scale;
}

float CTessmorView::PanelY(double anomaly) const {
  if (m_anomalyAxis.scale == 0.0f) return 0.0f;
  return (static_cast<float>(anomaly) - m_anomalyAxis.origin) / m_anomalyAxis.scale;
}

void CTessmorView::WriteLegend(const char* text) {
  SetTextJustification(kJustifyLeftBaseline);
  SetTextSize(kLegendTextSize, kLegendTextSize);
  WriteText(text);
}

void CTessmorView::DrawProfile(int layout) {
  CTessmorDoc* doc = GetDocument();
  // Without a panel the derived curves have nowhere to go; the chart is left as it was.
  m_panel.drawn = false;
  if (!doc || doc->GetPointCount(1) <= 5) return;
  if (layout == kLayoutProfile && doc->m_nInterpStatus == 1) return;

  NewChart();
  // Everything on the profile chart may be restyled by the user, for a report.
  SetStyleFlags(CLineStyle::kEditable);
  const ChartPaper paper = GetPaper();
  int first = 0, last = 0;
  doc->GetDistanceRange(first, last, 10);
  float low = 0.0f, high = 0.0f;
  GetAnomalyRange(layout, low, high);

  // The panel: its lower-left corner centred across the page, and centred down it (or at
  // 0.4 of the height above the depth panel).
  m_panel = Panel{};
  m_panel.layout = layout;
  m_panel.paperWidth = paper.width;
  m_panel.paperHeight = paper.height;
  m_panel.width = kPanelWidth * paper.width;
  m_panel.height = (layout == kLayoutModel ? kModelPanelHeight : kPanelHeight) * paper.height;
  m_panel.left = (paper.width - m_panel.width) * 0.5f;
  m_panel.bottom = layout == kLayoutModel ? kModelPanelBottom * paper.height
                                          : (paper.height - m_panel.height) * 0.5f;
  m_panel.drawn = true;
  EnterPanel();

  NewObject("Distance axis");
  m_distanceAxis.length = m_panel.width;
  DrawAxis(static_cast<float>(first * 0.001), static_cast<float>(last * 0.001), &m_distanceAxis);
  NewObject("Anomaly axis");
  m_anomalyAxis.length = m_panel.height;
  DrawAxis(low, high, &m_anomalyAxis);

  const float above = m_panel.height;  // the panel's top, mm above its origin
  if (layout == kLayoutProfile && (doc->m_nBackgroundType == kBackgroundConstant ||
                                   doc->m_nBackgroundType == kBackgroundLinear)) {
    NewObject("Background");
    SetPen(kBlue, 1.0f, 1, 0, 0);
    SetPenStyle(3);
    if (doc->m_nBackgroundType == kBackgroundConstant) {
      const float y = PanelY(doc->m_dBackgroundLevel);
      MoveTo(0.0, y);
      LineTo(m_panel.width, y);
    } else {
      MoveTo(PanelX(doc->m_nBackgroundLeft), PanelY(doc->BackgroundAt(doc->m_nBackgroundLeft)));
      LineTo(PanelX(doc->m_nBackgroundRight), PanelY(doc->BackgroundAt(doc->m_nBackgroundRight)));
    }
    MoveTo(m_panel.width - 30.0, above + 0.05 * paper.height);
    LineBy(10.0, 0.0);
    MoveBy(5.0, 0.0);
    WriteLegend("Background");
  }

  // The measured points, or the equally spaced series (background removed above the model).
  std::vector<float> xs, ys;
  if (layout == kLayoutProfile && m_bShowInterpolated == 0) {
    for (const auto& p : doc->m_points) {
      xs.push_back(PanelX(p->distance));
      ys.push_back(PanelY(p->anomaly));
    }
  } else {
    const int n = doc->GetPointCount(10);
    for (int i = 0; i < n; ++i) {
      const ProfilePoint p = doc->GetPoint(i, layout == kLayoutModel);
      xs.push_back(PanelX(p.distance));
      ys.push_back(PanelY(p.anomaly));
    }
  }
  NewObject("Anomaly");
  SetPen(kBlue, 0.5f, 1, 0, 0);
  SetPenStyle(0);
  const int n = static_cast<int>(xs.size());
  DrawPolyline(xs.data(), ys.data(), n);
  SetSymbolSize(kSymbolSize);
  SetFillStyle(kBlue, CFillStyle::kBrushCodeSolid);
  DrawSymbols(xs.data(), ys.data(), n, kAnomalySymbol);
  if (!doc->m_strTraverseName.empty()) {
    MoveTo(m_panel.width * 0.5, above + 0.15 * paper.height);
    SetTextJustification(kJustifyCentreBaseline);
    SetTextSize(kChartTitleSize, kChartTitleSize);
    WriteText(doc->m_strTraverseName);
  }
  MoveTo(0.0, above + 0.05 * paper.height);
  DrawSymbol(kAnomalySymbol);
  MoveBy(5.0, 0.0);
  WriteLegend("Anomaly");
  RefreshStyles();
}

void CTessmorView::DrawGreenCurve(const std::vector<float>& xs, const std::vector<float>& ys,
                                  const char* title, float gap) {
  if (!m_panel.drawn || xs.empty()) return;
  EnterPanel();
  NewObject(title);
  SetPen(kGreen, 0.5f, 1, 0, 0);
  SetPenStyle(1);
  const int n = static_cast<int>(xs.size());
  DrawPolyline(xs.data(), ys.data(), n);
  SetSymbolSize(kSymbolSize);
  SetFillStyle(kGreen, CFillStyle::kBrushCodeSolid);
  DrawSymbols(xs.data(), ys.data(), n, kGreenSymbol);
  MoveTo(0.0, m_panel.height + 0.10 * m_panel.paperHeight);
  DrawSymbol(kGreenSymbol);
  MoveBy(gap, 0.0);
  WriteLegend(title);
  RefreshStyles();
}

void CTessmorView::DrawRedCurve(const std::vector<float>& xs, const std::vector<float>& values,
                                const char* axisTitle, float zeroWidth, int symbol,
                                const char* title, float gap) {
  if (!m_panel.drawn || values.empty()) return;
  const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
  const float low = *lo;
  AXIS axis = m_anomalyAxis;
  SetTitle(axis, axisTitle);
  axis.angle = 90.0f;
  axis.flags = 0;  // at the right edge: labels and title on the outer side, right of the line
  axis.labelStyle.height = kAxisTextSize;
  axis.titleStyle.height = kAxisTextSize;

  EnterPanel();
  NewObject(title);
  ShiftOrigin(m_panel.width, 0.0);
  DrawAxis(low, *hi, &axis);
  EnterPanel();
  // The zero line: |start of the axis range| over its scale, the level of 0 when the axis
  // runs from below 0.
  const float zero = std::fabs(axis.origin) / axis.scale;
  SetPen(kRed, zeroWidth, 1, 0, 0);
  SetPenStyle(0);
  MoveTo(0.0, zero);
  LineTo(m_panel.width, zero);

  std::vector<float> ys;
  for (float v : values) ys.push_back((v - axis.origin) / axis.scale);
  SetPen(kRed, 0.5f, 1, 0, 0);
  SetPenStyle(2);
  const int n = static_cast<int>(xs.size());
  DrawPolyline(xs.data(), ys.data(), n);
  SetSymbolSize(kSymbolSize);
  SetFillStyle(kRed, CFillStyle::kBrushCodeSolid);
  DrawSymbols(xs.data(), ys.data(), n, symbol);
  MoveTo(0.0, m_panel.height + 0.15 * m_panel.paperHeight);
  DrawSymbol(symbol);
  MoveBy(gap, 0.0);
  WriteLegend(title);
  RefreshStyles();
}

void CTessmorView::DrawDepthPanel(const BlockResultArray& results) {
  const CTessmorDoc* doc = GetDocument();
  if (!m_panel.drawn || m_panel.layout != kLayoutModel || results.empty()) return;
  const long dx = doc->m_bEquallySpaced ? doc->GetEqualSpacing() : doc->m_nSpacing;
  const float prism = static_cast<float>(dx * 0.001) / m_distanceAxis.scale;  // mm wide
  const float depthHeight = kDepthPanelHeight * m_panel.paperHeight;
  const float z0 = m_fBoundaryDepth;

  // Origin: the depth-0 line, half a prism left of the profile panel, below it.
  SaveRestoreTransform(2);
  ShiftOrigin(m_panel.left - 0.5f * prism, m_panel.bottom - kDepthPanelGap * m_panel.paperHeight);
  NewObject("Depth panel");

  // "Density Contrast=  -150 Kg/m³", each piece on one baseline 5.5 mm above the top line.
  constexpr double kBaseline = 5.5;
  SetTextJustification(kJustifyLeftBaseline);
  SetTextSize(kLegendTextSize, kLegendTextSize);
  MoveTo(0.0, kBaseline);
  WriteText("Density Contrast=");
  MoveTo(GetTransform().PenWorld().x, kBaseline);
  WriteInteger(nintf(m_fDensity), 6);
  MoveTo(GetTransform().PenWorld().x, kBaseline);
  WriteText(" Kg/m");
  MoveTo(GetTransform().PenWorld().x, kBaseline + 2.5);
  SetTextSize(3.0f, 3.0f);
  WriteText("3");

  SetPen(kBlack, 0.5f, 1, 0, 0);
  SetPenStyle(0);
  MoveTo(0.0, 0.0);
  LineBy(m_panel.width + prism, 0.0);
  if (m_nModelType == 1) {
    MoveTo(0.0, -depthHeight);
    LineBy(m_panel.width + prism, 0.0);
  }

  float deepest = z0;
  if (m_nModelType != 1) {
    deepest = 0.0f;
    for (const auto& r : results) deepest = std::max(deepest, r->depth);
    if (deepest == 0.0f) deepest = 1.0f;
  }
  AXIS axis = m_anomalyAxis;
  SetTitle(axis, "Depth (km)  ");
  axis.angle = 270.0f;
  axis.flags = 0;  // pointing down: labels and title left of the line
  axis.length = depthHeight;
  DrawAxis(0.0f, deepest, &axis);

  // One prism per sample, from the boundary to its free face; y runs down with depth.
  const auto depthY = [&axis](float z) { return -(z - axis.origin) / axis.scale; };
  SetPenRecord(VEXAPEN{kPenSolid, 0.2f, kBlack, 0xFFFFFF, kBkTransparent, 0, 0});
  SetBitmapFill(kPrismBitmap);
  for (std::size_t k = 0; k < results.size(); ++k) {
    const float face = results[k]->depth;
    if (face == z0) continue;  // no thickness
    const float centre = PanelX(doc->GetPoint(static_cast<int>(k), true).distance) + 0.5f * prism;
    FillRectangle(centre - 0.5f * prism, centre + 0.5f * prism, depthY(z0), depthY(face));
  }
  RefreshStyles();
}

// --- magnification ---

void CTessmorView::SetMagnification(int percent) {
  SetZoomPercent(percent, true);
  m_nMagnification = percent;
  OnSetFocus();
}

std::string CTessmorView::GetMagnificationText() const {
  // The zoom in force: after Normal View it is normal size whatever m_nMagnification says.
  const int p = m_nZoom < 1 ? 0 : m_nZoom;
  return std::to_string(p < 101 ? -p : p - 100) + "%";
}

void CTessmorView::OnSetFocus() {
  m_strPaneText = GetMagnificationText();
  if (m_statusPane) m_statusPane(m_strPaneText);
}
