#pragma once

#include <deque>
#include <functional>

#include "platform/ui/DialogModel.h"
#include "platform/ui/DialogRunner.h"

namespace tessmor::testing {

/// Runs dialogs from a script: each step types into the controls of the next dialog (after
/// its initialisation) and presses OK, or presses Cancel. A dialog whose OnOK refuses counts
/// as cancelled. Installs itself as the process-wide runner while it lives.
class ScriptedDialogs : public DialogRunner {
 public:
  using Typing = std::function<void(DialogModel&)>;
  ScriptedDialogs() { previous_ = SetDialogRunner(this); }
  ~ScriptedDialogs() override { SetDialogRunner(previous_); }
  ScriptedDialogs(const ScriptedDialogs&) = delete;
  ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

  /// The next dialog gets `typing`, then OK.
  void Ok(Typing typing = {}) { steps_.push_back({true, std::move(typing)}); }
  /// The next dialog is cancelled.
  void Cancel() { steps_.push_back({false, {}}); }

  bool DoModal(DialogModel& dialog, int resource_id) override {
    shown_.push_back(resource_id);
    dialog.OnInitDialog();
    if (steps_.empty()) return false;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    if (!step.ok) return false;
    if (step.typing) step.typing(dialog);
    refused_ = !dialog.OnOK();
    return !refused_;
  }
  const std::deque<int>& shown() const { return shown_; }
  /// True when the last dialog's OnOK refused the entry.
  bool refused() const { return refused_; }
  bool done() const { return steps_.empty(); }

 private:
  struct Step {
    bool ok;
    Typing typing;
  };
  std::deque<Step> steps_;
  std::deque<int> shown_;
  bool refused_ = false;
  DialogRunner* previous_;
};

}  // namespace tessmor::testing
