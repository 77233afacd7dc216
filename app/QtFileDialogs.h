#pragma once

#include <QString>
#include <string>

#include "platform/ui/FileDialogs.h"

class QWidget;

namespace tessmor {

/// File dialogs on QFileDialog.
class QtFileDialogs : public FileDialogs {
 public:
  explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void set_parent(QWidget* parent) { parent_ = parent; }
  FileDialogResult Show(const FileDialogRequest& request) override;

 private:
  QWidget* parent_;
};

/// The Qt name filter of one (name, ".ext") pair: the name itself when it already lists its
/// patterns in parentheses ("TESSMOR File (*.gpr)"), else "name (*.ext)".
QString QtFilterText(const std::string& name, const std::string& ext);

}  // namespace tessmor
