// tessmor-batch: the profile analysis of the desktop program, without its windows.
#include <iostream>
#include <string>
#include <vector>

#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "platform/Prompts.h"

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
