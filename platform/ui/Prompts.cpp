#include "platform/ui/Prompts.h"

#include <cstdio>

namespace tessmor {

namespace {
StderrPrompts g_default_prompts;
Prompts* g_prompts = nullptr;
}  // namespace

Prompts::~Prompts() = default;

void Prompts::StatusMessage(const std::string&) {}

int DefaultAnswer(unsigned style, bool yes) {
  switch (style & kPromptButtonMask) {
    case kPromptYesNo:
    case kPromptYesNoCancel:
      return yes ? kAnswerYes : kAnswerNo;
    case kPromptOkCancel:
      return yes ? kAnswerOk : kAnswerCancel;
    default:
      return kAnswerOk;
  }
}

int StderrPrompts::MessageBox(const std::string& text, unsigned style) {
  std::fputs(text.c_str(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
  return DefaultAnswer(style, answer_yes_);
}

void StderrPrompts::Beep() {}

void StderrPrompts::StatusMessage(const std::string& text) {
  std::fputs(text.c_str(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

Prompts& GetPrompts() { return g_prompts ? *g_prompts : g_default_prompts; }

Prompts* SetPrompts(Prompts* prompts) {
  Prompts* old = g_prompts ? g_prompts : &g_default_prompts;
  g_prompts = prompts;
  return old;
}

}  // namespace tessmor
