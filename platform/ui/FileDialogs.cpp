#include "platform/ui/FileDialogs.h"

namespace tessmor {

namespace {
class CancellingDialogs : public FileDialogs {
 public:
  FileDialogResult Show(const FileDialogRequest&) override { return {}; }
};
CancellingDialogs g_default_dialogs;
FileDialogs* g_dialogs = nullptr;
}  // namespace

FileDialogs::~FileDialogs() = default;

FileDialogs& GetFileDialogs() { return g_dialogs ? *g_dialogs : g_default_dialogs; }

FileDialogs* SetFileDialogs(FileDialogs* dialogs) {
  FileDialogs* old = g_dialogs ? g_dialogs : &g_default_dialogs;
  g_dialogs = dialogs;
  return old;
}

}  // namespace tessmor
