#include "app/QtFileDialogs.h"

#include <QFileDialog>
#include <QStringList>

namespace tessmor {

QString QtFilterText(const std::string& name, const std::string& ext) {
  const QString n = QString::fromStdString(name);
  if (n.contains('(') && n.contains(')')) return n;
  return n + " (*" + QString::fromStdString(ext) + ")";
}

FileDialogResult QtFileDialogs::Show(const FileDialogRequest& request) {
  QFileDialog dialog(parent_, QString::fromStdString(request.title));
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save || !(request.flags & kFileDialogFileMustExist)
                         ? QFileDialog::AnyFile
                         : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite,
                   !(request.flags & kFileDialogOverwritePrompt));
  QStringList filters;
  for (const auto& [name, ext] : request.filters) filters << QtFilterText(name, ext);
  if (request.all_files) filters << "All Files (*)";
  dialog.setNameFilters(filters);
  if (!request.initial_dir.empty())
    dialog.setDirectory(QString::fromStdString(request.initial_dir));
  if (!request.file_name.empty()) dialog.selectFile(QString::fromStdString(request.file_name));
  if (!request.filters.empty() && request.save) {
    dialog.setDefaultSuffix(QString::fromStdString(request.filters.front().second).mid(1));
  }

  FileDialogResult result;
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return result;
  result.ok = true;
  result.path = dialog.selectedFiles().front().toStdString();
  const int index = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
  result.filter_index = index >= static_cast<int>(request.filters.size()) ? -1 : std::max(index, 0);
  return result;
}

}  // namespace tessmor
