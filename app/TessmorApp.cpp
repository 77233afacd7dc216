#include "app/TessmorApp.h"

#include "app/DesktopView.h"
#include "app/MainFrame.h"
#include "app/MessageHooks.h"
#include "platform/ui/DialogRunner.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/Prompts.h"
#include "profile/ProfileTemplates.h"

CTessmorApp::CTessmorApp() {
  tessmor::SetApp(&app_);
  app_.set_max_recent(CMainFrame::kMaxRecentFiles);
  AddProfileTemplates(app_, [] { return std::make_unique<CDesktopView>(); });
  frame_ = std::make_unique<CMainFrame>(app_);
  prompts_.set_parent(frame_.get());
  file_dialogs_.set_parent(frame_.get());
  dialogs_.set_parent(frame_.get());
  tessmor::SetPrompts(&prompts_);
  tessmor::SetFileDialogs(&file_dialogs_);
  tessmor::SetDialogRunner(&dialogs_);
  tessmor::SetClipboard(&clipboard_);
  hooks_ = std::make_unique<CMessageHooks>();
}

CTessmorApp::~CTessmorApp() {
  hooks_.reset();
  // The windows let go of the views before the application destroys them.
  frame_.reset();
  tessmor::SetClipboard(nullptr);
  tessmor::SetDialogRunner(nullptr);
  tessmor::SetFileDialogs(nullptr);
  tessmor::SetPrompts(nullptr);
  tessmor::SetApp(nullptr);
}

void CTessmorApp::ProcessCommandLine(const std::vector<std::string>& args) {
  if (args.empty()) {
    frame_->NewFile();
    return;
  }
  const std::string& first = args.front();
  if (first.size() >= 2 && (first[0] == '-' || first[0] == '/') &&
      (first[1] == 'e' || first[1] == 'E')) {
    return;  // started embedded: no document
  }
  frame_->OpenFile(first);
}
