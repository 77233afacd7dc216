#include "profileview/TessmorView.h"

#include <cstdio>
#include <cstdlib>

#include "chart/styles/CharStyle.h"
#include "platform/io/Settings.h"
#include "platform/ui/DialogRunner.h"
#include "platform/ui/Prompts.h"
#include "profile/TessmorDoc.h"
#include "profileview/BackgroundDlg.h"
#include "profileview/DerivSourceDlg.h"
#include "profileview/InterpolationDlg.h"
#include "profileview/InversionDlg.h"
#include "profileview/UpwardContDlg.h"

namespace {
// The view whose command is running, if any.
CTessmorView* g_commanding = nullptr;

// The other profile views of `view`'s document.
std::vector<CTessmorView*> Siblings(const CTessmorView& view) {
  std::vector<CTessmorView*> out;
  if (const CTessmorDoc* doc = view.GetDocument()) {
    for (tessmor::View* v : doc->views()) {
      auto* t = dynamic_cast<CTessmorView*>(v);
      if (t && t != &view) out.push_back(t);
    }
  }
  return out;
}
}  // namespace

CTessmorView::CTessmorView() { InitAxes(); }

CTessmorView::~CTessmorView() {
  char text[16];
  std::snprintf(text, sizeof text, "%d", m_nMagnification);
  tessmor::GetSettings().WriteString(kViewSection, kMagnificationEntry, text);
}

CTessmorDoc* CTessmorView::GetDocument() const {
  return static_cast<CTessmorDoc*>(CVexaView::GetDocument());
}

bool CTessmorView::IsCommandEnabled(int id) const {
  const CTessmorDoc* doc = GetDocument();
  if (!doc) return false;
  switch (id) {
    case ID_UPWARD_CONTINUE:
    case ID_SECOND_DERIV:
    case ID_2D_MODEL:
      return doc->GetPointCount(1) >= 6;
    case ID_INTERPOLATE:
      return doc->m_bEquallySpaced == 0;
    case ID_BACKGROUND:
    case ID_ONLY_ANOMALY:
    case ID_FONT:
    case ID_PAPER_SIZE:
    case ID_DEFAULT_PEN:
    case ID_DEFAULT_MARKER:
    case ID_EDIT_COPY:
    case ID_REDUCE_25:
    case ID_REDUCE_33:
    case ID_REDUCE_50:
    case ID_REDUCE_75:
    case ID_MAGNIFY_20:
    case ID_MAGNIFY_30:
    case ID_MAGNIFY_50:
    case ID_MAGNIFY_100:
    case ID_NORMAL_VIEW:
    case ID_EXPAND:
    case ID_SHRINK:
      return true;
    case ID_EXPORT:
      return m_bShowDeriv == 1 || m_bShowUpward == 1 || m_bShowModel == 1;
    case ID_EDIT_UNDO:
      return doc->IsChartEmpty() == 0 || CanUndoEdit();
    case ID_EQUALLY_SPACED:
      return doc->GetPointCount(10) <= 1;
    case ID_EXPORT_EQUALLY_SPACED:
    case ID_DISPLAY_INTERPOLATED:
      return doc->m_bEquallySpaced == 0;
    default:
      return false;
  }
}

bool CTessmorView::IsCommandChecked(int id) const {
  const CTessmorDoc* doc = GetDocument();
  if (!doc) return false;
  switch (id) {
    case ID_EQUALLY_SPACED:
      return doc->m_bEquallySpaced == 1;
    case ID_EXPORT_EQUALLY_SPACED:
      return doc->m_bEquallySpaced == 0 && doc->m_bExportEquallySpaced == 1;
    case ID_DISPLAY_INTERPOLATED:
      return doc->m_bEquallySpaced == 0 && m_bShowInterpolated == 1;
    default:
      return false;
  }
}

CTessmorView* CTessmorView::DrawingView() const {
  const CTessmorDoc* doc = GetDocument();
  if (!doc) return nullptr;
  if (g_commanding && g_commanding->GetDocument() == doc) return g_commanding;
  for (tessmor::View* v : doc->views()) {
    if (auto* t = dynamic_cast<CTessmorView*>(v)) return t;
  }
  return nullptr;
}

void CTessmorView::CopyDisplaySettings(const CTessmorView& other) {
  m_fContHeight = other.m_fContHeight;
  m_fDensity = other.m_fDensity;
  m_fBoundaryDepth = other.m_fBoundaryDepth;
  m_nModelType = other.m_nModelType;
  m_bShowDeriv = other.m_bShowDeriv;
  m_bShowUpward = other.m_bShowUpward;
  m_bShowModel = other.m_bShowModel;
  m_nDerivSource = other.m_nDerivSource;
  m_bShowInterpolated = other.m_bShowInterpolated;
  m_bControlEdges = other.m_bControlEdges;
  m_distanceAxis = other.m_distanceAxis;
  m_anomalyAxis = other.m_anomalyAxis;
  m_panel = other.m_panel;
}

bool CTessmorView::OnCommand(int id) {
  if (!IsCommandEnabled(id)) return false;
  // This view draws while its command runs; afterwards every view of the document shows
  // the same displays.
  struct Commanding {
    CTessmorView* previous;
    CTessmorView& view;
    explicit Commanding(CTessmorView& v) : previous(g_commanding), view(v) { g_commanding = &v; }
    ~Commanding() {
      g_commanding = previous;
      for (CTessmorView* other : Siblings(view)) other->CopyDisplaySettings(view);
    }
  } commanding(*this);
  switch (id) {
    case ID_UPWARD_CONTINUE:
      OnUpwardContinue();
      return true;
    case ID_SECOND_DERIV:
      OnSecondDeriv();
      return true;
    case ID_2D_MODEL:
      On2DModel();
      return true;
    case ID_INTERPOLATE:
      OnInterpolate();
      return true;
    case ID_BACKGROUND:
      OnBackground();
      return true;
    case ID_ONLY_ANOMALY:
      OnOnlyAnomaly();
      return true;
    case ID_EQUALLY_SPACED:
      OnEquallySpaced();
      return true;
    case ID_EXPORT_EQUALLY_SPACED:
      OnExportEquallySpaced();
      return true;
    case ID_DISPLAY_INTERPOLATED:
      OnDisplayInterpolated();
      return true;
    case ID_FONT:
      OnFont();
      return true;
    case ID_PAPER_SIZE:
      OnPaperSize();
      return true;
    case ID_EXPORT:
      OnExport();
      return true;
    case ID_EDIT_COPY:
      OnEditCopy();
      return true;
    case ID_EDIT_UNDO:
      OnEditUndo();
      return true;
    case ID_DEFAULT_PEN:
      OnDefaultPen();
      return true;
    case ID_DEFAULT_MARKER:
      OnDefaultMarker();
      return true;
    case ID_REDUCE_25:
      SetMagnification(25);
      return true;
    case ID_REDUCE_33:
      SetMagnification(33);
      return true;
    case ID_REDUCE_50:
      SetMagnification(50);
      return true;
    case ID_REDUCE_75:
      SetMagnification(75);
      return true;
    case ID_MAGNIFY_20:
      SetMagnification(120);
      return true;
    case ID_MAGNIFY_30:
      SetMagnification(130);
      return true;
    case ID_MAGNIFY_50:
      SetMagnification(150);
      return true;
    case ID_MAGNIFY_100:
      SetMagnification(200);
      return true;
    case ID_NORMAL_VIEW:
      SetZoomPercent(0, true);
      OnSetFocus();
      return true;
    case ID_EXPAND:
      SetMagnification(m_nMagnification + 10);
      return true;
    case ID_SHRINK:
      SetMagnification(m_nMagnification - 10);
      return true;
    default:
      return false;
  }
}

bool CTessmorView::AskContinuationHeight() {
  CUpwardContDlg dlg;
  dlg.m_fHeight = m_fContHeight;
  dlg.m_bControlEdges = m_bControlEdges;
  if (!tessmor::GetDialogRunner().DoModal(dlg, CUpwardContDlg::IDD)) return false;
  m_fContHeight = dlg.m_fHeight;
  m_bControlEdges = dlg.m_bControlEdges;
  return true;
}

void CTessmorView::OnUpwardContinue() {
  CTessmorDoc* doc = GetDocument();
  if (!AskContinuationHeight()) return;
  if (m_bShowModel == 1) {
    m_bShowUpward = 1;
    m_bShowModel = 0;
    doc->UpdateAllViews(nullptr, kHintRebuild);
  } else if (m_bShowUpward == 1) {
    doc->UpdateAllViews(nullptr, kHintRebuild);
  } else {
    m_bShowUpward = 1;
    doc->UpdateAllViews(nullptr, kHintAddCurves);
  }
}

void CTessmorView::OnSecondDeriv() {
  CTessmorDoc* doc = GetDocument();
  CDerivSourceDlg dlg(m_nDerivSource);
  if (!tessmor::GetDialogRunner().DoModal(dlg, CDerivSourceDlg::IDD)) return;
  m_nDerivSource = dlg.GetSource();
  if (m_nDerivSource == CDerivSourceDlg::kFromUpward && m_bShowUpward == 0) {
    if (!AskContinuationHeight()) return;
  }
  m_bShowDeriv = 1;
  m_bShowModel = 0;
  if (m_nDerivSource == CDerivSourceDlg::kFromUpward) m_bShowUpward = 1;
  doc->UpdateAllViews(nullptr, kHintRebuild);
}

void CTessmorView::On2DModel() {
  CTessmorDoc* doc = GetDocument();
  CInversionDlg dlg;
  dlg.SetValues(m_fDensity, m_fBoundaryDepth, m_nModelType);
  if (!tessmor::GetDialogRunner().DoModal(dlg, CInversionDlg::IDD)) return;
  dlg.GetValues(m_fDensity, m_fBoundaryDepth, m_nModelType);
  m_bShowModel = 1;
  m_bShowDeriv = 0;
  m_bShowUpward = 0;
  doc->UpdateAllViews(nullptr, kHintModel);
}

void CTessmorView::OnBackground() {
  CTessmorDoc* doc = GetDocument();
  CBackgroundDlg dlg;
  ProfilePoint p1, p2;
  const int type = doc->GetBackground(p1, p2);
  dlg.Load(type, p1, p2);
  if (!tessmor::GetDialogRunner().DoModal(dlg, CBackgroundDlg::IDD)) return;
  const int entry = dlg.GetType();
  if (entry == kBackgroundConstant) {
    p1.anomaly = dlg.m_fConstant;
  } else if (entry == kBackgroundLinear) {
    dlg.GetLinearPoints(p1, p2);
  }
  doc->SetBackground(entry, p1, p2);
  doc->SetModifiedFlag(true);
  doc->UpdateAllViews(nullptr, kHintRebuild);
}

void CTessmorView::OnInterpolate() {
  CTessmorDoc* doc = GetDocument();
  CInterpolationDlg dlg;
  dlg.SetMethod(doc->m_nInterpMethod);
  dlg.SetSpacing(doc->m_nSpacing);
  if (!tessmor::GetDialogRunner().DoModal(dlg, CInterpolationDlg::IDD)) return;
  doc->SetInterpolation(dlg.GetMethod(), dlg.GetSpacing());
  doc->SetModifiedFlag(true);
  doc->UpdateAllViews(nullptr, kHintRebuild);
  if (doc->m_nInterpStatus != 0) return;
  static const char* const kMethods[] = {"cubic spline", "diagonal rational function",
                                         "4th order polynomial", "linear interpolation"};
  const int method = doc->m_nInterpMethod;
  char text[160];
  std::snprintf(text, sizeof text, "Interpolated by %s to a spacing of %.3f km: %d samples",
                method >= 1 && method <= 4 ? kMethods[method - 1] : "the method chosen",
                doc->m_nSpacing * 0.001, doc->GetPointCount(10));
  tessmor::GetPrompts().StatusMessage(text);
}

void CTessmorView::OnOnlyAnomaly() {
  m_upward.clear();
  m_bShowDeriv = 0;
  m_bShowUpward = 0;
  m_bShowModel = 0;
  GetDocument()->UpdateAllViews(nullptr, kHintRebuild);
}

void CTessmorView::OnEquallySpaced() {
  CTessmorDoc* doc = GetDocument();
  doc->m_bEquallySpaced = doc->m_bEquallySpaced ? 0 : 1;
}

void CTessmorView::OnExportEquallySpaced() {
  CTessmorDoc* doc = GetDocument();
  doc->m_bExportEquallySpaced = doc->m_bExportEquallySpaced ? 0 : 1;
}

void CTessmorView::OnDisplayInterpolated() {
  m_bShowInterpolated = m_bShowInterpolated ? 0 : 1;
  GetDocument()->UpdateAllViews(nullptr, kHintRebuild);
}

bool CTessmorView::OnFont() {
  CTessmorDoc* doc = GetDocument();
  CCharStyle style(nullptr, &doc->m_mapper);
  style.ReadSettings(kFontSection, kFontEntry);
  if (!style.ChooseFont(96, "Select the default font ( size is ignored)")) return false;
  style.WriteSettings(kFontSection, kFontEntry);
  SetAxisFont(style.GetTextStyle());
  doc->UpdateAllViews(nullptr, kHintRebuild);
  return true;
}

bool CTessmorView::OnPaperSize() {
  if (!m_choosePaper || !PaperDialog(true, m_choosePaper)) return false;
  GetDocument()->UpdateAllViews(nullptr, kHintRebuild);
  return true;
}

bool CTessmorView::OnExport() { return ExportChart(GetDocument()->GetPathName()); }

bool CTessmorView::OnDefaultPen() {
  CTessmorDoc* doc = GetDocument();
  if (!doc) return false;
  EndLine();
  return doc->m_lineManager.EditDefaultPen(nullptr, true) == 1;
}

bool CTessmorView::OnDefaultMarker() {
  CTessmorDoc* doc = GetDocument();
  if (!doc) return false;
  EndLine();
  return doc->m_fillManager.EditDefaultMarker(nullptr, true) == 1;
}

void CTessmorView::OnEditUndo() {
  // A restyle or move by the user is taken back before any drawing is.
  if (!UndoLastEdit()) DeleteCurrentObject();
}

void CTessmorView::OnInitialUpdate() {
  CVexaView::OnInitialUpdate();
  CTessmorDoc* doc = GetDocument();
  if (!doc) return;
  const std::string stored =
      tessmor::GetSettings().GetString(kViewSection, kMagnificationEntry, "0");
  m_nMagnification = static_cast<int>(std::strtol(stored.c_str(), nullptr, 10));
  InitAxes();
  // A further window of the document shows the chart that is there, with its settings.
  if (CTessmorView* first = DrawingView(); first && first != this) {
    CopyDisplaySettings(*first);
    SetMagnification(m_nMagnification);
    return;
  }
  CCharStyle font(nullptr, &doc->m_mapper);
  if (font.ReadSettings(kFontSection, kFontEntry)) {
    doc->m_charManager.SetTextStyle(font.GetTextStyle());
    SetAxisFont(font.GetTextStyle());
  }
  DrawProfile(kLayoutProfile);
  // A chart read from a chart file is not drawn again: its styles are the user's to edit as
  // much as those of a drawn profile.
  if (!m_panel.drawn && !doc->IsChartEmpty()) AddFlagsToAllStyles(CLineStyle::kEditable);
  SetMagnification(m_nMagnification);
}

void CTessmorView::OnDraw(tessmor::DC& dc) {
  if (CVexaDoc* doc = GetDocument()) doc->SetDrawMode(CVexaDoc::kDrawScreen);
  CVexaView::OnDraw(dc);
}

void CTessmorView::OnUpdate(tessmor::View* sender, long hint, void* object) {
  CVexaView::OnUpdate(sender, hint, object);
  const bool rebuild = hint == kHintRebuild || hint == kHintAddCurves || hint == kHintModel;
  if (rebuild && DrawingView() != this) {
    // Another view of the document redraws its chart: show the result.
    RecalcScrollSizes();
    const tessmor::SIZE client = GetClientSize();
    InvalidateClient({0, 0, client.cx, client.cy});
    return;
  }
  switch (hint) {
    case kHintRebuild:
      if (m_bShowModel == 0) {
        DrawProfile(kLayoutProfile);
        RunContinuationDisplay();
        RunDerivativeDisplay();
      } else {
        DrawProfile(kLayoutModel);
        RunModelDisplay();
      }
      break;
    case kHintAddCurves:
      if (m_bShowUpward == 1) RunContinuationDisplay();
      if (m_bShowDeriv == 1) RunDerivativeDisplay();
      break;
    case kHintModel:
      DrawProfile(kLayoutModel);
      RunModelDisplay();
      break;
    default:
      break;
  }
}

void CTessmorView::RunContinuationDisplay() {
  CTessmorDoc* doc = GetDocument();
  if (!doc || doc->GetPointCount(1) < 6 || doc->m_nInterpStatus != 0 || m_bShowUpward != 1) {
    return;
  }
  m_upward.clear();
  if (m_bControlEdges) {
    doc->ComputeEdgeControlledContinuation(m_upward, m_fContHeight);
  } else {
    doc->ComputeUpwardContinuation(m_upward, m_fContHeight);
  }
  if (m_upward.empty()) return;
  WriteResults(kResultUpward, 0, nullptr, nullptr);
  std::vector<float> xs, ys;
  for (const auto& p : m_upward) {
    xs.push_back(PanelX(p->distance));
    ys.push_back(PanelY(p->anomaly));
  }
  DrawGreenCurve(xs, ys, "Upward Continuation", 5.0f);
}

void CTessmorView::RunDerivativeDisplay() {
  CTessmorDoc* doc = GetDocument();
  if (!doc) return;
  const int n = doc->GetPointCount(10);
  if (n < 5 || doc->m_nInterpStatus != 0 || m_bShowDeriv != 1) return;
  std::vector<float> values;
  int first = 0;
  if (m_nDerivSource == CDerivSourceDlg::kFromUpward) {
    // The continued series must belong to this series: a shorter (or missing) one holds no
    // values for the later samples, and nothing is shown rather than values never computed.
    if (m_upward.size() < static_cast<std::size_t>(n)) return;
    values.assign(m_upward.size(), 0.0f);
    doc->SecondDifference(values.data(), values.size(), m_upward);
    first = 1;
  } else {
    values = doc->ComputeSecondDerivative();
    if (values.empty()) {
      tessmor::GetPrompts().MessageBox(
          "Not enough data points to calculate\n Second derivative using this method\n Enter "
          "more data !",
          tessmor::kPromptOk | tessmor::kPromptIconWarning);
      m_bShowDeriv = 0;
      return;
    }
  }
  WriteResults(kResultDerivative, first, &values, nullptr);
  // The values from `first` to n − first − 1 at the distances of their samples.
  std::vector<float> xs, shown;
  for (int k = first; k <= n - first - 1 && k < static_cast<int>(values.size()); ++k) {
    xs.push_back(PanelX(doc->GetPoint(k, false).distance));
    shown.push_back(values[k]);
  }
  DrawRedCurve(xs, shown, "2nd Derivative  ", 0.2f, 1, "2nd derivative", 5.0f);
}

void CTessmorView::RunModelDisplay() {
  CTessmorDoc* doc = GetDocument();
  if (!doc || m_bShowModel != 1 || doc->m_nInterpStatus != 0) return;
  BlockResultArray results;
  BlockDiagnostics diagnostics;
  doc->ComputeBlockModel(results, m_fDensity, m_fBoundaryDepth, m_nModelType, Arithmetic::kVector,
                         &diagnostics);
  m_modelDiagnostics = diagnostics;
  if (results.empty()) return;
  // Prisms can only make an anomaly of the density contrast's sign: against an anomaly of
  // the other sign (summed over the samples, mGal) every slab correction is clamped back to
  // a thickness of 0, and the model stays empty or nearly so.
  double anomaly_sum = 0.0;
  for (std::size_t k = 0; k < results.size(); ++k) {
    anomaly_sum += doc->GetPoint(static_cast<int>(k), true).anomaly;
  }
  if (anomaly_sum * m_fDensity < 0.0) {
    tessmor::GetPrompts().StatusMessage(
        "The density contrast and the anomaly differ in sign: the model cannot explain the "
        "anomaly.");
  } else if (!diagnostics.rms_mgal.empty()) {
    char text[120];
    std::snprintf(text, sizeof text, "2-D model: RMS misfit %.3f mGal after %zu sweeps",
                  diagnostics.rms_mgal.back(), diagnostics.rms_mgal.size());
    tessmor::GetPrompts().StatusMessage(text);
  }
  WriteResults(kResultBlockModel, 0, nullptr, &results);
  std::vector<float> xs, calculated, residuals;
  for (std::size_t k = 0; k < results.size(); ++k) {
    xs.push_back(PanelX(doc->GetPoint(static_cast<int>(k), true).distance));
    calculated.push_back(PanelY(results[k]->calculated));
    residuals.push_back(results[k]->residual);
  }
  DrawGreenCurve(xs, calculated, "Model Calculated", 7.0f);
  DrawRedCurve(xs, residuals, "  Residuals  ", 0.3f, 7, "Residual", 7.0f);
  DrawDepthPanel(results);
}
