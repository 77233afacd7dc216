#pragma once

#include "platform/ui/Prompts.h"

class QWidget;

namespace tessmor {

/// The program's messages and questions as message boxes over the main window.
class MessageBoxPrompts : public Prompts {
 public:
  explicit MessageBoxPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  void set_parent(QWidget* parent) { parent_ = parent; }

  /// A modal box with the buttons and icon of `style`; the answer as the platform codes it.
  int MessageBox(const std::string& text, unsigned style) override;
  void Beep() override;
  /// In the status bar of the main window (the parent), until the next status text.
  void StatusMessage(const std::string& text) override;

 private:
  QWidget* parent_;
};

}  // namespace tessmor
