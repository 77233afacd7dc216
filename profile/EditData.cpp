#include "platform/ui/DialogRunner.h"
#include "profile/DataEntryDlg.h"
#include "profile/TessmorDoc.h"

namespace {
/// The update hint that makes every view rebuild its picture of the profile.
constexpr long kHintDataChanged = 200;
}  // namespace

bool CTessmorDoc::OnEditData() {
  CDataEntryDlg dlg;
  float spacing_km = static_cast<float>(m_nSpacing * 0.001);
  dlg.SetData(m_points, m_strTraverseName, m_bEquallySpaced, spacing_km);
  // The questions about the edited points come while the dialog is open, so that a No
  // returns to the entry and the document stays as it was.
  dlg.SetConfirm([](const PointArray& points) { return ValidatePoints(points) == 0; });
  if (!tessmor::GetDialogRunner().DoModal(dlg, CDataEntryDlg::IDD)) return false;
  dlg.GetData(m_points, m_strTraverseName, spacing_km);
  m_nSpacing = CDataEntryDlg::SpacingMetres(spacing_km);
  if (!m_bEquallySpaced) m_nInterpStatus = InterpolateProfile();
  SetModifiedFlag(true);
  UpdateAllViews(nullptr, kHintDataChanged);
  return true;
}
