#include "app/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "analysis/SelfTest.h"
#include "app/AboutBox.h"
#include "app/DesktopView.h"
#include "app/Guard.h"
#include "app/HelpWindow.h"
#include "app/LockKeys.h"
#include "app/VexaFrame.h"
#include "chart/paper/Mapper.h"
#include "platform/docview/Application.h"
#include "platform/docview/DocTemplate.h"
#include "platform/docview/Document.h"
#include "platform/gdi/QtDC.h"
#include "platform/io/Settings.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/Prompts.h"
#include "profile/TessmorDoc.h"
#include "util/WindowPlacement.h"

namespace {

using tessmor::Document;

// Template order of the application: project, GRAVMAG, GRAVASCII, 2DQN, CSV.
constexpr int kProjectTemplate = 0;
constexpr int kGravmagTemplate = 1;
constexpr int kGravAsciiTemplate = 2;
constexpr int k2DQNTemplate = 3;
constexpr int kCsvTemplate = 4;

constexpr const char* kRecentSection = "Recent File List";
// The printing's page description: the page printed, then the range of pages.
constexpr const char* kPageDescription = "TESSMOR: Page %1\nPages %1-%2\n";

// Where the chart windows and the main window keep their placement.
constexpr const char* kPlacementEntry = "VexaWinPos";
constexpr const char* kMainPlacementEntry = "MainWinPos";
// Show commands of a stored placement.
constexpr std::uint32_t kShowNormal = 1;
constexpr std::uint32_t kShowMinimized = 2;
constexpr std::uint32_t kShowMaximized = 3;

void StorePlacement(const QMdiSubWindow& window) {
  WINDOWPLACEMENT wp;
  const QRect r = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
  wp.rcNormalPosition = {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
  wp.showCmd =
      window.isMaximized() ? kShowMaximized : (window.isMinimized() ? kShowMinimized : kShowNormal);
  wp.flags = window.isMaximized() ? kRestoreToMaximized : 0;
  WriteWindowPlacement(&wp, kPlacementEntry);
}

// Places a new chart window where the last one was; false when nothing is stored.
bool RestorePlacement(QMdiSubWindow& window) {
  WINDOWPLACEMENT wp;
  if (!ReadWindowPlacement(&wp, kPlacementEntry)) return false;
  const tessmor::RECT& r = wp.rcNormalPosition;
  if (r.right - r.left < 50 || r.bottom - r.top < 50) return false;
  window.setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
  if (wp.showCmd == kShowMaximized) window.showMaximized();
  return true;
}

// The status-bar prompt and the short name (tool tip) of every command.
struct Prompt {
  int id;
  const char* text;
  const char* tip;
};
constexpr Prompt kPrompts[] = {
    {CMainFrame::ID_FILE_NEW, "Create a new document", "New"},
    {CMainFrame::ID_FILE_OPEN, "Open an existing document", "Open"},
    {CMainFrame::ID_FILE_CLOSE, "Close the active document", "Close"},
    {CMainFrame::ID_FILE_SAVE, "Save the active document", "Save"},
    {CMainFrame::ID_FILE_SAVE_AS, "Save the active document with a new name", "Save As"},
    {CMainFrame::ID_FILE_PRINT_SETUP, "Change the printer and printing options", "Print Setup"},
    {CMainFrame::ID_FILE_PRINT, "Print the active document", "Print"},
    {CMainFrame::ID_FILE_PRINT_DIRECT, "Print the active document on the current printer",
     "Print Direct"},
    {CMainFrame::ID_FILE_PRINT_PREVIEW, "Display full pages", "Print Preview"},
    {CMainFrame::ID_IMPORT_GRAVMAG, "Open a GRAVMAG text profile (.dat)", "Import GRAVMAG"},
    {CMainFrame::ID_IMPORT_ZAPRIN, "Open a GRAVASCII profile written by ZAPRIN (.txt)",
     "Import ZAPRIN"},
    {CMainFrame::ID_IMPORT_2DQN, "Open a 2DQN profile (.g)", "Import 2DQN"},
    {CMainFrame::ID_IMPORT_CSV, "Open a CSV profile, as a spreadsheet writes it (.csv)",
     "Import CSV"},
    {CTessmorView::ID_EXPORT, "Write the chart as a picture: EMF, WMF, BMP, PNG, SVG or PDF",
     "Export"},
    {CMainFrame::ID_APP_EXIT, "Quit the application; prompts to save documents", "Exit"},
    {CMainFrame::ID_EDIT_DATA, "Enter and edit the points of the profile", "Edit Data"},
    {CTessmorView::ID_EDIT_UNDO, "Delete the last group of items drawn on the chart", "Undo"},
    {CMainFrame::ID_EDIT_CUT, "Cut the selection and put it on the Clipboard", "Cut"},
    {CTessmorView::ID_EDIT_COPY, "Copy the chart to the Clipboard as a picture", "Copy"},
    {CMainFrame::ID_EDIT_PASTE, "Insert Clipboard contents", "Paste"},
    {CTessmorView::ID_UPWARD_CONTINUE, "Calculates the upwards continuation of a gravity profile",
     "Upward Continue"},
    {CTessmorView::ID_SECOND_DERIV,
     "Calculates the second derivative of the upwards continued profile", "2nd Deriv"},
    {CTessmorView::ID_2D_MODEL, "Performs simple 2-dimensional modelling, using rectangular prisms",
     "2-D Model"},
    {CTessmorView::ID_INTERPOLATE, "Converts unequally spaced data into equally spaced data",
     "Interpolate"},
    {CTessmorView::ID_BACKGROUND, "Removes the regional background from an anomaly", "Background"},
    {CTessmorView::ID_ONLY_ANOMALY,
     "Show the anomaly alone, without continuation, derivative or model", "Anomaly Only"},
    {CMainFrame::ID_VIEW_TOOLBAR, "Show or hide the toolbar", "Toggle ToolBar"},
    {CMainFrame::ID_VIEW_STATUS_BAR, "Show or hide the status bar", "Toggle StatusBar"},
    {CTessmorView::ID_REDUCE_25, "Show the chart at 25% of its size", "25%"},
    {CTessmorView::ID_REDUCE_33, "Show the chart at 33% of its size", "33%"},
    {CTessmorView::ID_REDUCE_50, "Show the chart at 50% of its size", "50%"},
    {CTessmorView::ID_REDUCE_75, "Show the chart at 75% of its size", "75%"},
    {CTessmorView::ID_MAGNIFY_20, "Magnify the chart by 20%", "120%"},
    {CTessmorView::ID_MAGNIFY_30, "Magnify the chart by 30%", "130%"},
    {CTessmorView::ID_MAGNIFY_50, "Magnify the chart by 50%", "150%"},
    {CTessmorView::ID_MAGNIFY_100, "Magnify the chart to twice its size", "200%"},
    {CTessmorView::ID_NORMAL_VIEW, "Show the chart at its normal size", "Normal View"},
    {CTessmorView::ID_SHRINK, "Make the chart 10% smaller (keypad minus)", "Shrink"},
    {CTessmorView::ID_EXPAND, "Make the chart 10% larger (keypad plus)", "Expand"},
    {CMainFrame::ID_WINDOW_NEW, "Open another window for the active document", "New Window"},
    {CMainFrame::ID_WINDOW_CASCADE, "Arrange windows so they overlap", "Cascade Windows"},
    {CMainFrame::ID_WINDOW_TILE, "Arrange windows as non-overlapping tiles", "Tile Windows"},
    {CMainFrame::ID_WINDOW_ARRANGE, "Arrange icons at the bottom of the window", "Arrange Icons"},
    {CTessmorView::ID_EQUALLY_SPACED, "The points are equally spaced: use them as they are",
     "Equally Spaced"},
    {CTessmorView::ID_EXPORT_EQUALLY_SPACED,
     "Save the interpolated, equally spaced series instead of the measured points",
     "Export Equally Spaced"},
    {CTessmorView::ID_FONT, "Select the default font ( size is ignored)", "Font"},
    {CTessmorView::ID_PAPER_SIZE, "Choose the paper size and orientation of the chart",
     "Paper Size"},
    {CTessmorView::ID_DEFAULT_PEN, "Edit the chart's default pen and keep it in the settings",
     "Default Pen"},
    {CTessmorView::ID_DEFAULT_MARKER, "Edit the chart's default marker and keep it in the settings",
     "Default Marker"},
    {CTessmorView::ID_DISPLAY_INTERPOLATED,
     "Draw the interpolated series instead of the measured points", "Display Interpolated"},
    {CMainFrame::ID_HELP_INDEX, "List Help topics", "Help Index"},
    {CMainFrame::ID_HELP_USING, "Display instructions about how to use help", "Using Help"},
    {CMainFrame::ID_SELF_TEST,
     "Check the analyses against bodies whose field is known in closed form", "Self-test"},
    {CMainFrame::ID_APP_ABOUT, "Display program information, version number and copyright",
     "About"},
    {CMainFrame::ID_CONTEXT_HELP, "Display help for the active window or dialog", "Help"},
    {CMainFrame::ID_HELP, "List Help topics", "Help"},
    {CMainFrame::ID_NEXT_PANE, "Switch to the next window", "Next Window"},
    {CMainFrame::ID_PREV_PANE, "Switch back to the previous window", "Previous Window"},
};

const Prompt* PromptOf(int id) {
  if (id >= CMainFrame::ID_FILE_MRU_FIRST &&
      id < CMainFrame::ID_FILE_MRU_FIRST + CMainFrame::kMaxRecentFiles) {
    static constexpr Prompt kRecent = {0, "Open this document", "Open"};
    return &kRecent;
  }
  for (const Prompt& p : kPrompts) {
    if (p.id == id) return &p;
  }
  return nullptr;
}

// Commands the profile view handles itself.
bool IsViewCommand(int id) {
  switch (id) {
    case CTessmorView::ID_PAPER_SIZE:
    case CTessmorView::ID_FONT:
    case CTessmorView::ID_DEFAULT_PEN:
    case CTessmorView::ID_DEFAULT_MARKER:
    case CTessmorView::ID_EXPORT:
    case CTessmorView::ID_REDUCE_33:
    case CTessmorView::ID_REDUCE_25:
    case CTessmorView::ID_REDUCE_50:
    case CTessmorView::ID_REDUCE_75:
    case CTessmorView::ID_MAGNIFY_20:
    case CTessmorView::ID_MAGNIFY_30:
    case CTessmorView::ID_MAGNIFY_50:
    case CTessmorView::ID_MAGNIFY_100:
    case CTessmorView::ID_NORMAL_VIEW:
    case CTessmorView::ID_EDIT_COPY:
    case CTessmorView::ID_EDIT_UNDO:
    case CTessmorView::ID_EXPAND:
    case CTessmorView::ID_SHRINK:
    case CTessmorView::ID_UPWARD_CONTINUE:
    case CTessmorView::ID_SECOND_DERIV:
    case CTessmorView::ID_2D_MODEL:
    case CTessmorView::ID_EQUALLY_SPACED:
    case CTessmorView::ID_INTERPOLATE:
    case CTessmorView::ID_BACKGROUND:
    case CTessmorView::ID_EXPORT_EQUALLY_SPACED:
    case CTessmorView::ID_DISPLAY_INTERPOLATED:
    case CTessmorView::ID_ONLY_ANOMALY:
      return true;
    default:
      return false;
  }
}

bool IsCheckCommand(int id) {
  return id == CTessmorView::ID_EQUALLY_SPACED || id == CTessmorView::ID_EXPORT_EQUALLY_SPACED ||
         id == CTessmorView::ID_DISPLAY_INTERPOLATED || id == CMainFrame::ID_VIEW_TOOLBAR ||
         id == CMainFrame::ID_VIEW_STATUS_BAR;
}

// Commands that need an open document.
bool NeedsDocument(int id) {
  switch (id) {
    case CMainFrame::ID_FILE_CLOSE:
    case CMainFrame::ID_FILE_SAVE:
    case CMainFrame::ID_FILE_SAVE_AS:
    case CMainFrame::ID_FILE_PRINT:
    case CMainFrame::ID_FILE_PRINT_DIRECT:
    case CMainFrame::ID_FILE_PRINT_PREVIEW:
    case CMainFrame::ID_EDIT_DATA:
    case CMainFrame::ID_WINDOW_NEW:
    case CMainFrame::ID_WINDOW_ARRANGE:
    case CMainFrame::ID_WINDOW_CASCADE:
    case CMainFrame::ID_WINDOW_TILE:
    case CMainFrame::ID_NEXT_PANE:
    case CMainFrame::ID_PREV_PANE:
      return true;
    default:
      return false;
  }
}

// Commands of the menu that this program does not carry out.
bool IsUnavailable(int id) {
  switch (id) {
    case CMainFrame::ID_EDIT_CUT:
    case CMainFrame::ID_EDIT_PASTE:
      return true;
    default:
      return false;
  }
}

// The paper sizes a chart can be given, by their codes.
struct PaperChoice {
  int code;
  const char* name;
};
constexpr PaperChoice kPapers[] = {
    {5, "A4 Portrait (210 x 295 mm)"},  {9, "A4 Landscape (295 x 210 mm)"},
    {6, "A3 Portrait (295 x 420 mm)"},  {10, "A3 Landscape (420 x 295 mm)"},
    {20, "A5 Portrait (148 x 210 mm)"}, {24, "A5 Landscape (210 x 148 mm)"},
};

}  // namespace

CMainFrame::CMainFrame(tessmor::Application& app, QWidget* parent)
    : QMainWindow(parent), app_(app), printer_(std::make_unique<QPrinter>()) {
  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  setAcceptDrops(true);
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  LoadRecentFiles();
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow*) {
    if (CDesktopView* view = ActiveView()) tessmor::RunGuarded([&] { view->OnSetFocus(); });
    UpdateCommandUI();
  });
  SetHelpHandler([this](const QString& anchor) { helpWindow().ShowTopic(anchor); });
  UpdateCommandUI();
  resize(900, 650);
  RestoreMainPlacement();
}

CMainFrame::~CMainFrame() {
  SetHelpHandler({});
  delete help_;
  // Nothing may reach this half-destroyed window while its children go.
  mdi_->disconnect(this);
  // The views belong to the application: let go of them before the windows die.
  for (auto& [window, doc] : windows_) {
    window->removeEventFilter(this);
    if (auto* frame = qobject_cast<CVexaFrame*>(window->widget())) {
      if (CDesktopView* view = frame->view()) {
        view->SetStatusPane({});
        view->SetPaperChooser({});
      }
      frame->Detach();
    }
  }
  windows_.clear();
}

QAction* CMainFrame::AddCommand(QMenu* menu, const char* text, int id) {
  QAction* a = nullptr;
  if (menu) {
    a = menu->addAction(QString::fromUtf8(text));
  } else {
    // A command of the keyboard only.
    a = new QAction(QString::fromUtf8(text), this);
    addAction(a);
  }
  a->setData(id);
  a->setCheckable(IsCheckCommand(id));
  if (const Prompt* p = PromptOf(id)) {
    a->setStatusTip(p->text);
    a->setToolTip(p->tip);
  }
  connect(a, &QAction::triggered, this, [this, id] { OnCommand(id); });
  actions_[id] = a;
  return a;
}

void CMainFrame::CreateMenus() {
  QMenuBar* bar = menuBar();
  QMenu* file = file_menu_ = bar->addMenu("&File");
  AddCommand(file, "&New\tCtrl+N", ID_FILE_NEW)->setShortcut(QKeySequence("Ctrl+N"));
  AddCommand(file, "&Open...\tCtrl+O", ID_FILE_OPEN)->setShortcut(QKeySequence("Ctrl+O"));
  AddCommand(file, "&Close", ID_FILE_CLOSE);
  AddCommand(file, "&Save\tCtrl+S", ID_FILE_SAVE)->setShortcut(QKeySequence("Ctrl+S"));
  AddCommand(file, "Save &As...", ID_FILE_SAVE_AS);
  file->addSeparator();
  import_menu_ = file->addMenu("&Import");
  AddCommand(import_menu_, "GRAVMAG Text File", ID_IMPORT_GRAVMAG);
  AddCommand(import_menu_, "ASCII file from ZAPRIN", ID_IMPORT_ZAPRIN);
  AddCommand(import_menu_, "2DQN File", ID_IMPORT_2DQN);
  AddCommand(import_menu_, "CSV Profile", ID_IMPORT_CSV);
  AddCommand(file, "Export", CTessmorView::ID_EXPORT);
  file->addSeparator();
  AddCommand(file, "&Print...\tCtrl+P", ID_FILE_PRINT)->setShortcut(QKeySequence("Ctrl+P"));
  AddCommand(file, "Print Pre&view", ID_FILE_PRINT_PREVIEW);
  AddCommand(file, "P&rint Setup...", ID_FILE_PRINT_SETUP);
  recent_separator_ = file->addSeparator();
  for (int i = 0; i < kMaxRecentFiles; ++i) {
    recent_actions_[i] = AddCommand(file, "", ID_FILE_MRU_FIRST + i);
    recent_actions_[i]->setVisible(false);
  }
  file->addSeparator();
  exit_action_ = AddCommand(file, "E&xit", ID_APP_EXIT);

  QMenu* edit = document_menus_[0] = bar->addMenu("&Edit");
  AddCommand(edit, "&Data", ID_EDIT_DATA);
  AddCommand(edit, "&Undo\tCtrl+Z", CTessmorView::ID_EDIT_UNDO)
      ->setShortcuts({QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")});
  AddCommand(edit, "Cu&t\tCtrl+X", ID_EDIT_CUT)
      ->setShortcuts({QKeySequence("Ctrl+X"), QKeySequence("Shift+Del")});
  AddCommand(edit, "&Copy graphic\tCtrl+C", CTessmorView::ID_EDIT_COPY)
      ->setShortcuts({QKeySequence("Ctrl+C"), QKeySequence("Ctrl+Ins")});
  AddCommand(edit, "&Paste\tCtrl+V", ID_EDIT_PASTE)
      ->setShortcuts({QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")});

  QMenu* modelling = document_menus_[1] = bar->addMenu("&Modelling");
  AddCommand(modelling, "&Upward Continuation...", CTessmorView::ID_UPWARD_CONTINUE);
  AddCommand(modelling, "&Second Derivative...", CTessmorView::ID_SECOND_DERIV);
  AddCommand(modelling, "2&D-Inversion...", CTessmorView::ID_2D_MODEL);
  AddCommand(modelling, "&Interpolation...", CTessmorView::ID_INTERPOLATE);
  AddCommand(modelling, "&Background Removal...", CTessmorView::ID_BACKGROUND);
  AddCommand(modelling, "Display &Anomaly Only", CTessmorView::ID_ONLY_ANOMALY);

  QMenu* view = bar->addMenu("&View");
  AddCommand(view, "&Toolbar", ID_VIEW_TOOLBAR);
  AddCommand(view, "&Status Bar", ID_VIEW_STATUS_BAR);
  QMenu* reduced = view->addMenu("&Reduced View");
  AddCommand(reduced, "25%", CTessmorView::ID_REDUCE_25);
  AddCommand(reduced, "33%", CTessmorView::ID_REDUCE_33);
  AddCommand(reduced, "50%", CTessmorView::ID_REDUCE_50);
  AddCommand(reduced, "75%", CTessmorView::ID_REDUCE_75);
  QMenu* magnify = view->addMenu("&Magnify view");
  AddCommand(magnify, "20%", CTessmorView::ID_MAGNIFY_20);
  AddCommand(magnify, "30%", CTessmorView::ID_MAGNIFY_30);
  AddCommand(magnify, "50%", CTessmorView::ID_MAGNIFY_50);
  AddCommand(magnify, "100%", CTessmorView::ID_MAGNIFY_100);
  AddCommand(view, "&Normal View", CTessmorView::ID_NORMAL_VIEW);
  // The keypad keys of these two are taken in keyPressEvent: on X11 a keypad key is offered
  // to the shortcuts without its keypad modifier, so a "Num+" shortcut never matches.
  AddCommand(view, "Sh&rink\t(Num -)", CTessmorView::ID_SHRINK);
  AddCommand(view, "E&xpand\t(Num +)", CTessmorView::ID_EXPAND);
  // The zoom entries belong to a profile window; the bars are always there.
  for (QMenu* m : {reduced, magnify}) m->menuAction()->setData(-1);

  QMenu* window = window_menu_ = document_menus_[2] = bar->addMenu("&Window");
  AddCommand(window, "&New Window", ID_WINDOW_NEW);
  AddCommand(window, "&Cascade", ID_WINDOW_CASCADE);
  AddCommand(window, "&Tile", ID_WINDOW_TILE);
  AddCommand(window, "&Arrange Icons", ID_WINDOW_ARRANGE);
  window_list_separator_ = window->addSeparator();
  window_list_separator_->setVisible(false);
  connect(window, &QMenu::aboutToShow, this, &CMainFrame::UpdateWindowList);

  QMenu* options = document_menus_[3] = bar->addMenu("&Options");
  AddCommand(options, "E&qually Spaced Data", CTessmorView::ID_EQUALLY_SPACED);
  AddCommand(options, "E&xport Equally Spaced", CTessmorView::ID_EXPORT_EQUALLY_SPACED);
  AddCommand(options, "&Font ...", CTessmorView::ID_FONT);
  AddCommand(options, "&Paper Size", CTessmorView::ID_PAPER_SIZE);
  AddCommand(options, "Default P&en ...", CTessmorView::ID_DEFAULT_PEN);
  AddCommand(options, "Default &Marker ...", CTessmorView::ID_DEFAULT_MARKER);
  AddCommand(options, "Display &Interpolated ", CTessmorView::ID_DISPLAY_INTERPOLATED);

  QMenu* help = bar->addMenu("&Help");
  AddCommand(help, "&Index", ID_HELP_INDEX);
  AddCommand(help, "&Using Help", ID_HELP_USING);
  AddCommand(help, "&Self-test...", ID_SELF_TEST);
  help->addSeparator();
  AddCommand(help, "&About TESSMOR...", ID_APP_ABOUT);

  // Keys without a menu entry.
  AddCommand(nullptr, "Help on the active window", ID_CONTEXT_HELP)
      ->setShortcut(QKeySequence(Qt::Key_F1));
  AddCommand(nullptr, "Help topics", ID_HELP)->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
  AddCommand(nullptr, "Next window", ID_NEXT_PANE)->setShortcut(QKeySequence(Qt::Key_F6));
  AddCommand(nullptr, "Previous window", ID_PREV_PANE)
      ->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));

  for (QMenu* m : bar->findChildren<QMenu*>()) {
    connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
  }
}

void CMainFrame::CreateToolBar() {
  toolbar_ = addToolBar("Toolbar");
  toolbar_->setObjectName("Toolbar");
  QStyle* s = style();
  actions_[ID_FILE_NEW]->setIcon(s->standardIcon(QStyle::SP_FileIcon));
  actions_[ID_FILE_OPEN]->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
  actions_[ID_FILE_SAVE]->setIcon(s->standardIcon(QStyle::SP_DialogSaveButton));
  actions_[ID_APP_ABOUT]->setIcon(s->standardIcon(QStyle::SP_MessageBoxInformation));
  // Toolbar buttons are named without their menu's shortcut text.
  actions_[CTessmorView::ID_EDIT_COPY]->setIcon(
      QIcon::fromTheme("edit-copy", QIcon(":/icons/copy.svg")));
  actions_[CTessmorView::ID_EDIT_COPY]->setIconText("Copy");
  const QIcon printer = QIcon::fromTheme("document-print", QIcon(":/icons/print.svg"));
  actions_[ID_FILE_PRINT]->setIcon(printer);
  actions_[ID_FILE_PRINT]->setIconText("Print");
  // The toolbar's button prints at once on the current printer, as such buttons do.
  QAction* direct = AddCommand(nullptr, "Print", ID_FILE_PRINT_DIRECT);
  direct->setIcon(
      QIcon::fromTheme("document-print", s->standardIcon(QStyle::SP_FileDialogDetailedView)));
  actions_[ID_HELP_INDEX]->setIcon(s->standardIcon(QStyle::SP_MessageBoxQuestion));
  actions_[ID_HELP_INDEX]->setIconText("Help");
  toolbar_->addAction(actions_[ID_FILE_NEW]);
  toolbar_->addAction(actions_[ID_FILE_OPEN]);
  toolbar_->addAction(actions_[ID_FILE_SAVE]);
  toolbar_->addSeparator();
  toolbar_->addAction(actions_[CTessmorView::ID_EDIT_COPY]);
  toolbar_->addAction(direct);
  toolbar_->addSeparator();
  toolbar_->addAction(actions_[ID_APP_ABOUT]);
  toolbar_->addAction(actions_[ID_HELP_INDEX]);
}

void CMainFrame::CreateStatusBar() {
  magnification_ = new QLabel(this);
  magnification_->setAlignment(Qt::AlignCenter);
  magnification_->setMinimumWidth(magnification_->fontMetrics().horizontalAdvance("100%") + 12);
  magnification_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  statusBar()->addPermanentWidget(magnification_);
  const char* names[3] = {"CAP", "NUM", "SCRL"};
  for (int i = 0; i < 3; ++i) {
    locks_[i] = new QLabel(names[i], this);
    locks_[i]->setAlignment(Qt::AlignCenter);
    locks_[i]->setMinimumWidth(locks_[i]->fontMetrics().horizontalAdvance("SCRL") + 12);
    locks_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addPermanentWidget(locks_[i]);
  }
  UpdateLockPanes(false, false, false);
  auto* poll = new QTimer(this);
  connect(poll, &QTimer::timeout, this, &CMainFrame::PollLockKeys);
  poll->start(300);
  PollLockKeys();
  statusBar()->showMessage("Ready");
}

void CMainFrame::UpdateLockPanes(bool caps, bool num, bool scroll) {
  const bool on[3] = {caps, num, scroll};
  for (int i = 0; i < 3; ++i) {
    // An indicator that is off keeps its place, with its text greyed out.
    locks_[i]->setEnabled(on[i]);
    locks_[i]->setProperty("on", on[i]);
  }
}

void CMainFrame::PollLockKeys() {
  bool caps = false, num = false, scroll = false;
  if (ReadLockKeys(caps, num, scroll)) UpdateLockPanes(caps, num, scroll);
}

QAction* CMainFrame::action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

CVexaFrame* CMainFrame::ActiveFrame() const {
  QMdiSubWindow* w = mdi_->activeSubWindow();
  if (!w && !mdi_->subWindowList().isEmpty()) w = mdi_->subWindowList().back();
  return w ? qobject_cast<CVexaFrame*>(w->widget()) : nullptr;
}

CDesktopView* CMainFrame::ActiveView() const {
  CVexaFrame* f = ActiveFrame();
  return f ? f->view() : nullptr;
}

Document* CMainFrame::ActiveDocument() const {
  CDesktopView* v = ActiveView();
  return v ? v->GetDocument() : nullptr;
}

void CMainFrame::UpdateCommandUI() {
  CDesktopView* view = ActiveView();
  const bool has_doc = view != nullptr;
  // Without a profile window the menu shrinks to File, View and Help.
  for (QMenu* m : document_menus_) m->menuAction()->setVisible(has_doc);
  for (int id : {int(ID_FILE_CLOSE), int(ID_FILE_SAVE), int(ID_FILE_SAVE_AS),
                 int(CTessmorView::ID_EXPORT), int(ID_FILE_PRINT), int(ID_FILE_PRINT_PREVIEW)}) {
    actions_[id]->setVisible(has_doc);
  }
  for (int id : {int(CTessmorView::ID_NORMAL_VIEW), int(CTessmorView::ID_SHRINK),
                 int(CTessmorView::ID_EXPAND)}) {
    actions_[id]->setVisible(has_doc);
  }
  for (QMenu* m : menuBar()->findChildren<QMenu*>()) {
    if (m->menuAction()->data().toInt() == -1) m->menuAction()->setVisible(has_doc);
  }
  actions_[ID_IMPORT_GRAVMAG]->setText(has_doc ? "GRAVMAG Text File" : "GravMag Text File");

  tessmor::RunGuarded([&] {
    for (auto& [id, a] : actions_) {
      if (IsViewCommand(id)) {
        a->setEnabled(view && view->IsCommandEnabled(id));
        if (a->isCheckable()) a->setChecked(view && view->IsCommandChecked(id));
      } else if (NeedsDocument(id)) {
        a->setEnabled(has_doc);
      } else if (IsUnavailable(id)) {
        a->setEnabled(false);
      }
    }
  });
  actions_[ID_VIEW_TOOLBAR]->setChecked(toolbar_ && toolbar_->isVisible());
  actions_[ID_VIEW_STATUS_BAR]->setChecked(statusBar()->isVisible());
  if (!view) magnification_->clear();
  UpdateCaption();
}

void CMainFrame::UpdateCaption() {
  QString caption = kAppTitle;
  if (Document* doc = ActiveDocument()) {
    caption += " - " + QString::fromStdString(doc->GetTitle());
  }
  caption_ = caption;
  setWindowTitle(caption);
  // A document shown in several windows numbers them: "basin.txt:1", "basin.txt:2".
  std::map<Document*, int> count, seen;
  for (auto& [window, doc] : windows_) ++count[doc];
  for (QMdiSubWindow* window : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    auto it = windows_.find(window);
    if (it == windows_.end()) continue;
    Document* doc = it->second;
    QString title = QString::fromStdString(doc->GetTitle());
    if (count[doc] > 1) title += QString(":%1").arg(++seen[doc]);
    window->setWindowTitle(title + (doc->IsModified() ? "*" : ""));
  }
}

bool CMainFrame::OnCommand(int id) {
  bool handled = true;
  tessmor::RunGuarded([&] {
    switch (id) {
      case ID_FILE_NEW:
        NewFile();
        break;
      case ID_FILE_OPEN:
        PromptOpen(kProjectTemplate);
        break;
      case ID_IMPORT_GRAVMAG:
        PromptOpen(kGravmagTemplate);
        break;
      case ID_IMPORT_ZAPRIN:
        PromptOpen(kGravAsciiTemplate);
        break;
      case ID_IMPORT_2DQN:
        PromptOpen(k2DQNTemplate);
        break;
      case ID_IMPORT_CSV:
        PromptOpen(kCsvTemplate);
        break;
      case ID_FILE_CLOSE:
        if (QMdiSubWindow* w = mdi_->activeSubWindow()) w->close();
        break;
      case ID_FILE_SAVE:
      case ID_FILE_SAVE_AS:
      case ID_EDIT_DATA: {
        auto* doc = dynamic_cast<CTessmorDoc*>(ActiveDocument());
        if (!doc) {
          handled = false;
        } else if (id == ID_FILE_SAVE) {
          if (doc->OnFileSave()) app_.AddToRecentFileList(doc->GetPathName());
        } else if (id == ID_FILE_SAVE_AS) {
          if (doc->OnFileSaveAs()) app_.AddToRecentFileList(doc->GetPathName());
        } else {
          doc->OnEditData();
        }
        break;
      }
      case ID_FILE_PRINT:
        Print(false);
        break;
      case ID_FILE_PRINT_PREVIEW:
        Print(true);
        break;
      case ID_FILE_PRINT_DIRECT:
        PrintDirect();
        break;
      case ID_HELP_INDEX:
      case ID_HELP:
        helpWindow().ShowTopic(help_topic::kIndex);
        break;
      case ID_HELP_USING:
        helpWindow().ShowTopic(help_topic::kUsingHelp);
        break;
      case ID_CONTEXT_HELP:
        helpWindow().ShowTopic(ContextTopic());
        break;
      case ID_WINDOW_NEW:
        NewWindow();
        break;
      case ID_WINDOW_ARRANGE:
        ArrangeIcons();
        break;
      case ID_NEXT_PANE:
        mdi_->activateNextSubWindow();
        break;
      case ID_PREV_PANE:
        mdi_->activatePreviousSubWindow();
        break;
      case ID_FILE_PRINT_SETUP: {
        QPageSetupDialog dialog(printer_.get(), this);
        dialog.exec();
        break;
      }
      case ID_APP_EXIT:
        close();
        break;
      case ID_APP_ABOUT:
        ShowAbout();
        break;
      case ID_SELF_TEST:
        ShowSelfTest();
        break;
      case ID_VIEW_TOOLBAR:
        toolbar_->setVisible(!toolbar_->isVisible());
        break;
      case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(!statusBar()->isVisible());
        break;
      case ID_WINDOW_CASCADE:
        mdi_->cascadeSubWindows();
        break;
      case ID_WINDOW_TILE:
        mdi_->tileSubWindows();
        break;
      default:
        if (id >= ID_FILE_MRU_FIRST && id < ID_FILE_MRU_FIRST + kMaxRecentFiles) {
          const std::size_t i = static_cast<std::size_t>(id - ID_FILE_MRU_FIRST);
          // A copy: opening the file reorders the list.
          if (i < app_.recent_files().size()) OpenFile(std::string(app_.recent_files()[i]));
        } else if (IsViewCommand(id) && ActiveView()) {
          handled = ActiveView()->OnCommand(id);
        } else {
          handled = false;
        }
        break;
    }
  });
  UpdateRecentMenu();
  UpdateCommandUI();
  return handled;
}

void CMainFrame::PromptOpen(int index) {
  const auto& templates = app_.templates();
  if (index >= static_cast<int>(templates.size())) return;
  tessmor::DocTemplate* t = templates[static_cast<std::size_t>(index)].get();
  tessmor::FileDialogRequest request;
  request.title = "Open";
  request.filters = {{t->GetDocString(tessmor::DocTemplate::kFilterName),
                      t->GetDocString(tessmor::DocTemplate::kFilterExt)}};
  request.all_files = true;
  request.flags = tessmor::kFileDialogHideReadOnly | tessmor::kFileDialogFileMustExist;
  const tessmor::FileDialogResult r = tessmor::GetFileDialogs().Show(request);
  if (!r.ok || r.path.empty()) return;
  OpenFile(r.path, t);
}

Document* CMainFrame::OpenFile(const std::string& path, tessmor::DocTemplate* with) {
  Document* doc = nullptr;
  tessmor::RunGuarded([&] {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    doc = app_.OpenDocumentFile(path, with);
    QApplication::restoreOverrideCursor();
  });
  if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  if (doc) {
    // The file takes the place of an untouched new project.
    QMdiSubWindow* untouched = UntouchedNewWindow();
    if (untouched && windows_[untouched] != doc) untouched->close();
    ShowDocument(doc);
  }
  UpdateRecentMenu();
  UpdateCommandUI();
  return doc;
}

Document* CMainFrame::NewFile() {
  Document* doc = nullptr;
  tessmor::RunGuarded([&] {
    doc = app_.NewDocument(app_.templates().empty() ? nullptr : app_.templates().front().get());
  });
  if (doc) ShowDocument(doc);
  UpdateCommandUI();
  return doc;
}

void CMainFrame::ShowDocument(Document* doc) {
  QMdiSubWindow* last = nullptr;
  for (tessmor::View* v : app_.ViewsOf(doc)) {
    auto* view = dynamic_cast<CDesktopView*>(v);
    if (!view) continue;
    auto shown = std::find_if(windows_.begin(), windows_.end(), [view](const auto& e) {
      auto* f = qobject_cast<CVexaFrame*>(e.first->widget());
      return f && f->view() == view;
    });
    if (shown != windows_.end()) {
      last = shown->first;
      continue;
    }
    auto* frame = new CVexaFrame(view);
    QMdiSubWindow* window = mdi_->addSubWindow(frame);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->installEventFilter(this);
    windows_[window] = doc;
    view->SetStatusPane(
        [this](const std::string& text) { magnification_->setText(QString::fromStdString(text)); });
    view->SetPaperChooser([this](int current) -> std::optional<int> {
      QStringList names;
      int selected = 1;
      for (std::size_t i = 0; i < std::size(kPapers); ++i) {
        names << kPapers[i].name;
        if (kPapers[i].code == (current & 0xFF)) selected = static_cast<int>(i);
      }
      bool ok = false;
      const QString name =
          QInputDialog::getItem(this, "Paper Size", "Paper:", names, selected, false, &ok);
      if (!ok) return std::nullopt;
      return kPapers[names.indexOf(name)].code;
    });
    if (!RestorePlacement(*window)) {
      const QSize area = mdi_->viewport()->size();
      window->resize(std::max(400, area.width() * 3 / 4), std::max(300, area.height() * 3 / 4));
    }
    if (!window->isMaximized()) FitToArea(*window);
    if (!window->isVisible()) window->show();
    frame->UpdateScrollBars();
    view->OnSetFocus();
    last = window;
  }
  if (last) mdi_->setActiveSubWindow(last);
  UpdateCommandUI();
}

QMdiSubWindow* CMainFrame::UntouchedNewWindow() const {
  if (windows_.size() != 1) return nullptr;
  const auto& [window, doc] = *windows_.begin();
  if (!doc->GetPathName().empty() || doc->IsModified() || app_.ViewsOf(doc).size() != 1) {
    return nullptr;
  }
  const auto* profile = dynamic_cast<const CTessmorDoc*>(doc);
  if (profile && profile->GetPointCount(1) > 0) return nullptr;
  return window;
}

void CMainFrame::FitToArea(QMdiSubWindow& window) const {
  const QSize area = mdi_->viewport()->size();
  if (area.isEmpty()) return;
  QRect r = window.geometry();
  r.setSize(r.size().boundedTo(area));
  r.moveLeft(std::clamp(r.left(), 0, area.width() - r.width()));
  r.moveTop(std::clamp(r.top(), 0, area.height() - r.height()));
  window.setGeometry(r);
}

bool CMainFrame::SaveModified(Document* doc) {
  if (!doc || !doc->IsModified()) return true;
  const int answer =
      tessmor::GetPrompts().MessageBox("Save changes to " + doc->GetTitle() + "?",
                                       tessmor::kPromptYesNoCancel | tessmor::kPromptIconWarning);
  if (answer == tessmor::kAnswerCancel) return false;
  if (answer == tessmor::kAnswerYes) {
    auto* profile = dynamic_cast<CTessmorDoc*>(doc);
    return profile && profile->OnFileSave();
  }
  return true;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Close) {
    auto* window = qobject_cast<QMdiSubWindow*>(watched);
    auto it = window ? windows_.find(window) : windows_.end();
    if (it != windows_.end()) {
      Document* doc = it->second;
      const bool last_window = std::count_if(windows_.begin(), windows_.end(),
                                             [doc](const auto& e) { return e.second == doc; }) == 1;
      if (!last_window) {
        // One of several windows of the document: only this view goes.
        tessmor::RunGuarded([&] { StorePlacement(*window); });
        CDesktopView* view = nullptr;
        if (auto* frame = qobject_cast<CVexaFrame*>(window->widget())) {
          view = frame->view();
          frame->Detach();
        }
        windows_.erase(it);
        window->removeEventFilter(this);
        if (view) tessmor::RunGuarded([&] { app_.RemoveView(view); });
        QMetaObject::invokeMethod(this, &CMainFrame::UpdateCommandUI, Qt::QueuedConnection);
        return false;
      }
      bool ok = true;
      tessmor::RunGuarded([&] { ok = SaveModified(doc); });
      if (!ok) {
        event->ignore();
        return true;
      }
      tessmor::RunGuarded([&] { StorePlacement(*window); });
      // The document goes with its window: its views are the application's and die with it.
      if (auto* frame = qobject_cast<CVexaFrame*>(window->widget())) {
        if (CDesktopView* view = frame->view()) {
          tessmor::RunGuarded([&] { view->StoreZoom(); });
        }
        frame->Detach();
      }
      windows_.erase(it);
      window->removeEventFilter(this);
      tessmor::RunGuarded([&] { app_.CloseDocument(doc); });
      QMetaObject::invokeMethod(this, &CMainFrame::UpdateCommandUI, Qt::QueuedConnection);
      return false;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  mdi_->closeAllSubWindows();
  if (!mdi_->subWindowList().isEmpty()) {
    event->ignore();
    return;
  }
  StoreRecentFiles();
  tessmor::RunGuarded([&] { StoreMainPlacement(); });
  if (help_) help_->close();
  event->accept();
}

void CMainFrame::StoreMainPlacement() {
  WINDOWPLACEMENT wp;
  const QRect r = isMaximized() || isMinimized() ? normalGeometry() : geometry();
  if (!r.isValid()) return;
  wp.rcNormalPosition = {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
  wp.showCmd = isMaximized() ? kShowMaximized : kShowNormal;
  wp.flags = isMaximized() ? kRestoreToMaximized : 0;
  WriteWindowPlacement(&wp, kMainPlacementEntry);
}

void CMainFrame::RestoreMainPlacement() {
  WINDOWPLACEMENT wp;
  if (!ReadWindowPlacement(&wp, kMainPlacementEntry)) return;
  const tessmor::RECT& r = wp.rcNormalPosition;
  const QRect stored(r.left, r.top, r.right - r.left, r.bottom - r.top);
  if (stored.width() < 200 || stored.height() < 150) return;
  // A place on a screen that is no longer there is not used.
  const QScreen* screen = QGuiApplication::screenAt(stored.center());
  if (!screen) return;
  setGeometry(stored.intersected(screen->availableGeometry()));
  if (wp.showCmd == kShowMaximized) setWindowState(windowState() | Qt::WindowMaximized);
}

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // A maximised chart window adds " - [its title]" to the caption, which names the document
  // already: keep the caption as it was.
  if (event->type() == QEvent::WindowTitleChange && !caption_.isEmpty() &&
      windowTitle() != caption_) {
    setWindowTitle(caption_);
  }
}

void CMainFrame::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() & Qt::KeypadModifier) {
    const int id = event->key() == Qt::Key_Plus    ? int(CTessmorView::ID_EXPAND)
                   : event->key() == Qt::Key_Minus ? int(CTessmorView::ID_SHRINK)
                                                   : 0;
    QAction* a = id ? action(id) : nullptr;
    if (a && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      UpdateCommandUI();
      if (a->isVisible() && a->isEnabled()) a->trigger();
      event->accept();
      return;
    }
  }
  QMainWindow::keyPressEvent(event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) OpenFile(url.toLocalFile().toStdString());
  }
}

CDesktopView* CMainFrame::PrepareToPrint() {
  CDesktopView* view = ActiveView();
  if (!view) return nullptr;
  // The paper's orientation goes to the printer: landscape when bit 3 of its code is set.
  const ChartPaper paper = view->GetPaper();
  printer_->setPageOrientation((paper.code & 8) ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer_->setDocName(QString::fromStdString(view->GetDocument()->GetTitle()));
  return view;
}

void CMainFrame::Print(bool preview) {
  CDesktopView* view = PrepareToPrint();
  if (!view) return;
  if (preview) {
    QPrintPreviewDialog dialog(printer_.get(), this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this, view](QPrinter* printer) { PrintView(view, *printer); });
    dialog.exec();
    return;
  }
  QPrintDialog dialog(printer_.get(), this);
  dialog.setMinMax(1, 1);
  if (dialog.exec() != QDialog::Accepted) return;
  PrintView(view, *printer_);
}

void CMainFrame::PrintDirect() {
  CDesktopView* view = PrepareToPrint();
  if (!view) return;
  printer_->setFromTo(1, 1);
  PrintView(view, *printer_);
}

void CMainFrame::PrintView(CDesktopView* view, QPrinter& printer) {
  // The page description: its first line names the page being printed, its second the
  // pages of the document (one page here).
  const QStringList description = QString(kPageDescription).split('\n');
  statusBar()->showMessage(description[0].arg(1) + "  " + description[1].arg(1).arg(1));
  QPainter painter;
  if (!painter.begin(&printer)) {
    statusBar()->showMessage("Ready");
    tessmor::GetPrompts().MessageBox("The printer could not be started.",
                                     tessmor::kPromptOk | tessmor::kPromptIconError);
    return;
  }
  tessmor::RunGuarded([&] {
    tessmor::QtDC dc(painter, printer.resolution(), printer.resolution());
    view->OnPrint(dc);
  });
  painter.end();
  statusBar()->showMessage("Ready");
}

CHelpWindow& CMainFrame::helpWindow() {
  // A window of its own, outside the dialogs' parents, so that it can be read and scrolled
  // while a dialog waits for its answer.
  if (!help_) help_ = new CHelpWindow(nullptr);
  return *help_;
}

QString CMainFrame::ContextTopic() const {
  return ActiveView() ? help_topic::kChartWindow : help_topic::kMainWindow;
}

QMdiSubWindow* CMainFrame::NewWindow() {
  CDesktopView* active = ActiveView();
  Document* doc = active ? active->GetDocument() : nullptr;
  if (!doc) return nullptr;
  QMdiSubWindow* made = nullptr;
  tessmor::RunGuarded([&] {
    if (!app_.AddView(doc)) return;
    ShowDocument(doc);
    made = mdi_->activeSubWindow();
  });
  UpdateCommandUI();
  return made;
}

void CMainFrame::ArrangeIcons() {
  const QSize area = mdi_->viewport()->size();
  int x = 0;
  int y = area.height();
  for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    if (!w->isMinimized()) continue;
    const QSize size = w->size();
    if (x > 0 && x + size.width() > area.width()) {
      x = 0;
      y -= size.height();
    }
    w->move(x, y - size.height());
    x += size.width();
  }
}

void CMainFrame::UpdateWindowList() {
  for (QAction* a : window_list_) {
    window_menu_->removeAction(a);
    delete a;
  }
  window_list_.clear();
  const QList<QMdiSubWindow*> windows = mdi_->subWindowList(QMdiArea::CreationOrder);
  window_list_separator_->setVisible(!windows.isEmpty());
  int number = 0;
  for (QMdiSubWindow* w : windows) {
    ++number;
    QString title = w->windowTitle();
    title.replace('&', "&&");
    auto* a = window_menu_->addAction(number < 10 ? QString("&%1 %2").arg(number).arg(title)
                                                  : QString("%1 %2").arg(number).arg(title));
    a->setCheckable(true);
    a->setChecked(w == mdi_->activeSubWindow());
    a->setStatusTip("Activate this window");
    connect(a, &QAction::triggered, this, [this, w] {
      if (mdi_->subWindowList().contains(w)) {
        if (w->isMinimized()) w->showNormal();
        mdi_->setActiveSubWindow(w);
      }
    });
    window_list_.push_back(a);
  }
}

void CMainFrame::ShowSelfTest() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const std::vector<SelfTestCase> cases = RunSelfTest();
  QApplication::restoreOverrideCursor();
  const bool passed =
      std::all_of(cases.begin(), cases.end(), [](const SelfTestCase& c) { return c.Passed(); });
  QDialog dialog(this);
  dialog.setObjectName("SelfTest");
  dialog.setWindowTitle("Self-test of the analyses");
  auto* summary = new QLabel(passed ? "Every check passed." : "A check failed.", &dialog);
  auto* text = new QPlainTextEdit(QString::fromStdString(FormatSelfTest(cases)), &dialog);
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(summary);
  layout->addWidget(text, 1);
  layout->addWidget(buttons);
  dialog.resize(720, 460);
  statusBar()->showMessage(passed ? "Self-test: every check passed" : "Self-test: a check failed");
  dialog.exec();
}

void CMainFrame::ShowAbout() {
  CAboutBox box(this);
  box.exec();
}

void CMainFrame::LoadRecentFiles() {
  tessmor::Settings& s = tessmor::GetSettings();
  for (int i = kMaxRecentFiles; i >= 1; --i) {
    const std::string path = s.GetString(kRecentSection, "File" + std::to_string(i), "");
    if (!path.empty()) app_.AddToRecentFileList(path);
  }
  UpdateRecentMenu();
}

void CMainFrame::StoreRecentFiles() {
  tessmor::Settings& s = tessmor::GetSettings();
  const auto& recent = app_.recent_files();
  for (int i = 0; i < kMaxRecentFiles; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    s.WriteString(kRecentSection, "File" + std::to_string(i + 1),
                  k < recent.size() ? recent[k] : std::string());
  }
}

void CMainFrame::UpdateRecentMenu() {
  const auto& recent = app_.recent_files();
  for (int i = 0; i < kMaxRecentFiles; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    QAction* a = recent_actions_[i];
    if (k < recent.size()) {
      a->setText(QString("&%1 %2").arg(i + 1).arg(
          QDir::toNativeSeparators(QString::fromStdString(recent[k]))));
      a->setVisible(true);
    } else {
      a->setVisible(false);
    }
  }
  recent_separator_->setVisible(!recent.empty());
}
