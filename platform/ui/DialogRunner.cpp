#include "platform/ui/DialogRunner.h"

namespace tessmor {

namespace {
class CancellingRunner : public DialogRunner {
 public:
  bool DoModal(DialogModel&, int) override { return false; }
};
CancellingRunner g_default_runner;
DialogRunner* g_runner = nullptr;
}  // namespace

DialogRunner::~DialogRunner() = default;

DialogRunner& GetDialogRunner() { return g_runner ? *g_runner : g_default_runner; }

DialogRunner* SetDialogRunner(DialogRunner* runner) {
  DialogRunner* old = g_runner ? g_runner : &g_default_runner;
  g_runner = runner;
  return old;
}

}  // namespace tessmor
