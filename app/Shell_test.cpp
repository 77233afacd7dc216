// The desktop shell as a new user meets it: help, prompts, windows, keys and feedback.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/AboutBox.h"
#include "app/DesktopTestFixture.h"
#include "app/DesktopView.h"
#include "app/DialogForm.h"
#include "app/HelpWindow.h"
#include "app/MainFrame.h"
#include "app/TessmorApp.h"
#include "chart/styles/FontDlg.h"
#include "platform/io/Settings.h"
#include "profile/DataEntryDlg.h"
#include "profile/TessmorDoc.h"
#include "profileview/InterpolationDlg.h"
#include "profileview/UpwardContDlg.h"
#include "testsupport/FakeFileDialogs.h"
#include "testsupport/FakePrompts.h"
#include "testsupport/TestData.h"
#include "util/Messages.h"
#include "util/WindowPlacement.h"

namespace {

using tessmor::testing::FakeFileDialogs;
using tessmor::testing::FakePrompts;

struct Shell : desktop_testing::Desktop {
  int LineItems() {
    int n = 0;
    for (CLineStyle* s : frame().ActiveView()->GetDocument()->m_lineManager.AllStyles()) {
      n += s->GetLineCount();
    }
    return n;
  }
};

using desktop_testing::WhenFormShows;

QString Fragment(const CHelpWindow& help) { return help.browser()->source().fragment(); }

TEST(Help, MenuOpensTheManualAndItsWindowGoesBackForwardAndFinds) {
  Shell s;
  s.frame().action(CMainFrame::ID_HELP_INDEX)->trigger();
  CHelpWindow& help = s.frame().helpWindow();
  EXPECT_TRUE(help.isVisible());
  EXPECT_EQ(Fragment(help), "index");
  // The manual is bundled: it has a title and the dialogs' topics.
  EXPECT_FALSE(help.browser()->documentTitle().isEmpty());
  EXPECT_TRUE(help.browser()->toHtml().contains("0x2012E"));

  s.frame().action(CMainFrame::ID_HELP_USING)->trigger();
  EXPECT_EQ(Fragment(help), "using-help");
  help.browser()->backward();
  EXPECT_EQ(Fragment(help), "index");
  help.browser()->forward();
  EXPECT_EQ(Fragment(help), "using-help");

  help.searchBox()->setText("density contrast");
  EXPECT_TRUE(help.FindNext());
  EXPECT_EQ(help.browser()->textCursor().selectedText().toLower(), "density contrast");
  help.searchBox()->setText("no such phrase in any manual");
  EXPECT_FALSE(help.FindNext());
}

TEST(Help, F1AndTheHelpButtonOpenTheTopicOfTheDialog) {
  Shell s;
  ASSERT_NE(s.ImportExample(), nullptr);
  // F1 in the upward continuation form, then its Help button in the interpolation form.
  WhenFormShows([](CDialogForm& form) {
    QTest::keyClick(form.edit(CUpwardContDlg::IDC_HEIGHT), Qt::Key_F1);
    form.cancelButton()->click();
  });
  s.frame().action(CTessmorView::ID_UPWARD_CONTINUE)->trigger();
  EXPECT_EQ(Fragment(s.frame().helpWindow()), "0x2012E");
  WhenFormShows([](CDialogForm& form) {
    ASSERT_NE(form.button(CInterpolationDlg::IDC_HELP), nullptr);
    form.button(CInterpolationDlg::IDC_HELP)->click();
    form.cancelButton()->click();
  });
  s.frame().action(CTessmorView::ID_INTERPOLATE)->trigger();
  EXPECT_EQ(Fragment(s.frame().helpWindow()), "0x20134");
  // F1 in the main window: the chart window's topic while one is open.
  s.frame().action(CMainFrame::ID_CONTEXT_HELP)->trigger();
  EXPECT_EQ(Fragment(s.frame().helpWindow()), "chart-window");
}

// Catches the desktop's opening of file addresses.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls << url; }
};

TEST(Help, AboutLinkHandsTheManualPageToTheDesktop) {
  Shell s;
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("file", &catcher, "open");
  CAboutBox box(&s.frame());
  emit box.manualLink()->linkActivated(box.manualLink()->text());
  QDesktopServices::unsetUrlHandler("file");
  ASSERT_EQ(catcher.urls.size(), 1);
  const std::string page = catcher.urls[0].toLocalFile().toStdString();
  EXPECT_TRUE(std::filesystem::exists(page)) << page;
  EXPECT_EQ(std::filesystem::path(page).filename(), "tessmor.html");
}

TEST(Help, SelfTestShowsEveryCheckPassing) {
  Shell s;
  QString summary, report;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->objectName(), "SelfTest");
    for (QLabel* l : dialog->findChildren<QLabel*>()) summary += l->text();
    for (QPlainTextEdit* t : dialog->findChildren<QPlainTextEdit*>()) report += t->toPlainText();
    dialog->accept();
  });
  s.frame().action(CMainFrame::ID_SELF_TEST)->trigger();
  EXPECT_EQ(summary, "Every check passed.");
  EXPECT_TRUE(report.contains("Prism factor against the polygon line integral"));
  EXPECT_TRUE(report.endsWith("checks passed\n"));
}

TEST(StatusBar, EveryCommandHasAPromptAndAShortName) {
  Shell s;
  ASSERT_NE(s.ImportExample(), nullptr);
  for (QAction* a : s.frame().findChildren<QAction*>()) {
    const int id = a->data().toInt();
    if (id <= 0 || a->text().isEmpty()) continue;
    EXPECT_FALSE(a->statusTip().isEmpty()) << a->text().toStdString();
    EXPECT_FALSE(a->toolTip().contains('\t')) << a->text().toStdString();
  }
  // Hovering a menu item puts its prompt on the status bar.
  QAction* model = s.frame().action(CTessmorView::ID_2D_MODEL);
  QMenu* menu = nullptr;
  for (QObject* o : model->associatedObjects()) {
    if (auto* m = qobject_cast<QMenu*>(o)) menu = m;
  }
  ASSERT_NE(menu, nullptr);
  s.frame().UpdateCommandUI();
  s.frame().show();
  s.frame().menuBar()->setActiveAction(menu->menuAction());
  QApplication::processEvents();
  menu->setActiveAction(model);
  QApplication::processEvents();
  EXPECT_EQ(s.frame().statusBar()->currentMessage().toStdString(),
            "Performs simple 2-dimensional modelling, using rectangular prisms");
  menu->hide();
  EXPECT_EQ(s.frame().action(CTessmorView::ID_FONT)->statusTip().toStdString(),
            "Select the default font ( size is ignored)");
  for (int i = 0; i < 3; ++i) ASSERT_NE(s.frame().lockPane(i), nullptr);
  EXPECT_EQ(s.frame().lockPane(1)->text(), "NUM");
}

TEST(StatusBar, InterpolateSaysWhatItDidAndDisplaysRunUnderTheWaitCursor) {
  Shell s;
  CDesktopView* view = s.ImportExample();
  ASSERT_NE(view, nullptr);
  const int runs = view->displayRuns();
  WhenFormShows([](CDialogForm& form) {
    form.radio(CInterpolationDlg::IDC_METHOD, 0)->click();
    form.edit(CInterpolationDlg::IDC_SPACING)->setText("0.5");
    form.okButton()->click();
  });
  s.frame().action(CTessmorView::ID_INTERPOLATE)->trigger();
  const int samples = view->GetDocument()->GetPointCount(10);
  ASSERT_GT(samples, 5);
  ASSERT_FALSE(s.prompts.status_messages().empty());
  EXPECT_EQ(s.prompts.status_messages().back(),
            "Interpolated by cubic spline to a spacing of 0.500 km: " + std::to_string(samples) +
                " samples");
  EXPECT_GT(view->displayRuns(), runs);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(UpwardForm, ControlEdgeEffectsReachesTheViewAndLiftsTheFlanks) {
  Shell s;
  CDesktopView* view = s.ImportExample();
  ASSERT_NE(view, nullptr);
  WhenFormShows([](CDialogForm& form) { form.okButton()->click(); });
  s.frame().action(CTessmorView::ID_UPWARD_CONTINUE)->trigger();
  ASSERT_FALSE(view->m_upward.empty());
  const double documented = view->m_upward.front()->anomaly;
  WhenFormShows([](CDialogForm& form) {
    ASSERT_NE(form.checkBox(CUpwardContDlg::IDC_EDGES), nullptr);
    EXPECT_FALSE(form.checkBox(CUpwardContDlg::IDC_EDGES)->isChecked());
    form.checkBox(CUpwardContDlg::IDC_EDGES)->click();
    form.okButton()->click();
  });
  s.frame().action(CTessmorView::ID_UPWARD_CONTINUE)->trigger();
  EXPECT_EQ(view->m_bControlEdges, 1);
  // The example's first station reads 3.72 mGal; the documented continuation sinks below it
  // by more than a milligal, the controlled one stays within half of one.
  EXPECT_LT(documented, 3.717 - 1.0);
  EXPECT_NEAR(view->m_upward.front()->anomaly, 3.717, 0.5);
}

TEST(Windows, NewWindowShowsTheSameChartAndCurvesAreDrawnOnce) {
  Shell s;
  CDesktopView* first = s.ImportExample();
  ASSERT_NE(first, nullptr);
  WhenFormShows([](CDialogForm& form) { form.okButton()->click(); });
  s.frame().action(CTessmorView::ID_UPWARD_CONTINUE)->trigger();
  const int lines = s.LineItems();

  QMdiSubWindow* second = s.frame().NewWindow();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(s.frame().mdiArea()->subWindowList().size(), 2);
  auto* view = s.frame().ActiveView();
  ASSERT_NE(view, first);
  EXPECT_EQ(view->GetDocument(), first->GetDocument());
  EXPECT_EQ(view->m_bShowUpward, 1);
  EXPECT_EQ(s.LineItems(), lines) << "a new window must not draw the chart again";
  EXPECT_EQ(second->windowTitle(), "basin.txt:2");

  // A command in the second window rebuilds the one chart once; both windows keep its
  // settings.
  WhenFormShows([](CDialogForm& form) {
    form.edit(CUpwardContDlg::IDC_HEIGHT)->setText("4");
    form.okButton()->click();
  });
  s.frame().action(CTessmorView::ID_UPWARD_CONTINUE)->trigger();
  EXPECT_EQ(s.LineItems(), lines);
  EXPECT_FLOAT_EQ(first->m_fContHeight, 4.0f);

  // F6 moves between the windows; the Window menu lists both.
  s.frame().action(CMainFrame::ID_NEXT_PANE)->trigger();
  EXPECT_EQ(s.frame().ActiveView(), first);
  QMenu* window = nullptr;
  for (QAction* a : s.frame().menuBar()->actions()) {
    if (a->text() == "&Window") window = a->menu();
  }
  ASSERT_NE(window, nullptr);
  emit window->aboutToShow();
  QStringList listed;
  for (QAction* a : window->actions()) {
    if (a->text().startsWith("&1") || a->text().startsWith("&2")) listed << a->text();
  }
  EXPECT_EQ(listed, QStringList({"&1 basin.txt:1", "&2 basin.txt:2"}));

  // Closing one window keeps the document and asks nothing.
  second->close();
  QApplication::processEvents();
  EXPECT_EQ(s.frame().mdiArea()->subWindowList().size(), 1);
  EXPECT_TRUE(s.prompts.texts().empty());
  EXPECT_EQ(s.frame().ActiveView(), first);
}

TEST(Windows, MainWindowComesBackWhereItWas) {
  tessmor::MemorySettings settings;
  tessmor::Settings* previous = tessmor::SetSettings(&settings);
  {
    CTessmorApp app;
    app.mainFrame().setGeometry(40, 50, 700, 500);
    app.mainFrame().close();
  }
  {
    CTessmorApp app;
    EXPECT_EQ(app.mainFrame().geometry().size(), QSize(700, 500));
  }
  tessmor::SetSettings(previous);
}

TEST(DataEntry, EditingKeysDriveTheDialogsButtonsAndCopyFlashesTwice) {
  Shell s;
  ASSERT_NE(s.ImportExample(), nullptr);
  s.prompts.set_default_yes(true);  // "OK to delete data point number 1"
  int flashes = 0;
  QString copied;
  WhenFormShows([&](CDialogForm& form) {
    QLineEdit* distance = form.edit(CDataEntryDlg::DistanceId(1));
    ASSERT_NE(distance, nullptr);
    QApplication::setActiveWindow(&form);
    distance->setFocus();
    QApplication::processEvents();
    QTest::keyClick(distance, Qt::Key_C, Qt::ControlModifier);
    flashes = form.flashes();
    copied = QApplication::clipboard()->text();
    // Ctrl+X cuts the point and Ctrl+Z brings it back.
    const QString before = distance->text();
    QTest::keyClick(distance, Qt::Key_X, Qt::ControlModifier);
    EXPECT_NE(distance->text(), before);
    QTest::keyClick(distance, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(distance->text(), before);
    EXPECT_NE(form.button(CDataEntryDlg::IDC_HELP), nullptr);
    form.cancelButton()->click();
  });
  s.frame().action(CMainFrame::ID_EDIT_DATA)->trigger();
  EXPECT_EQ(flashes, 1) << "the first flash has started";
  EXPECT_TRUE(copied.startsWith("DATAENTRY:")) << copied.toStdString();
}

TEST(Font, FormOffersTheDesktopsFontsWithASampleAndThePrompt) {
  Shell s;
  ASSERT_NE(s.ImportExample(), nullptr);
  bool checked = false;
  WhenFormShows([&](CDialogForm& form) {
    ASSERT_NE(form.faceList(), nullptr);
    EXPECT_GT(form.faceList()->count(), 0);
    EXPECT_FALSE(form.findChildren<QLabel*>().isEmpty());
    bool prompt = false;
    for (QLabel* l : form.findChildren<QLabel*>()) {
      if (l->text() == "Select the default font ( size is ignored)") prompt = true;
    }
    EXPECT_TRUE(prompt);
    form.faceList()->setCurrentIndex(form.faceList()->count() - 1);
    EXPECT_EQ(form.fontPreview()->font().family(), form.faceList()->currentText());
    checked = true;
    form.cancelButton()->click();
  });
  s.frame().action(CTessmorView::ID_FONT)->trigger();
  EXPECT_TRUE(checked);
}

TEST(MessageHooks, TheLibrariesSeeInputFirstAndGetIdleTime) {
  Shell s;
  tessmor::LibraryThread& library = GenQor1Thread();
  std::vector<MSG> seen;
  // A window of the library that takes the Q key for itself.
  const int filter = library.AddMessageFilter([&](const MSG& msg) {
    seen.push_back(msg);
    return msg.message == 0x0100 && msg.wParam == 'Q';
  });
  int idle = 0;
  const int task = library.AddIdleTask([&](long) {
    ++idle;
    return false;
  });
  QLineEdit edit;
  edit.show();
  QTest::keyClicks(&edit, "aQb");
  QTest::qWait(20);
  library.RemoveMessageFilter(filter);
  library.RemoveIdleTask(task);
  EXPECT_EQ(edit.text(), "ab");
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front().hwnd, &edit);
  EXPECT_GT(idle, 0);
}

}  // namespace

#include "Shell_test.moc"
