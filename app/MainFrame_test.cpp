#include "app/MainFrame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <filesystem>
#include <functional>

#include "app/DesktopTestFixture.h"
#include "app/DesktopView.h"
#include "app/DialogForm.h"
#include "app/MessageBoxPrompts.h"
#include "app/QtSettings.h"
#include "app/TessmorApp.h"
#include "app/VexaFrame.h"
#include "chart/styles/FontDlg.h"
#include "platform/io/Settings.h"
#include "profile/DataEntryDlg.h"
#include "profile/TessmorDoc.h"
#include "profileview/BackgroundDlg.h"
#include "profileview/UpwardContDlg.h"
#include "testsupport/FakeFileDialogs.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/TestData.h"
#include "util/WindowPlacement.h"

namespace {

using tessmor::testing::FakeFileDialogs;
using tessmor::testing::FakePrompts;

using desktop_testing::Desktop;
using desktop_testing::FreshSettings;
using desktop_testing::WhenFormShows;

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

TEST(MainFrame, OpenListsProjectFilesThenAllFilesAndCancelOpensNothing) {
  Desktop d;
  d.app.mainFrame().action(CMainFrame::ID_FILE_OPEN)->trigger();
  ASSERT_EQ(d.files.requests().size(), 1u);
  ASSERT_EQ(d.files.requests()[0].filters.size(), 1u);
  EXPECT_EQ(d.files.requests()[0].filters[0].second, ".gpr");
  EXPECT_TRUE(d.files.requests()[0].all_files);
  EXPECT_TRUE(d.app.mainFrame().mdiArea()->subWindowList().isEmpty());
}

TEST(MainFrame, ImportCsvListsCsvProfiles) {
  Desktop d;
  d.app.mainFrame().action(CMainFrame::ID_IMPORT_CSV)->trigger();
  ASSERT_EQ(d.files.requests().size(), 1u);
  ASSERT_EQ(d.files.requests()[0].filters.size(), 1u);
  EXPECT_EQ(d.files.requests()[0].filters[0].first, "CSV Profile (*.csv)");
  EXPECT_EQ(d.files.requests()[0].filters[0].second, ".csv");
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

namespace {
// The example shown in a main window on screen, its chart window active and focused.
struct ShownExample : Desktop {
  CDesktopView* view = nullptr;
  CVexaFrame* frame = nullptr;
  ShownExample() {
    app.mainFrame().resize(900, 650);
    app.mainFrame().show();
    view = ImportExample();
    frame = app.mainFrame().ActiveFrame();
    if (frame) frame->setFocus();
    QApplication::processEvents();
  }
  std::string Pane() { return app.mainFrame().magnificationPane()->text().toStdString(); }
};

void Wheel(QWidget* target, int notches, Qt::KeyboardModifiers modifiers) {
  const QPointF at(target->width() / 2.0, target->height() / 2.0);
  QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                    modifiers, Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &event);
}

// A key press as the chart window and its parents get it from the window system once no
// shortcut took the key: on X11 a keypad key is offered to the shortcuts without its keypad
// modifier, so no "Num+" shortcut ever takes it. Each widget up to the window is offered the
// key until one accepts it, as the application does.
void PressUnmatchedKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers,
                       const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  for (QWidget* w = target; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
    press.accept();
    static_cast<QObject*>(w)->event(&press);
    if (press.isAccepted()) break;
  }
}

TEST(MainFrame, KeypadPlusAndMinusExpandAndShrinkTheChart) {
  ShownExample d;
  ASSERT_NE(d.frame, nullptr);
  ASSERT_EQ(d.view->m_nMagnification, 0);
  PressUnmatchedKey(d.frame, Qt::Key_Plus, Qt::KeypadModifier, "+");
  EXPECT_EQ(d.view->m_nMagnification, 10);
  PressUnmatchedKey(d.frame, Qt::Key_Plus, Qt::KeypadModifier, "+");
  EXPECT_EQ(d.view->m_nMagnification, 20);
  EXPECT_EQ(d.Pane(), "-20%");
  PressUnmatchedKey(d.frame, Qt::Key_Minus, Qt::KeypadModifier, "-");
  EXPECT_EQ(d.view->m_nMagnification, 10);
  EXPECT_EQ(d.Pane(), "-10%");
  // The whole way a typed key goes, shortcuts first: one step a key.
  QTest::keyClick(d.frame, Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(d.view->m_nMagnification, 20);
  QTest::keyClick(d.frame, Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_EQ(d.view->m_nMagnification, 10);
  // The plus and minus of the main keyboard are no zoom keys.
  PressUnmatchedKey(d.frame, Qt::Key_Plus, Qt::NoModifier, "+");
  QTest::keyClick(d.frame, Qt::Key_Minus);
  EXPECT_EQ(d.view->m_nMagnification, 10);
}

TEST(VexaFrame, WheelScrollsAndControlWheelZooms) {
  ShownExample d;
  ASSERT_NE(d.frame, nullptr);
  d.app.mainFrame().action(CTessmorView::ID_MAGNIFY_100)->trigger();  // larger than the window
  QApplication::processEvents();
  QScrollBar* vertical = d.frame->verticalScrollBar();
  QScrollBar* horizontal = d.frame->horizontalScrollBar();
  ASSERT_GT(vertical->maximum(), 0);
  ASSERT_GT(horizontal->maximum(), 0);

  Wheel(d.frame->viewport(), -1, Qt::NoModifier);  // towards the user: down the page
  EXPECT_GT(vertical->value(), 0);
  EXPECT_EQ(horizontal->value(), 0);
  EXPECT_EQ(d.view->GetScrollPosition().y, vertical->value());
  Wheel(d.frame->viewport(), -1, Qt::ShiftModifier);
  EXPECT_GT(horizontal->value(), 0);
  EXPECT_EQ(d.view->GetScrollPosition().x, horizontal->value());

  // One Expand or Shrink per notch.
  Wheel(d.frame->viewport(), 2, Qt::ControlModifier);
  EXPECT_EQ(d.view->m_nMagnification, 220);
  EXPECT_EQ(d.Pane(), "120%");
  Wheel(d.frame->viewport(), -1, Qt::ControlModifier);
  EXPECT_EQ(d.view->m_nMagnification, 210);
  EXPECT_EQ(d.Pane(), "110%");
}

TEST(MainFrame, PaneShowsTheMagnificationAfterEveryZoomCommand) {
  ShownExample d;
  ASSERT_NE(d.view, nullptr);
  CMainFrame& main = d.app.mainFrame();
  main.action(CTessmorView::ID_REDUCE_75)->trigger();
  EXPECT_EQ(d.Pane(), "-75%");
  main.action(CTessmorView::ID_NORMAL_VIEW)->trigger();
  EXPECT_EQ(d.Pane(), "0%");
  main.action(CTessmorView::ID_MAGNIFY_50)->trigger();
  EXPECT_EQ(d.Pane(), "50%");
  main.action(CTessmorView::ID_SHRINK)->trigger();
  EXPECT_EQ(d.Pane(), "40%");
  main.action(CTessmorView::ID_NORMAL_VIEW)->trigger();
  EXPECT_EQ(d.Pane(), "0%");
  // Coming back to the window shows the same.
  d.frame->clearFocus();
  d.frame->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(d.Pane(), "0%");
}

TEST(MainFrame, RecentFileMenuOpensTheFileItNamesAndKeepsTheList) {
  Desktop d;
  CMainFrame& main = d.app.mainFrame();
  const std::string x = d.folder + "/x.txt", x2 = d.folder + "/x2.txt";
  for (const std::string& path : {x, x2}) {
    std::filesystem::copy_file(d.Example(), path,
                               std::filesystem::copy_options::overwrite_existing);
    ASSERT_NE(main.OpenFile(path), nullptr);
    main.action(CMainFrame::ID_FILE_CLOSE)->trigger();
  }
  ASSERT_EQ(d.app.app().recent_files(), (std::vector<std::string>{x2, x}));
  QAction* first = main.action(CMainFrame::ID_FILE_MRU_FIRST);
  QAction* second = main.action(CMainFrame::ID_FILE_MRU_FIRST + 1);
  EXPECT_EQ(first->text().toStdString(), "&1 " + x2);

  first->trigger();
  ASSERT_NE(main.ActiveDocument(), nullptr);
  EXPECT_EQ(main.ActiveDocument()->GetPathName(), x2);
  EXPECT_EQ(d.app.app().recent_files(), (std::vector<std::string>{x2, x}));
  EXPECT_EQ(first->text().toStdString(), "&1 " + x2);
  EXPECT_EQ(second->text().toStdString(), "&2 " + x);

  second->trigger();
  EXPECT_EQ(main.ActiveDocument()->GetPathName(), x);
  EXPECT_EQ(first->text().toStdString(), "&1 " + x);
  EXPECT_EQ(second->text().toStdString(), "&2 " + x2);
  EXPECT_FALSE(main.action(CMainFrame::ID_FILE_MRU_FIRST + 2)->isVisible());
}

TEST(MainFrame, OpenedFileTakesThePlaceOfTheUntouchedNewProject) {
  Desktop d;
  CMainFrame& main = d.app.mainFrame();
  d.app.ProcessCommandLine({});
  ASSERT_EQ(main.mdiArea()->subWindowList().size(), 1);
  ASSERT_EQ(main.ActiveDocument()->GetTitle(), "Tessmor1");
  ASSERT_NE(d.ImportExample(), nullptr);
  QApplication::processEvents();
  ASSERT_EQ(d.app.app().documents().size(), 1u);
  EXPECT_EQ(d.app.app().documents()[0]->GetTitle(), "basin.txt");
  EXPECT_EQ(main.mdiArea()->subWindowList().size(), 1);
  EXPECT_EQ(main.windowTitle().toStdString(), "Simple Gravity Modelling  - basin.txt");

  // A project that was changed stays beside the file.
  Desktop changed;
  changed.app.ProcessCommandLine({});
  changed.app.mainFrame().ActiveDocument()->SetModifiedFlag(true);
  ASSERT_NE(changed.ImportExample(), nullptr);
  QApplication::processEvents();
  EXPECT_EQ(changed.app.app().documents().size(), 2u);
  EXPECT_EQ(changed.app.mainFrame().mdiArea()->subWindowList().size(), 2);
  // A file that does not open leaves the new project alone.
  Desktop failed;
  failed.app.ProcessCommandLine({});
  EXPECT_EQ(failed.app.mainFrame().OpenFile(failed.folder + "/missing.txt"), nullptr);
  QApplication::processEvents();
  EXPECT_EQ(failed.app.mainFrame().mdiArea()->subWindowList().size(), 1);
  for (Desktop* each : {&changed, &failed}) {
    for (tessmor::Document* doc : each->app.app().documents()) doc->SetModifiedFlag(false);
  }
}

TEST(MainFrame, NewChartWindowFitsInsideTheMainWindow) {
  Desktop d;
  // A placement kept from a larger screen.
  WINDOWPLACEMENT wp;
  wp.showCmd = 1;
  wp.rcNormalPosition = {300, 200, 300 + 1600, 200 + 1200};
  ASSERT_TRUE(WriteWindowPlacement(&wp, "VexaWinPos"));
  CMainFrame& main = d.app.mainFrame();
  main.resize(900, 650);
  main.show();
  QApplication::processEvents();
  ASSERT_NE(d.ImportExample(), nullptr);
  const QRect area = main.mdiArea()->viewport()->rect();
  const QMdiSubWindow* window = main.mdiArea()->activeSubWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(area.contains(window->geometry()))
      << window->geometry().width() << " x " << window->geometry().height();

  // Without a stored placement it still fits.
  Desktop fresh;
  fresh.app.mainFrame().resize(700, 500);
  fresh.app.mainFrame().show();
  QApplication::processEvents();
  ASSERT_NE(fresh.ImportExample(), nullptr);
  EXPECT_TRUE(fresh.app.mainFrame().mdiArea()->viewport()->rect().contains(
      fresh.app.mainFrame().mdiArea()->activeSubWindow()->geometry()));
}

TEST(MainFrame, CaptionNamesTheDocumentOnceWhenItsWindowIsMaximized) {
  ShownExample d;
  ASSERT_NE(d.frame, nullptr);
  QMdiSubWindow* window = d.app.mainFrame().mdiArea()->activeSubWindow();
  window->showMaximized();
  QApplication::processEvents();
  EXPECT_EQ(d.app.mainFrame().windowTitle().toStdString(), "Simple Gravity Modelling  - basin.txt");
  d.view->GetDocument()->SetModifiedFlag(true);
  d.app.mainFrame().UpdateCommandUI();
  QApplication::processEvents();
  EXPECT_EQ(d.app.mainFrame().windowTitle().toStdString(), "Simple Gravity Modelling  - basin.txt");
  d.view->GetDocument()->SetModifiedFlag(false);
  window->showNormal();
  QApplication::processEvents();
  EXPECT_EQ(d.app.mainFrame().windowTitle().toStdString(), "Simple Gravity Modelling  - basin.txt");
}
}  // namespace
