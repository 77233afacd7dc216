#pragma once

// What the desktop's tests share: the program with scripted prompts and file dialogs over its
// own, fresh settings, a folder of its own, and a way to act on a modal form once it shows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>

#include "app/DesktopView.h"
#include "app/DialogForm.h"
#include "app/MainFrame.h"
#include "app/TessmorApp.h"
#include "platform/io/Settings.h"
#include "testsupport/FakeFileDialogs.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/TestData.h"

namespace desktop_testing {

/// Installs fresh settings for the life of a test.
struct FreshSettings {
  tessmor::MemorySettings settings;
  tessmor::Settings* previous = tessmor::SetSettings(&settings);
  ~FreshSettings() { tessmor::SetSettings(previous); }
};

/// The desktop program with scripted prompts and file dialogs over its own.
struct Desktop {
  FreshSettings settings;
  CTessmorApp app;
  tessmor::testing::FakePrompts prompts;
  tessmor::testing::FakeFileDialogs files;
  std::string folder = tessmor::testing::MakeTempDir();

  CMainFrame& frame() { return app.mainFrame(); }
  /// A copy of the example profile (the analyses write their tables beside it).
  std::string Example() {
    const std::string path = folder + "/basin.txt";
    std::filesystem::copy_file(tessmor::testing::SourceDir() + "/examples/basin.txt", path,
                               std::filesystem::copy_options::overwrite_existing);
    return path;
  }
  /// The example opened as a user does: File, Import, ASCII file from ZAPRIN.
  CDesktopView* ImportExample() {
    files.Script({true, Example(), 0});
    frame().action(CMainFrame::ID_IMPORT_ZAPRIN)->trigger();
    return frame().ActiveView();
  }
};

/// Runs `act` on the next modal widget, a `Form`, once it shows.
template <typename Form>
void WhenModalShows(std::function<void(Form&)> act) {
  QTimer::singleShot(0, [act] {
    auto* form = qobject_cast<Form*>(QApplication::activeModalWidget());
    ASSERT_NE(form, nullptr);
    act(*form);
  });
}

/// Runs `act` on the next dialog form once it is shown modally.
inline void WhenFormShows(std::function<void(CDialogForm&)> act) {
  WhenModalShows<CDialogForm>(std::move(act));
}

}  // namespace desktop_testing
