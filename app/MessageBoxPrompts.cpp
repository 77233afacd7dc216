#include "app/MessageBoxPrompts.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>

namespace tessmor {

int MessageBoxPrompts::MessageBox(const std::string& text, unsigned style) {
  // Over the dialog being shown, if any, so that the box stays in front of it.
  QWidget* over = QApplication::activeModalWidget();
  QMessageBox box(over ? over : parent_);
  box.setWindowTitle(QApplication::applicationDisplayName());
  box.setText(QString::fromStdString(text));
  switch (style & kPromptIconMask) {
    case kPromptIconError:
      box.setIcon(QMessageBox::Critical);
      break;
    case kPromptIconQuestion:
      box.setIcon(QMessageBox::Question);
      break;
    case kPromptIconWarning:
      box.setIcon(QMessageBox::Warning);
      break;
    case kPromptIconInformation:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      break;
  }
  switch (style & kPromptButtonMask) {
    case kPromptOkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case kPromptYesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case kPromptYesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return kAnswerOk;
    case QMessageBox::Yes:
      return kAnswerYes;
    case QMessageBox::No:
      return kAnswerNo;
    case QMessageBox::Cancel:
      return kAnswerCancel;
    default:
      // Closed with Escape or the window's close button.
      return (style & kPromptButtonMask) == kPromptOk ? kAnswerOk : kAnswerCancel;
  }
}

void MessageBoxPrompts::Beep() { QApplication::beep(); }

void MessageBoxPrompts::StatusMessage(const std::string& text) {
  if (auto* frame = qobject_cast<QMainWindow*>(parent_)) {
    frame->statusBar()->showMessage(QString::fromStdString(text));
  }
}

}  // namespace tessmor
