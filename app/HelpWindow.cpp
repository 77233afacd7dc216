#include "app/HelpWindow.h"

#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QStandardPaths>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

namespace {

constexpr const char* kManualPage = "qrc:/manual/tessmor.html";

// The help contexts the manual has a topic for.
constexpr unsigned kContexts[] = {0x2012D, 0x2012E, 0x2012F, 0x20130, 0x20133, 0x20134};

std::function<void(const QString&)>& Handler() {
  static std::function<void(const QString&)> handler;
  return handler;
}

}  // namespace

CHelpWindow::CHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle("TESSMOR Help");
  setObjectName("HelpWindow");
  auto* bar = new QHBoxLayout;
  auto tool = [this, bar](QStyle::StandardPixmap icon, const QString& text, const QString& tip) {
    auto* b = new QToolButton(this);
    b->setIcon(style()->standardIcon(icon));
    b->setText(text);
    b->setToolTip(tip);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->addWidget(b);
    return b;
  };
  back_ = tool(QStyle::SP_ArrowBack, "Back", "Back to the topic shown before (Alt+Left)");
  forward_ = tool(QStyle::SP_ArrowForward, "Forward", "Forward again (Alt+Right)");
  QToolButton* home = tool(QStyle::SP_DirHomeIcon, "Contents", "The manual's contents");
  bar->addSpacing(16);
  bar->addWidget(new QLabel("Search:", this));
  search_ = new QLineEdit(this);
  search_->setPlaceholderText("word or phrase, Enter for the next");
  search_->setClearButtonEnabled(true);
  bar->addWidget(search_, 1);
  QToolButton* previous = tool(QStyle::SP_ArrowUp, "", "Previous occurrence (Shift+Enter)");
  QToolButton* next = tool(QStyle::SP_ArrowDown, "", "Next occurrence (Enter)");
  found_ = new QLabel(this);
  bar->addWidget(found_);

  browser_ = new QTextBrowser(this);
  browser_->setOpenExternalLinks(true);
  browser_->setSource(QUrl(kManualPage));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(browser_, 1);

  back_->setEnabled(false);
  forward_->setEnabled(false);
  connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
  connect(home, &QToolButton::clicked, this, [this] { ShowTopic({}); });
  connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
  connect(search_, &QLineEdit::returnPressed, this, [this] { FindNext(false); });
  connect(search_, &QLineEdit::textChanged, found_, &QLabel::clear);
  connect(previous, &QToolButton::clicked, this, [this] { FindNext(true); });
  connect(next, &QToolButton::clicked, this, [this] { FindNext(false); });
  auto* back_key = new QShortcut(QKeySequence::Back, this);
  connect(back_key, &QShortcut::activated, browser_, &QTextBrowser::backward);
  auto* forward_key = new QShortcut(QKeySequence::Forward, this);
  connect(forward_key, &QShortcut::activated, browser_, &QTextBrowser::forward);
  auto* find_key = new QShortcut(QKeySequence::Find, this);
  connect(find_key, &QShortcut::activated, this, [this] {
    search_->setFocus();
    search_->selectAll();
  });
  auto* previous_key = new QShortcut(QKeySequence("Shift+Return"), search_);
  previous_key->setContext(Qt::WidgetShortcut);
  connect(previous_key, &QShortcut::activated, this, [this] { FindNext(true); });
  resize(820, 760);
}

QUrl CHelpWindow::ManualUrl(const QString& anchor) {
  QUrl url(kManualPage);
  if (!anchor.isEmpty()) url.setFragment(anchor);
  return url;
}

QString CHelpWindow::AnchorOf(unsigned context) {
  for (unsigned c : kContexts) {
    if (c == context) return "0x" + QString::number(context, 16).toUpper();
  }
  return help_topic::kIndex;
}

void CHelpWindow::ShowTopic(const QString& anchor) {
  const QUrl url = ManualUrl(anchor.isEmpty() ? QString(help_topic::kIndex) : anchor);
  if (browser_->source() != url) browser_->setSource(url);
  // The same address again still brings its topic to the top.
  browser_->scrollToAnchor(url.fragment());
  show();
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

bool CHelpWindow::FindNext(bool backward) {
  const QString text = search_->text().trimmed();
  if (text.isEmpty()) return false;
  const QTextDocument::FindFlags flags =
      backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  bool found = browser_->find(text, flags);
  if (!found) {
    // Round the end of the page, once.
    QTextCursor from = browser_->textCursor();
    from.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    browser_->setTextCursor(from);
    found = browser_->find(text, flags);
  }
  found_->setText(found ? QString() : QString("Not found"));
  return found;
}

QUrl ExtractManual(const QString& folder) {
  const QDir target(folder);
  if (!target.mkpath("images")) return {};
  QDirIterator it(":/manual", QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString from = it.next();
    const QString to = target.filePath(from.mid(QString(":/manual/").size()));
    QFile::remove(to);
    if (!QFile::copy(from, to)) return {};
    // Resource files come read-only; a later copy must be able to replace them.
    QFile::setPermissions(
        to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
  }
  const QString page = target.filePath("tessmor.html");
  return QFile::exists(page) ? QUrl::fromLocalFile(page) : QUrl();
}

void OpenManualPage() {
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  const QUrl page = cache.isEmpty() ? QUrl() : ExtractManual(cache + "/manual");
  if (page.isEmpty() || !QDesktopServices::openUrl(page)) ShowHelpTopic(help_topic::kIndex);
}

void SetHelpHandler(std::function<void(const QString& anchor)> handler) {
  Handler() = std::move(handler);
}

void ShowHelpTopic(const QString& anchor) {
  if (Handler()) Handler()(anchor);
}

void ShowHelpContext(unsigned context) { ShowHelpTopic(CHelpWindow::AnchorOf(context)); }
