#include "batch/BatchRun.h"

#include <filesystem>
#include <functional>
#include <map>

#include "batch/BatchReport.h"
#include "batch/CsvTables.h"
#include "chart/view/VexaView.h"
#include "platform/docview/Application.h"
#include "platform/io/FileError.h"
#include "platform/ui/DialogModel.h"
#include "platform/ui/DialogRunner.h"
#include "platform/ui/FileDialogs.h"
#include "profile/ProfileTemplates.h"
#include "profile/TessmorDoc.h"
#include "profileview/BackgroundDlg.h"
#include "profileview/DerivSourceDlg.h"
#include "profileview/InterpolationDlg.h"
#include "profileview/InversionDlg.h"
#include "profileview/TessmorView.h"
#include "profileview/UpwardContDlg.h"

namespace {

/// Fills each dialog from the options, as a user typing them would, and presses OK. A dialog
/// that refuses its entry ends the run as a failure.
class OptionDialogs : public tessmor::DialogRunner {
 public:
  using Typing = std::function<void(tessmor::DialogModel&)>;
  std::map<int, Typing> typing;
  bool refused = false;

  bool DoModal(tessmor::DialogModel& dialog, int resource_id) override {
    dialog.OnInitDialog();
    auto it = typing.find(resource_id);
    if (it != typing.end() && it->second) it->second(dialog);
    if (!dialog.OnOK()) {
      refused = true;
      return false;
    }
    return true;
  }
};

/// The save dialog: chooses the given path with the filter of its type.
class SaveDialog : public tessmor::FileDialogs {
 public:
  std::string path;
  tessmor::FileDialogResult Show(const tessmor::FileDialogRequest& request) override {
    tessmor::FileDialogResult r;
    r.ok = true;
    r.path = path;
    const std::string ext = std::filesystem::path(path).extension().string();
    r.filter_index = -1;
    for (std::size_t i = 0; i < request.filters.size(); ++i) {
      if (request.filters[i].second == ext) r.filter_index = static_cast<int>(i);
    }
    return r;
  }
};

/// Installs a runner or dialogs for the life of the scope.
struct Installed {
  tessmor::DialogRunner* old_runner;
  tessmor::FileDialogs* old_dialogs;
  Installed(tessmor::DialogRunner* r, tessmor::FileDialogs* d)
      : old_runner(tessmor::SetDialogRunner(r)), old_dialogs(tessmor::SetFileDialogs(d)) {}
  ~Installed() {
    tessmor::SetDialogRunner(old_runner);
    tessmor::SetFileDialogs(old_dialogs);
  }
};

/// The continuation and derivative displays as they stood before the model display
/// switched them off.
struct ProfileDisplays {
  int upward = 0;
  int deriv = 0;
};

/// Shows the layout the options ask for and writes every --export file. The model layout is
/// the one a model run leaves; the profile layout is the view rebuilt without the model
/// display and with the continuation and derivative displays of the run (`before_model`).
bool ExportCharts(const BatchOptions& o, const ProfileDisplays& before_model, CTessmorDoc& doc,
                  CTessmorView& view, std::ostream& err) {
  const int layout =
      o.layout.value_or(o.model ? CTessmorView::kLayoutModel : CTessmorView::kLayoutProfile);
  if (layout == CTessmorView::kLayoutProfile && view.m_bShowModel) {
    view.m_bShowModel = 0;
    view.m_bShowUpward = before_model.upward;
    view.m_bShowDeriv = before_model.deriv;
    doc.UpdateAllViews(nullptr, CTessmorView::kHintRebuild);
  }
  view.EndLine();
  for (const std::string& path : o.exports) {
    int type = ExportTypeFromPath(path);
    if (type == kExportChartFile) type = CVexaView::kPictureChartFile;
    if (!view.WriteChartFile(path, type)) {
      err << "tessmor-batch: --export could not write " << path << "\n";
      return false;
    }
  }
  return true;
}

}  // namespace

int RunBatch(const BatchOptions& o, std::ostream& err) {
  OptionDialogs dialogs;
  SaveDialog save_dialog;
  Installed installed(&dialogs, &save_dialog);

  if (o.interp) {
    const BatchOptions::Interp in = *o.interp;
    dialogs.typing[CInterpolationDlg::IDD] = [in](tessmor::DialogModel& d) {
      auto& dlg = static_cast<CInterpolationDlg&>(d);
      dlg.SetMethod(in.method);
      dlg.SetRadio(CInterpolationDlg::IDC_METHOD, dlg.m_nMethodRadio);
      if (!in.spacing.empty()) dlg.SetText(CInterpolationDlg::IDC_SPACING, in.spacing);
    };
  }
  if (o.background) {
    const BatchOptions::Background bg = *o.background;
    dialogs.typing[CBackgroundDlg::IDD] = [bg](tessmor::DialogModel& d) {
      auto& dlg = static_cast<CBackgroundDlg&>(d);
      if (bg.kind == BatchOptions::Background::kLinear) {
        dlg.OnLinear();
        dlg.SetText(CBackgroundDlg::IDC_LEFT_DISTANCE, bg.from_km);
        dlg.SetText(CBackgroundDlg::IDC_LEFT_ANOMALY, bg.from_mgal);
        dlg.SetText(CBackgroundDlg::IDC_RIGHT_DISTANCE, bg.to_km);
        dlg.SetText(CBackgroundDlg::IDC_RIGHT_ANOMALY, bg.to_mgal);
      } else {
        // No background is a constant level of zero.
        dlg.OnConstant();
        dlg.SetText(CBackgroundDlg::IDC_CONSTANT,
                    bg.kind == BatchOptions::Background::kConstant ? bg.level : "0");
      }
    };
  }
  if (o.upward) {
    const std::string height = *o.upward;
    const bool edges = o.upward_edges;
    dialogs.typing[CUpwardContDlg::IDD] = [height, edges](tessmor::DialogModel& d) {
      d.SetText(CUpwardContDlg::IDC_HEIGHT, height);
      d.SetRadio(CUpwardContDlg::IDC_EDGES, edges ? 1 : 0);
    };
  }
  if (o.derivative) {
    const int source = *o.derivative;
    dialogs.typing[CDerivSourceDlg::IDD] = [source](tessmor::DialogModel& d) {
      d.SetRadio(CDerivSourceDlg::IDC_SOURCE, source == CDerivSourceDlg::kFromUpward ? 1 : 0);
    };
  }
  if (o.model) {
    const BatchOptions::Model m = *o.model;
    dialogs.typing[CInversionDlg::IDD] = [m](tessmor::DialogModel& d) {
      d.SetText(CInversionDlg::IDC_DENSITY, m.density);
      d.SetText(CInversionDlg::IDC_DEPTH, m.depth);
      d.SetRadio(CInversionDlg::IDC_MODEL,
                 m.granite ? CInversionDlg::kGraniteRadio : CInversionDlg::kBasinRadio);
    };
  }

  tessmor::Application app;
  AddProfileTemplates(app, [] { return std::make_unique<CTessmorView>(); });
  auto* doc = static_cast<CTessmorDoc*>(app.OpenDocumentFile(o.profile));
  if (!doc) return 1;
  auto* view = static_cast<CTessmorView*>(app.ViewsOf(doc).at(0));
  if (o.paper) {
    // The paper of this run only: the stored paper setting is left as it is.
    view->GetDocument()->m_mapper.SetPaper(*o.paper);
    doc->UpdateAllViews(nullptr, CTessmorView::kHintRebuild);
  }

  struct Step {
    bool asked;
    const char* option;
    int command;
    const char* why;
  };
  const Step steps[] = {
      {o.interp.has_value(), "--interp", CTessmorView::ID_INTERPOLATE,
       "the points are already equally spaced"},
      {o.background.has_value(), "--background", CTessmorView::ID_BACKGROUND, ""},
      {o.upward.has_value(), "--upward", CTessmorView::ID_UPWARD_CONTINUE,
       "the profile has fewer than 6 points"},
      {o.derivative.has_value(), "--derivative", CTessmorView::ID_SECOND_DERIV,
       "the profile has fewer than 6 points"},
      {o.model.has_value(), "--model", CTessmorView::ID_2D_MODEL,
       "the profile has fewer than 6 points"},
  };
  ProfileDisplays before_model;
  std::vector<int> tables;  // the commands carried out, whose result tables are written
  for (const Step& s : steps) {
    if (!s.asked) continue;
    if (s.command == CTessmorView::ID_2D_MODEL) {
      before_model = {view->m_bShowUpward, view->m_bShowDeriv};
    }
    if (!view->OnCommand(s.command)) {
      err << "tessmor-batch: " << s.option << " ignored: " << s.why << "\n";
      continue;
    }
    if (dialogs.refused) return 1;
    tables.push_back(s.command);
  }
  if (o.tables_csv && !WriteCsvTables(*view, tables, err)) return 1;
  if (o.save) {
    save_dialog.path = *o.save;
    if (!doc->OnFileSaveAs()) return 1;
  }
  if (!o.exports.empty() && !ExportCharts(o, before_model, *doc, *view, err)) return 1;
  if (o.report) {
    const std::string json = BatchReportJson(o, *doc, *view);
    try {
      tessmor::WriteFileReplacing(*o.report, std::vector<std::uint8_t>(json.begin(), json.end()));
    } catch (const tessmor::FileException&) {
      err << "tessmor-batch: --report could not write " << *o.report << "\n";
      return 1;
    }
  }
  return 0;
}
