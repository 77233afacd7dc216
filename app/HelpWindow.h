#pragma once

#include <QUrl>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QTextBrowser;
class QToolButton;

/// The program's help window: the bundled manual in a browser with back, forward, home and a
/// search box. The manual is a Qt resource, so it opens without a network.
class CHelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit CHelpWindow(QWidget* parent = nullptr);

  /// The manual's page, at `anchor` when one is given.
  static QUrl ManualUrl(const QString& anchor = {});
  /// The manual's topic of help context `context` (0x20000 plus a dialog's resource number):
  /// the anchor named after the context ("0x2012E"), or the index when the manual has no
  /// topic for it.
  static QString AnchorOf(unsigned context);

  /// Shows the window at the topic `anchor` (the index when empty) and raises it.
  void ShowTopic(const QString& anchor);
  /// Looks for the search box's text after the cursor (before it when `backward`), going
  /// round the end of the page. False when the page does not hold it.
  bool FindNext(bool backward = false);

  QTextBrowser* browser() const { return browser_; }
  QLineEdit* searchBox() const { return search_; }

 private:
  QTextBrowser* browser_ = nullptr;
  QLineEdit* search_ = nullptr;
  QLabel* found_ = nullptr;
  QToolButton* back_ = nullptr;
  QToolButton* forward_ = nullptr;
};

/// Where the program's help requests go. The main window installs its help window; without
/// one a request does nothing.
void SetHelpHandler(std::function<void(const QString& anchor)> handler);
/// Opens the manual's topic `anchor` (the index when empty).
void ShowHelpTopic(const QString& anchor);
/// Opens the topic of help context `context` (see CHelpWindow::AnchorOf).
void ShowHelpContext(unsigned context);

/// Copies the bundled manual (its page and pictures) into `folder` and returns the page's
/// file address; an empty address when it could not be written.
QUrl ExtractManual(const QString& folder);
/// Opens the manual's page with the desktop's handler for web pages (the manual copied to the
/// user's cache first); when the desktop cannot open it, in the program's help window.
void OpenManualPage();

/// Help anchors of the manual beyond the dialogs' context numbers.
namespace help_topic {
inline constexpr const char* kIndex = "index";
inline constexpr const char* kUsingHelp = "using-help";
inline constexpr const char* kMainWindow = "main-window";
inline constexpr const char* kChartWindow = "chart-window";
}  // namespace help_topic
