// tessmor-batch: the profile analysis of the desktop program, without its windows.
#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "analysis/SelfTest.h"
#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "platform/ui/Prompts.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  BatchOptions options;
  std::string error;
  if (!ParseBatchOptions(args, options, error)) {
    std::cerr << "tessmor-batch: " << error << "\n" << BatchUsage();
    return 2;
  }
  if (options.help) {
    std::cout << BatchUsage();
    return 0;
  }
  if (options.self_test) {
    const std::vector<SelfTestCase> cases = RunSelfTest();
    std::cout << FormatSelfTest(cases);
    return std::all_of(cases.begin(), cases.end(), [](const auto& c) { return c.Passed(); }) ? 0
                                                                                             : 1;
  }
  // The charts the view draws lay their texts out with real fonts, which need an application
  // object; without a display it runs on the off-screen platform.
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (!platform || !*platform) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qt_argc = 1;
  char* qt_argv[] = {argv[0], nullptr};
  QGuiApplication qt(qt_argc, qt_argv);
  // Every message box of the desktop program becomes a line on standard error, and every
  // question gets the answer of --answer.
  tessmor::StderrPrompts prompts(options.answer_yes);
  tessmor::SetPrompts(&prompts);
  int status = 1;
  try {
    status = RunBatch(options, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "tessmor-batch: " << e.what() << "\n";
    status = 1;
  }
  tessmor::SetPrompts(nullptr);
  return status;
}
