// Fuzzes the batch tool's command line: the bytes are split at NUL into arguments. A command
// line that parses must name a profile, export only to known picture or chart types and ask
// for the model layout only with a model; one that does not must say why.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "batch/BatchOptions.h"
#include "profileview/TessmorView.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.emplace_back();
    } else {
      args.back().push_back(static_cast<char>(data[i]));
    }
  }
  BatchOptions options;
  std::string error;
  if (!ParseBatchOptions(args, options, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (options.help) return 0;
  if (options.profile.empty()) std::abort();
  for (const std::string& path : options.exports) {
    if (ExportTypeFromPath(path) == 0) std::abort();
  }
  if (options.layout && *options.layout == CTessmorView::kLayoutModel && !options.model) {
    std::abort();
  }
  return 0;
}
