#include "bench/BasinExample.h"

#include <unistd.h>

#include <string>
#include <system_error>

#include "profile/ProfileTemplates.h"
#include "profileview/BackgroundDlg.h"
#include "profileview/DerivSourceDlg.h"
#include "profileview/InterpolationDlg.h"
#include "profileview/InversionDlg.h"
#include "profileview/UpwardContDlg.h"

bool BasinExample::Dialogs::DoModal(tessmor::DialogModel& dialog, int resource_id) {
  dialog.OnInitDialog();
  auto it = typing.find(resource_id);
  if (it != typing.end()) it->second(dialog);
  return dialog.OnOK();
}

BasinExample::BasinExample(int width, int height) {
  dir = std::filesystem::temp_directory_path() /
        ("tessmor_basin_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::copy_file(TESSMOR_EXAMPLES_DIR "/basin.txt", dir / "basin.txt",
                             std::filesystem::copy_options::overwrite_existing);
  m_dialogs.typing[CInterpolationDlg::IDD] = [](tessmor::DialogModel& d) {
    auto& dlg = static_cast<CInterpolationDlg&>(d);
    dlg.SetMethod(1);
    dlg.SetRadio(CInterpolationDlg::IDC_METHOD, dlg.m_nMethodRadio);
    dlg.SetText(CInterpolationDlg::IDC_SPACING, "0.5");
  };
  m_dialogs.typing[CBackgroundDlg::IDD] = [](tessmor::DialogModel& d) {
    auto& dlg = static_cast<CBackgroundDlg&>(d);
    dlg.OnLinear();
    dlg.SetText(CBackgroundDlg::IDC_LEFT_DISTANCE, "1");
    dlg.SetText(CBackgroundDlg::IDC_LEFT_ANOMALY, "4.06");
    dlg.SetText(CBackgroundDlg::IDC_RIGHT_DISTANCE, "51");
    dlg.SetText(CBackgroundDlg::IDC_RIGHT_ANOMALY, "7.06");
  };
  m_dialogs.typing[CUpwardContDlg::IDD] = [](tessmor::DialogModel& d) {
    d.SetText(CUpwardContDlg::IDC_HEIGHT, "2");
  };
  m_dialogs.typing[CDerivSourceDlg::IDD] = [](tessmor::DialogModel& d) {
    d.SetRadio(CDerivSourceDlg::IDC_SOURCE, 0);
  };
  m_dialogs.typing[CInversionDlg::IDD] = [](tessmor::DialogModel& d) {
    d.SetText(CInversionDlg::IDC_DENSITY, "-250");
    d.SetText(CInversionDlg::IDC_DEPTH, "0");
    d.SetRadio(CInversionDlg::IDC_MODEL, CInversionDlg::kBasinRadio);
  };
  m_pOldRunner = tessmor::SetDialogRunner(&m_dialogs);
  m_pOldPrompts = tessmor::SetPrompts(&m_prompts);
  m_app = std::make_unique<tessmor::Application>();
  AddProfileTemplates(*m_app, [] { return std::make_unique<CTessmorView>(); });
  doc = static_cast<CTessmorDoc*>(m_app->OpenDocumentFile((dir / "basin.txt").string()));
  if (!doc) return;
  view = static_cast<CTessmorView*>(m_app->ViewsOf(doc).at(0));
  for (int command :
       {CTessmorView::ID_INTERPOLATE, CTessmorView::ID_BACKGROUND, CTessmorView::ID_UPWARD_CONTINUE,
        CTessmorView::ID_SECOND_DERIV, CTessmorView::ID_2D_MODEL}) {
    view->OnCommand(command);
  }
  view->SetClientSize(width, height);
}

BasinExample::~BasinExample() {
  m_app.reset();
  tessmor::SetPrompts(m_pOldPrompts);
  tessmor::SetDialogRunner(m_pOldRunner);
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}
