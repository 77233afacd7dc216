#include "app/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
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
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

#include "app/AboutBox.h"
#include "app/DesktopView.h"
#include "app/Guard.h"
#include "app/VexaFrame.h"
#include "chart/Mapper.h"
#include "platform/Application.h"
#include "platform/DocTemplate.h"
#include "platform/Document.h"
#include "platform/FileDialogs.h"
#include "platform/Prompts.h"
#include "platform/QtDC.h"
#include "platform/Settings.h"
#include "profile/TessmorDoc.h"
#include "util/WindowPlacement.h"

namespace {

using tessmor::Document;

// Template order of the application: project, GRAVMAG, GRAVASCII, 2DQN.
constexpr int kProjectTemplate = 0;
constexpr int kGravmagTemplate = 1;
constexpr int kGravAsciiTemplate = 2;
constexpr int k2DQNTemplate = 3;

constexpr const char* kRecentSection = "Recent File List";
// Where the chart windows keep their placement.
constexpr const char* kPlacementEntry = "VexaWinPos";
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

// Status-bar prompts of the commands that have one.
struct Prompt {
  int id;
  const char* text;
};
constexpr Prompt kPrompts[] = {
    {CTessmorView::ID_UPWARD_CONTINUE, "Calculates the upwards continuation of a gravity profile"},
    {CTessmorView::ID_SECOND_DERIV,
     "Calculates the second derivative of the upwards continued profile"},
    {CTessmorView::ID_2D_MODEL,
     "Performs simple 2-dimensional modelling, using rectangular prisms"},
    {CTessmorView::ID_INTERPOLATE, "Converts unequally spaced data into equally spaced data"},
    {CTessmorView::ID_BACKGROUND, "Removes the regional background from an anomaly"},
    {CMainFrame::ID_APP_EXIT, "Quit the application; prompts to save documents"},
};

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
    case CMainFrame::ID_FILE_PRINT_PREVIEW:
    case CMainFrame::ID_EDIT_DATA:
    case CMainFrame::ID_WINDOW_CASCADE:
    case CMainFrame::ID_WINDOW_TILE:
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
    case CMainFrame::ID_WINDOW_NEW:
    case CMainFrame::ID_WINDOW_ARRANGE:
    case CMainFrame::ID_HELP_INDEX:
    case CMainFrame::ID_HELP_USING:
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
  UpdateCommandUI();
  resize(900, 650);
}

CMainFrame::~CMainFrame() {
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
  auto* a = menu->addAction(QString::fromUtf8(text));
  a->setData(id);
  a->setCheckable(IsCheckCommand(id));
  for (const Prompt& p : kPrompts) {
    if (p.id == id) a->setStatusTip(p.text);
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

  QMenu* window = document_menus_[2] = bar->addMenu("&Window");
  AddCommand(window, "&New Window", ID_WINDOW_NEW);
  AddCommand(window, "&Cascade", ID_WINDOW_CASCADE);
  AddCommand(window, "&Tile", ID_WINDOW_TILE);
  AddCommand(window, "&Arrange Icons", ID_WINDOW_ARRANGE);

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
  help->addSeparator();
  AddCommand(help, "&About TESSMOR...", ID_APP_ABOUT);

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
  actions_[CTessmorView::ID_EDIT_COPY]->setIcon(QIcon::fromTheme("edit-copy"));
  actions_[CTessmorView::ID_EDIT_COPY]->setIconText("Copy");
  actions_[ID_FILE_PRINT]->setIcon(QIcon::fromTheme("document-print"));
  actions_[ID_FILE_PRINT]->setIconText("Print");
  toolbar_->addAction(actions_[ID_FILE_NEW]);
  toolbar_->addAction(actions_[ID_FILE_OPEN]);
  toolbar_->addAction(actions_[ID_FILE_SAVE]);
  toolbar_->addSeparator();
  toolbar_->addAction(actions_[CTessmorView::ID_EDIT_COPY]);
  toolbar_->addAction(actions_[ID_FILE_PRINT]);
  toolbar_->addSeparator();
  toolbar_->addAction(actions_[ID_APP_ABOUT]);
}

void CMainFrame::CreateStatusBar() {
  magnification_ = new QLabel(this);
  magnification_->setAlignment(Qt::AlignCenter);
  magnification_->setMinimumWidth(magnification_->fontMetrics().horizontalAdvance("100%") + 12);
  magnification_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  statusBar()->addPermanentWidget(magnification_);
  statusBar()->showMessage("Ready");
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
  for (auto& [window, doc] : windows_) {
    window->setWindowTitle(QString::fromStdString(doc->GetTitle()) +
                           (doc->IsModified() ? "*" : ""));
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
  request.all_files = false;
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
  event->accept();
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

void CMainFrame::Print(bool preview) {
  CDesktopView* view = ActiveView();
  if (!view) return;
  // The paper's orientation goes to the printer: landscape when bit 3 of its code is set.
  const ChartPaper paper = view->GetPaper();
  printer_->setPageOrientation((paper.code & 8) ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer_->setDocName(QString::fromStdString(view->GetDocument()->GetTitle()));
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

void CMainFrame::PrintView(CDesktopView* view, QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) {
    tessmor::GetPrompts().MessageBox("The printer could not be started.",
                                     tessmor::kPromptOk | tessmor::kPromptIconError);
    return;
  }
  tessmor::RunGuarded([&] {
    tessmor::QtDC dc(painter, printer.resolution(), printer.resolution());
    view->OnPrint(dc);
  });
  painter.end();
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
