#pragma once

#include <memory>
#include <string>

#include "app/DialogForm.h"
#include "app/MessageBoxPrompts.h"
#include "app/QtFileDialogs.h"
#include "platform/docview/Application.h"
#include "platform/ui/Clipboard.h"

class CMainFrame;
class CMessageHooks;

/// The desktop program: the application object with the four profile templates (each view a
/// CDesktopView in a chart window), the desktop's prompts, file dialogs, dialog forms and
/// clipboard, and the main window. The settings store is installed by the caller.
class CTessmorApp {
 public:
  CTessmorApp();
  ~CTessmorApp();
  CTessmorApp(const CTessmorApp&) = delete;
  CTessmorApp& operator=(const CTessmorApp&) = delete;

  /// Acts on the command line (the arguments after the program name): none opens a new
  /// project; "-e…" or "/e…" (an embedded start) opens nothing; anything else is a file to
  /// open.
  void ProcessCommandLine(const std::vector<std::string>& args);

  tessmor::Application& app() { return app_; }
  CMainFrame& mainFrame() { return *frame_; }

 private:
  tessmor::Application app_;
  tessmor::MessageBoxPrompts prompts_;
  tessmor::QtFileDialogs file_dialogs_;
  CFormDialogRunner dialogs_;
  tessmor::SystemClipboard clipboard_;
  std::unique_ptr<CMainFrame> frame_;
  std::unique_ptr<CMessageHooks> hooks_;
};
