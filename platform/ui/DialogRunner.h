#pragma once

#include "platform/PlatformExport.h"

namespace tessmor {

class DialogModel;

/// Runs dialogs modally: shows the form on the desktop, types the options in the batch tool,
/// follows a script in tests. `resource_id` names the dialog.
class TESSMOR_PLATFORM_EXPORT DialogRunner {
 public:
  virtual ~DialogRunner();
  /// Shows `dialog` until the user presses OK (and OnOK accepts) or Cancel.
  /// True for OK: the dialog's members then hold the entry.
  virtual bool DoModal(DialogModel& dialog, int resource_id) = 0;
};

/// The process-wide dialog runner; until one is installed every dialog is cancelled.
TESSMOR_PLATFORM_EXPORT DialogRunner& GetDialogRunner();
/// Installs `runner` (not owned; null restores the default) and returns the previous one.
TESSMOR_PLATFORM_EXPORT DialogRunner* SetDialogRunner(DialogRunner* runner);

}  // namespace tessmor
