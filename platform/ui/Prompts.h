#pragma once

#include <string>

#include "platform/PlatformExport.h"

namespace tessmor {

/// Message-box styles: one button set, optionally or-ed with an icon.
enum PromptStyle : unsigned {
  kPromptOk = 0x0,
  kPromptOkCancel = 0x1,
  kPromptYesNoCancel = 0x3,
  kPromptYesNo = 0x4,
  kPromptButtonMask = 0xF,
  kPromptIconError = 0x10,
  kPromptIconQuestion = 0x20,
  kPromptIconWarning = 0x30,
  kPromptIconInformation = 0x40,
  kPromptIconMask = 0xF0,
};

/// Answers a message box can give.
enum PromptAnswer : int {
  kAnswerNone = 0,
  kAnswerOk = 1,
  kAnswerCancel = 2,
  kAnswerYes = 6,
  kAnswerNo = 7,
};

/// Where the program's messages and questions go: a box on the desktop, standard error in
/// the batch tool, a script in tests.
class TESSMOR_PLATFORM_EXPORT Prompts {
 public:
  virtual ~Prompts();
  /// Shows `text` with the buttons of `style` and returns the button chosen.
  virtual int MessageBox(const std::string& text, unsigned style) = 0;
  /// The error beep.
  virtual void Beep() = 0;
  /// A remark that needs no answer, for the status bar of the main window. Shown nowhere
  /// unless the prompts say otherwise.
  virtual void StatusMessage(const std::string& text);
};

/// Prints every text to standard error as it stands, followed by a line end, and answers
/// every box with DefaultAnswer(style, answer_yes).
class TESSMOR_PLATFORM_EXPORT StderrPrompts : public Prompts {
 public:
  explicit StderrPrompts(bool answer_yes = false) : answer_yes_(answer_yes) {}
  int MessageBox(const std::string& text, unsigned style) override;
  void Beep() override;
  /// Prints `text` like a message.
  void StatusMessage(const std::string& text) override;
  void set_answer_yes(bool yes) { answer_yes_ = yes; }

 private:
  bool answer_yes_;
};

/// The answer a box of `style` gives to a user who says yes (or no) to everything:
/// Yes/No boxes answer Yes or No, OK/Cancel boxes OK or Cancel, OK boxes OK.
TESSMOR_PLATFORM_EXPORT int DefaultAnswer(unsigned style, bool yes);

/// The process-wide prompts; a StderrPrompts answering no until one is installed.
TESSMOR_PLATFORM_EXPORT Prompts& GetPrompts();
/// Installs `prompts` (not owned; null restores the default) and returns the previous one.
TESSMOR_PLATFORM_EXPORT Prompts* SetPrompts(Prompts* prompts);

}  // namespace tessmor
