#pragma once

#include <deque>
#include <vector>

#include "platform/ui/FileDialogs.h"

namespace tessmor::testing {

/// File dialogs for tests: answers from a script (cancel once it runs out) and records every
/// request. Installs itself as the process-wide dialogs while it lives.
class FakeFileDialogs : public FileDialogs {
 public:
  FakeFileDialogs() { previous_ = SetFileDialogs(this); }
  ~FakeFileDialogs() override { SetFileDialogs(previous_); }
  FakeFileDialogs(const FakeFileDialogs&) = delete;
  FakeFileDialogs& operator=(const FakeFileDialogs&) = delete;

  void Script(FileDialogResult result) { script_.push_back(std::move(result)); }
  FileDialogResult Show(const FileDialogRequest& request) override {
    requests_.push_back(request);
    if (script_.empty()) return {};
    FileDialogResult r = script_.front();
    script_.pop_front();
    return r;
  }
  const std::vector<FileDialogRequest>& requests() const { return requests_; }

 private:
  std::deque<FileDialogResult> script_;
  std::vector<FileDialogRequest> requests_;
  FileDialogs* previous_;
};

}  // namespace tessmor::testing
