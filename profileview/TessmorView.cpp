#include "profileview/TessmorView.h"

#include "platform/DialogRunner.h"
#include "platform/Prompts.h"
#include "profile/TessmorDoc.h"
#include "profileview/BackgroundDlg.h"
#include "profileview/DerivSourceDlg.h"
#include "profileview/InterpolationDlg.h"
#include "profileview/InversionDlg.h"
#include "profileview/UpwardContDlg.h"

CTessmorView::CTessmorView() = default;

CTessmorView::~CTessmorView() = default;

CTessmorDoc* CTessmorView::GetDocument() const {
  return static_cast<CTessmorDoc*>(tessmor::View::GetDocument());
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
      return true;
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

bool CTessmorView::OnCommand(int id) {
  if (!IsCommandEnabled(id)) return false;
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
    default:
      return false;
  }
}

void CTessmorView::OnUpwardContinue() {
  CTessmorDoc* doc = GetDocument();
  CUpwardContDlg dlg;
  dlg.m_fHeight = m_fContHeight;
  if (!tessmor::GetDialogRunner().DoModal(dlg, CUpwardContDlg::IDD)) return;
  m_fContHeight = dlg.m_fHeight;
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
    CUpwardContDlg height;
    height.m_fHeight = m_fContHeight;
    if (!tessmor::GetDialogRunner().DoModal(height, CUpwardContDlg::IDD)) return;
    m_fContHeight = height.m_fHeight;
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

void CTessmorView::OnUpdate(tessmor::View* sender, long hint, void* object) {
  tessmor::View::OnUpdate(sender, hint, object);
  switch (hint) {
    case kHintRebuild:
      if (m_bShowModel == 0) {
        RunContinuationDisplay();
        RunDerivativeDisplay();
      } else {
        RunModelDisplay();
      }
      break;
    case kHintAddCurves:
      if (m_bShowUpward == 1) RunContinuationDisplay();
      if (m_bShowDeriv == 1) RunDerivativeDisplay();
      break;
    case kHintModel:
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
  doc->ComputeUpwardContinuation(m_upward, m_fContHeight);
  if (!m_upward.empty()) WriteResults(kResultUpward, 0, nullptr, nullptr);
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
}

void CTessmorView::RunModelDisplay() {
  CTessmorDoc* doc = GetDocument();
  if (!doc || m_bShowModel != 1 || doc->m_nInterpStatus != 0) return;
  BlockResultArray results;
  doc->ComputeBlockModel(results, m_fDensity, m_fBoundaryDepth, m_nModelType);
  if (!results.empty()) WriteResults(kResultBlockModel, 0, nullptr, &results);
}
