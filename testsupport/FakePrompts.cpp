#include "testsupport/FakePrompts.h"

namespace tessmor::testing {

FakePrompts::FakePrompts() { previous_ = SetPrompts(this); }

FakePrompts::~FakePrompts() { SetPrompts(previous_); }

void FakePrompts::Script(std::vector<int> answers) {
  script_.insert(script_.end(), answers.begin(), answers.end());
}

int FakePrompts::MessageBox(const std::string& text, unsigned style) {
  shown_.push_back({text, style});
  if (!script_.empty()) {
    int answer = script_.front();
    script_.pop_front();
    return answer;
  }
  return DefaultAnswer(style, default_yes_);
}

std::vector<std::string> FakePrompts::texts() const {
  std::vector<std::string> out;
  for (const auto& s : shown_) out.push_back(s.text);
  return out;
}

}  // namespace tessmor::testing
