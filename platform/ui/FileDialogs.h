#pragma once

#include <string>
#include <vector>

#include "platform/PlatformExport.h"

namespace tessmor {

/// Flags of a file dialog.
enum FileDialogFlags : unsigned {
  kFileDialogHideReadOnly = 0x4,
  kFileDialogOverwritePrompt = 0x2,
  kFileDialogPathMustExist = 0x800,
  kFileDialogFileMustExist = 0x1000,
};

/// What a file dialog is asked to show.
struct FileDialogRequest {
  bool save = false;
  std::string title;
  /// (filter name, extension with its point) pairs, in the order shown; "All Files" is added
  /// by the dialog itself when `all_files` is set.
  std::vector<std::pair<std::string, std::string>> filters;
  bool all_files = true;
  std::string initial_dir;
  std::string file_name;
  unsigned flags = 0;
};

/// What the user chose.
struct FileDialogResult {
  bool ok = false;
  std::string path;
  /// Index of the chosen filter in the request's list (0-based); -1 for all files.
  int filter_index = 0;
};

/// Shows file dialogs: a real one on the desktop, a scripted one in tests and the batch tool.
class TESSMOR_PLATFORM_EXPORT FileDialogs {
 public:
  virtual ~FileDialogs();
  virtual FileDialogResult Show(const FileDialogRequest& request) = 0;
};

/// The process-wide file dialogs; until one is installed, every dialog is cancelled.
TESSMOR_PLATFORM_EXPORT FileDialogs& GetFileDialogs();
/// Installs `dialogs` (not owned; null restores the default) and returns the previous one.
TESSMOR_PLATFORM_EXPORT FileDialogs* SetFileDialogs(FileDialogs* dialogs);

}  // namespace tessmor
