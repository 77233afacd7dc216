#include "app/DialogForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/DesktopTestFixture.h"
#include "app/MessageBoxPrompts.h"
#include "platform/docview/Application.h"
#include "profile/DataEntryDlg.h"
#include "profile/ProfileTemplates.h"
#include "profile/TessmorDoc.h"
#include "profileview/InterpolationDlg.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/TestData.h"

namespace {

using tessmor::testing::FakePrompts;

const char kZeroQuestion[] =
    "Greater than two anomaly values\n Are zero in this File\n \n Is This Correct ?";

/// The forms of the desktop as the process-wide dialog runner, for the life of a test.
struct FormsInstalled {
  CFormDialogRunner runner;
  tessmor::DialogRunner* previous = tessmor::SetDialogRunner(&runner);
  ~FormsInstalled() { tessmor::SetDialogRunner(previous); }
};

using desktop_testing::WhenFormShows;

/// Types `text` over the whole of `edit` as a user does: focus, select, keys.
void TypeOver(QLineEdit* edit, const char* text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

TEST(DataEntryForm, NoToTheZeroQuestionKeepsTheFormOpenWithTheNewReadings) {
  FakePrompts prompts;
  FormsInstalled forms;
  tessmor::Application app;
  AddProfileTemplates(app);
  auto* doc = static_cast<CTessmorDoc*>(
      app.OpenDocumentFile(tessmor::testing::SourceDir() + "/examples/basin.txt"));
  ASSERT_NE(doc, nullptr);
  ASSERT_EQ(doc->m_points.size(), 97u);
  ASSERT_FALSE(doc->IsModified());

  bool checked = false;
  WhenFormShows([&](CDialogForm& form) {
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QLineEdit* readings = form.edit(CDataEntryDlg::IDC_READINGS);
    ASSERT_EQ(readings->text().toStdString(), "97");
    TypeOver(readings, "100");
    // Pressing OK takes the focus from the readings, which appends three stations with
    // anomaly 0; then the question comes, answered No.
    prompts.Script({tessmor::kAnswerNo});
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), std::vector<std::string>{kZeroQuestion});
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(readings->text().toStdString(), "100");
    EXPECT_EQ(doc->m_points.size(), 97u);
    EXPECT_FALSE(doc->IsModified());

    // Yes this time: the form closes and the document takes the 100 stations.
    prompts.Script({tessmor::kAnswerYes});
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    checked = true;
  });
  EXPECT_TRUE(doc->OnEditData());
  EXPECT_TRUE(checked);
  EXPECT_EQ(prompts.texts(), (std::vector<std::string>{kZeroQuestion, kZeroQuestion}));
  EXPECT_EQ(doc->m_points.size(), 100u);
  EXPECT_EQ(doc->m_points.back()->anomaly, 0.0);
  EXPECT_TRUE(doc->IsModified());
  doc->SetModifiedFlag(false);
}

TEST(InterpolationForm, ExplainsTheMethodsInPlainWords) {
  CInterpolationDlg model;
  CDialogForm form(model, CInterpolationDlg::IDD);
  QStringList notes;
  for (const QLabel* label : form.findChildren<QLabel*>()) {
    if (label->wordWrap()) notes << label->text();
  }
  EXPECT_TRUE(
      notes.contains("Linear interpolation may look like straight line segments. Rational may fail "
                     "sometimes, but may be suitable for rapidly changing profiles."))
      << notes.join("\n").toStdString();
}

TEST(MessageBoxPrompts, StatusMessageShowsInTheMainWindowsStatusBar) {
  QMainWindow frame;
  tessmor::MessageBoxPrompts prompts(&frame);
  prompts.StatusMessage("The model is thin.");
  EXPECT_EQ(frame.statusBar()->currentMessage().toStdString(), "The model is thin.");
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);  // no box to answer
}

}  // namespace
