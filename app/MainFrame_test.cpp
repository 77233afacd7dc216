#include "app/MainFrame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/DesktopView.h"
#include "app/DialogForm.h"
#include "app/MessageBoxPrompts.h"
#include "app/QtSettings.h"
#include "app/TessmorApp.h"
#include "app/VexaFrame.h"
#include "chart/FontDlg.h"
#include "platform/Settings.h"
#include "profile/DataEntryDlg.h"
#include "profile/TessmorDoc.h"
#include "profileview/BackgroundDlg.h"
#include "profileview/UpwardContDlg.h"
#include "testsupport/FakeFileDialogs.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/TestData.h"

namespace {

using tessmor::testing::FakeFileDialogs;
using tessmor::testing::FakePrompts;

// Installs fresh settings for the life of a test.
struct FreshSettings {
  tessmor::MemorySettings settings;
  tessmor::Settings* previous = tessmor::SetSettings(&settings);
  ~FreshSettings() { tessmor::SetSettings(previous); }
};

// The desktop program with scripted prompts and file dialogs over its own.
struct Desktop {
  FreshSettings settings;
  CTessmorApp app;
  FakePrompts prompts;
  FakeFileDialogs files;
  std::string folder = tessmor::testing::MakeTempDir();

  // A copy of the example profile (the analyses write their tables beside it).
  std::string Example() {
    const std::string path = folder + "/basin.txt";
    std::filesystem::copy_file(tessmor::testing::SourceDir() + "/examples/basin.txt", path,
                               std::filesystem::copy_options::overwrite_existing);
    return path;
  }
  // The example opened as a user does: File, Import, ASCII file from ZAPRIN.
  CDesktopView* ImportExample() {
    files.Script({true, Example(), 0});
    app.mainFrame().action(CMainFrame::ID_IMPORT_ZAPRIN)->trigger();
    return app.mainFrame().ActiveView();
  }
};

// Runs `type` on the next dialog form once it is shown modally.
void WhenFormShows(std::function<void(CDialogForm&)> type) {
  QTimer::singleShot(0, [type] {
    auto* form = qobject_cast<CDialogForm*>(QApplication::activeModalWidget());
    ASSERT_NE(form, nullptr);
    type(*form);
  });
}

TEST(MainFrame, ImportOpensOneWindowWithTheProfile) {
  Desktop d;
  CDesktopView* view = d.ImportExample();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(d.app.mainFrame().mdiArea()->subWindowList().size(), 1);
  EXPECT_GT(view->GetDocument()->GetPointCount(1), 5);
  ASSERT_EQ(d.files.requests().size(), 1u);
  EXPECT_EQ(d.files.requests()[0].title, "Open");
  ASSERT_EQ(d.files.requests()[0].filters.size(), 1u);
  EXPECT_EQ(d.files.requests()[0].filters[0].second, ".txt");
  EXPECT_EQ(d.app.mainFrame().windowTitle().toStdString(), "Simple Gravity Modelling  - basin.txt");
}

TEST(MainFrame, OpenListsOnlyProjectFilesAndCancelOpensNothing) {
  Desktop d;
  d.app.mainFrame().action(CMainFrame::ID_FILE_OPEN)->trigger();
  ASSERT_EQ(d.files.requests().size(), 1u);
  ASSERT_EQ(d.files.requests()[0].filters.size(), 1u);
  EXPECT_EQ(d.files.requests()[0].filters[0].second, ".gpr");
  EXPECT_FALSE(d.files.requests()[0].all_files);
  EXPECT_TRUE(d.app.mainFrame().mdiArea()->subWindowList().isEmpty());
}

TEST(MainFrame, ClosingTheWindowClosesTheDocument) {
  Desktop d;
  ASSERT_NE(d.ImportExample(), nullptr);
  d.app.mainFrame().action(CMainFrame::ID_FILE_CLOSE)->trigger();
  EXPECT_TRUE(d.app.app().documents().empty());
  EXPECT_EQ(d.app.mainFrame().ActiveView(), nullptr);
}

TEST(MainFrame, ModellingMenuRunsTheViewCommandThroughItsForm) {
  Desktop d;
  CDesktopView* view = d.ImportExample();
  ASSERT_NE(view, nullptr);
  WhenFormShows([](CDialogForm& form) {
    form.edit(CUpwardContDlg::IDC_HEIGHT)->setText("3");
    form.okButton()->click();
  });
  d.app.mainFrame().action(CTessmorView::ID_UPWARD_CONTINUE)->trigger();
  EXPECT_EQ(view->m_bShowUpward, 1);
  EXPECT_FLOAT_EQ(view->m_fContHeight, 3.0f);

  d.app.mainFrame().action(CTessmorView::ID_ONLY_ANOMALY)->trigger();
  EXPECT_EQ(view->m_bShowUpward, 0);
}

TEST(MainFrame, MagnifyCommandShowsItsPercentageInTheStatusBar) {
  Desktop d;
  ASSERT_NE(d.ImportExample(), nullptr);
  d.app.mainFrame().action(CTessmorView::ID_MAGNIFY_100)->trigger();
  EXPECT_EQ(d.app.mainFrame().magnificationPane()->text().toStdString(), "100%");
}

TEST(VexaFrame, PaintsTheChart) {
  Desktop d;
  ASSERT_NE(d.ImportExample(), nullptr);
  CVexaFrame* frame = d.app.mainFrame().ActiveFrame();
  ASSERT_NE(frame, nullptr);
  d.app.mainFrame().show();
  frame->parentWidget()->resize(640, 480);
  QApplication::processEvents();
  const QImage image = frame->viewport()->grab().toImage();
  int dark = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < 128) ++dark;
    }
  }
  EXPECT_GT(dark, 100);  // axes, curve and texts
}

TEST(DialogForm, RefusesABadNumberAndStaysOpen) {
  FakePrompts prompts;
  CUpwardContDlg model;
  CDialogForm form(model, CUpwardContDlg::IDD);
  EXPECT_EQ(form.edit(CUpwardContDlg::IDC_HEIGHT)->text().toStdString(), "2");
  form.edit(CUpwardContDlg::IDC_HEIGHT)->setText("abc");
  form.okButton()->click();
  EXPECT_NE(form.result(), QDialog::Accepted);
  ASSERT_EQ(prompts.texts().size(), 1u);
  EXPECT_EQ(prompts.texts()[0], "Please enter a number.");

  form.edit(CUpwardContDlg::IDC_HEIGHT)->setText("5.5");
  form.okButton()->click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_FLOAT_EQ(model.m_fHeight, 5.5f);
}

TEST(DialogForm, CancelLeavesTheModelAlone) {
  CUpwardContDlg model;
  CDialogForm form(model, CUpwardContDlg::IDD);
  form.edit(CUpwardContDlg::IDC_HEIGHT)->setText("7");
  form.cancelButton()->click();
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_FLOAT_EQ(model.m_fHeight, 2.0f);
}

TEST(DialogForm, RadioButtonRunsTheModelsHandler) {
  CBackgroundDlg model;
  CDialogForm form(model, CBackgroundDlg::IDD);
  EXPECT_FALSE(form.edit(CBackgroundDlg::IDC_LEFT_DISTANCE)->isEnabled());
  form.radio(CBackgroundDlg::IDC_CONSTANT_RADIO, 1)->click();
  EXPECT_TRUE(form.edit(CBackgroundDlg::IDC_LEFT_DISTANCE)->isEnabled());
  EXPECT_FALSE(form.edit(CBackgroundDlg::IDC_CONSTANT)->isEnabled());
  form.edit(CBackgroundDlg::IDC_LEFT_DISTANCE)->setText("1");
  form.edit(CBackgroundDlg::IDC_RIGHT_DISTANCE)->setText("40");
  form.okButton()->click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(model.GetType(), 2);
  EXPECT_FLOAT_EQ(model.m_fRightDistance, 40.0f);
}

}  // namespace

namespace {
TEST(DialogForm, DataEntryPagesThroughTheProfile) {
  FakePrompts prompts;
  PointArray points;
  for (int i = 0; i < 12; ++i)
    points.push_back(std::make_unique<ProfilePoint>(ProfilePoint{i * 1000, 1.0 + i}));
  CDataEntryDlg model;
  model.SetData(points, "Line A", 1, 1.0f);
  CDialogForm form(model, CDataEntryDlg::IDD);
  EXPECT_EQ(form.edit(CDataEntryDlg::IDC_TRAVERSE_NAME)->text().toStdString(), "Line A");
  form.button(CDataEntryDlg::IDC_NEXT_PAGE)->click();
  EXPECT_EQ(model.m_nPage, 2);
  EXPECT_EQ(form.edit(CDataEntryDlg::AnomalyId(1))->text().toFloat(), 10.0f);
}
}  // namespace

namespace {
TEST(TessmorApp, CommandLineOpensANewProjectUnlessEmbedded) {
  Desktop embedded;
  embedded.app.ProcessCommandLine({"-Embedding"});
  EXPECT_TRUE(embedded.app.app().documents().empty());

  Desktop plain;
  plain.app.ProcessCommandLine({});
  EXPECT_EQ(plain.app.app().documents().size(), 1u);
  EXPECT_EQ(plain.app.mainFrame().mdiArea()->subWindowList().size(), 1);
}

TEST(MainFrame, EditDataTakesWhatIsTypedInTheForm) {
  Desktop d;
  CDesktopView* view = d.ImportExample();
  ASSERT_NE(view, nullptr);
  WhenFormShows([](CDialogForm& form) {
    form.edit(CDataEntryDlg::IDC_TRAVERSE_NAME)->setText("North line");
    form.okButton()->click();
  });
  d.app.mainFrame().action(CMainFrame::ID_EDIT_DATA)->trigger();
  EXPECT_EQ(view->GetDocument()->m_strTraverseName, "North line");
}

TEST(MainFrame, CancelledSaveQuestionKeepsTheWindow) {
  Desktop d;
  CDesktopView* view = d.ImportExample();
  ASSERT_NE(view, nullptr);
  view->GetDocument()->SetModifiedFlag(true);
  d.prompts.Script({tessmor::kAnswerCancel});
  d.app.mainFrame().action(CMainFrame::ID_FILE_CLOSE)->trigger();
  ASSERT_FALSE(d.prompts.texts().empty());
  EXPECT_EQ(d.prompts.texts().back(), "Save changes to basin.txt?");
  EXPECT_EQ(d.app.mainFrame().mdiArea()->subWindowList().size(), 1);
  view->GetDocument()->SetModifiedFlag(false);
}
}  // namespace

namespace {
TEST(MainFrame, PrintsTheChartOnAPage) {
  Desktop d;
  CDesktopView* view = d.ImportExample();
  ASSERT_NE(view, nullptr);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const std::string pdf = d.folder + "/chart.pdf";
  printer.setOutputFileName(QString::fromStdString(pdf));
  d.app.mainFrame().PrintView(view, printer);
  EXPECT_GT(std::filesystem::file_size(pdf), 1000u);
}
}  // namespace

namespace {
TEST(DialogForm, FontFormGivesTheSizeTyped) {
  tessmor::LOGFONT font{};
  CFontDlg model(font, 100, 0, 96);
  CDialogForm form(model, CFontDlg::IDD);
  form.edit(CFontDlg::IDC_SIZE)->setText("12");
  form.radio(CFontDlg::IDC_STYLE, 2)->click();
  form.okButton()->click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(model.m_nPointSize, 120);
  EXPECT_GE(model.m_lf.lfWeight, 700);
}
}  // namespace

namespace {
TEST(QtSettings, KeepsSectionsAndEntriesInAnIniFile) {
  const std::string path = tessmor::testing::MakeTempDir() + "/tessmor.ini";
  {
    tessmor::QtSettings settings(QString::fromStdString(path));
    settings.WriteInt("View Options", "Magnification", 150);
  }
  tessmor::QtSettings again(QString::fromStdString(path));
  EXPECT_EQ(again.GetInt("View Options", "Magnification", 0), 150);
  EXPECT_EQ(again.GetString("VexaWinPos", "mag", "absent"), "absent");
}

TEST(MessageBoxPrompts, AnswersWithTheButtonPressed) {
  tessmor::MessageBoxPrompts prompts;
  QTimer::singleShot(0, [] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text().toStdString(), "Delete?");
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(prompts.MessageBox("Delete?", tessmor::kPromptYesNo | tessmor::kPromptIconQuestion),
            tessmor::kAnswerNo);
}
}  // namespace
