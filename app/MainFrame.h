#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QToolBar;
class CDesktopView;
class CHelpWindow;
class CVexaFrame;

namespace tessmor {
class Application;
class DocTemplate;
class Document;
}  // namespace tessmor

/// The main window: the menus, the toolbar, the status bar with the magnification pane, and
/// the MDI area holding one CVexaFrame per open profile. File commands go through the
/// application's templates; every other command goes to the active view (or its document).
class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  enum Command {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FIRST = 57616,
    ID_EDIT_DATA = 32768,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_IMPORT_ZAPRIN = 32797,
    ID_IMPORT_GRAVMAG = 32798,
    ID_IMPORT_2DQN = 32801,
    ID_IMPORT_CSV = 32830,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_INDEX = 57666,
    ID_HELP_USING = 57668,
    ID_HELP = 57669,
    ID_CONTEXT_HELP = 57670,
    ID_SELF_TEST = 32850,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_WINDOW_NEW = 57648,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE = 57651,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
  };
  /// The application title (the main window's caption).
  static constexpr const char* kAppTitle = "Simple Gravity Modelling ";
  static constexpr int kMaxRecentFiles = 4;

  /// A main window over `app` (not owned), which already holds the four profile templates
  /// with a view factory making CDesktopView.
  explicit CMainFrame(tessmor::Application& app, QWidget* parent = nullptr);
  ~CMainFrame() override;

  /// Runs command `id` as the menu does. False when nothing handled it.
  bool OnCommand(int id);
  /// Opens `path` through the application (with template `with`, or the one of its
  /// extension) and shows its window. Null when the open failed.
  tessmor::Document* OpenFile(const std::string& path, tessmor::DocTemplate* with = nullptr);
  /// A new empty project in a new window.
  tessmor::Document* NewFile();

  QAction* action(int id) const;
  QMdiArea* mdiArea() const { return mdi_; }
  /// The chart window of the active MDI child, its view and its document (null when none).
  CVexaFrame* ActiveFrame() const;
  CDesktopView* ActiveView() const;
  tessmor::Document* ActiveDocument() const;
  QLabel* magnificationPane() const { return magnification_; }
  /// The CAP, NUM and SCRL indicators of the status bar (index 0, 1, 2).
  QLabel* lockPane(int index) const { return locks_[index]; }
  /// The program's help window (made on first use).
  CHelpWindow& helpWindow();
  /// The manual's topic for the window that has the focus: the chart window or the main
  /// window.
  QString ContextTopic() const;
  /// A further window showing the active document. Null when none is active.
  QMdiSubWindow* NewWindow();
  /// Shows the lock keys' states in the indicators.
  void UpdateLockPanes(bool caps, bool num, bool scroll);

  /// Brings the menus, their enabling and check marks up to date with the active view.
  void UpdateCommandUI();
  /// Prints the chart of `view` on one page of `printer`, centred.
  void PrintView(CDesktopView* view, QPrinter& printer);
  /// The active view, with the printer set to its paper's orientation and its document's
  /// name; null when no chart window is active.
  CDesktopView* PrepareToPrint();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  /// The keypad's plus and minus expand and shrink the active chart.
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QAction* AddCommand(QMenu* menu, const char* text, int id);
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  /// A window for every view of `doc` that has none yet; activates the document's window.
  void ShowDocument(tessmor::Document* doc);
  /// The open dialog with the filter of template `index`, then OpenFile.
  void PromptOpen(int index);
  /// The window of a new project that was never changed (no path, no points, one view), when
  /// it is the only window open; null otherwise. A file opened now takes its place.
  QMdiSubWindow* UntouchedNewWindow() const;
  /// Shrinks and moves a normal chart window to lie inside the MDI area's viewport.
  void FitToArea(QMdiSubWindow& window) const;
  /// Asks to save a modified document. False when the user cancelled.
  bool SaveModified(tessmor::Document* doc);
  void Print(bool preview);
  /// Prints the active chart on the current printer without asking.
  void PrintDirect();
  void ShowAbout();
  /// Runs the analyses' self-test and shows its report.
  void ShowSelfTest();
  /// Puts the minimised chart windows in a row along the bottom of the MDI area.
  void ArrangeIcons();
  /// The Window menu's list of open windows, the active one checked.
  void UpdateWindowList();
  /// Reads the lock keys from the display, where it can tell them.
  void PollLockKeys();
  void RestoreMainPlacement();
  void StoreMainPlacement();
  void UpdateCaption();
  void UpdateRecentMenu();
  void LoadRecentFiles();
  void StoreRecentFiles();

  tessmor::Application& app_;
  QMdiArea* mdi_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  QLabel* magnification_ = nullptr;
  QLabel* locks_[3] = {};
  CHelpWindow* help_ = nullptr;
  QMenu* window_menu_ = nullptr;
  QAction* window_list_separator_ = nullptr;
  std::vector<QAction*> window_list_;
  // The caption: the application title and the active document's title.
  QString caption_;
  std::map<int, QAction*> actions_;
  std::map<QMdiSubWindow*, tessmor::Document*> windows_;
  QMenu* file_menu_ = nullptr;
  QMenu* import_menu_ = nullptr;
  QAction* recent_actions_[kMaxRecentFiles] = {};
  QAction* recent_separator_ = nullptr;
  QAction* exit_action_ = nullptr;
  QMenu* document_menus_[4] = {};
  std::unique_ptr<QPrinter> printer_;
};
