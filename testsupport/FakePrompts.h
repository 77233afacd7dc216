#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/ui/Prompts.h"

namespace tessmor::testing {

/// Prompts for tests: answers from a script (then a default), and records every box shown.
/// Installs itself as the process-wide prompts while it lives.
class FakePrompts : public Prompts {
 public:
  struct Shown {
    std::string text;
    unsigned style;
  };

  FakePrompts();
  ~FakePrompts() override;
  FakePrompts(const FakePrompts&) = delete;
  FakePrompts& operator=(const FakePrompts&) = delete;

  /// Queues the answers of the next boxes, in order.
  void Script(std::vector<int> answers);
  /// The answer given once the script has run out (default: DefaultAnswer(style, false)).
  void set_default_yes(bool yes) { default_yes_ = yes; }

  int MessageBox(const std::string& text, unsigned style) override;
  void Beep() override { ++beeps_; }
  void StatusMessage(const std::string& text) override { status_.push_back(text); }

  const std::vector<Shown>& shown() const { return shown_; }
  /// The texts shown so far, in order.
  std::vector<std::string> texts() const;
  int beeps() const { return beeps_; }
  /// The status-bar texts so far, in order.
  const std::vector<std::string>& status_messages() const { return status_; }
  void Clear() {
    shown_.clear();
    beeps_ = 0;
  }

 private:
  std::deque<int> script_;
  std::vector<Shown> shown_;
  std::vector<std::string> status_;
  bool default_yes_ = false;
  int beeps_ = 0;
  Prompts* previous_;
};

}  // namespace tessmor::testing
