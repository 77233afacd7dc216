#include "app/QtFileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

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
  if (request.all_files) filters << "All Files (*.*)";
  dialog.setNameFilters(filters);
  if (!request.initial_dir.empty())
    dialog.setDirectory(QString::fromStdString(request.initial_dir));
  if (!request.file_name.empty()) dialog.selectFile(QString::fromStdString(request.file_name));
  if (!request.filters.empty() && request.save) {
    dialog.setDefaultSuffix(QString::fromStdString(request.filters.front().second).mid(1));
    // The extension follows the filter: a bare name gets the chosen filter's extension (so
    // that the overwrite question names the file that is written), and a name ending in one
    // of the filters' extensions takes the new one.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& chosen) {
      const qsizetype index = filters.indexOf(chosen);
      if (index < 0 || index >= static_cast<qsizetype>(request.filters.size())) return;
      const QString suffix =
          QString::fromStdString(request.filters[static_cast<std::size_t>(index)].second).mid(1);
      dialog.setDefaultSuffix(suffix);
      const QStringList typed = dialog.selectedFiles();
      if (typed.isEmpty()) return;
      const QFileInfo name(typed.front());
      if (name.fileName().isEmpty() || name.isDir()) return;
      const bool known =
          std::any_of(request.filters.begin(), request.filters.end(), [&](const auto& filter) {
            return name.suffix().compare(QString::fromStdString(filter.second).mid(1),
                                         Qt::CaseInsensitive) == 0;
          });
      if (!known || name.suffix() == suffix) return;
      dialog.selectFile(name.completeBaseName() + "." + suffix);
    });
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
