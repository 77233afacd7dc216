#include "testsupport/TestData.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>

namespace tessmor::testing {

namespace {
std::vector<std::filesystem::path>& TempDirs() {
  static std::vector<std::filesystem::path> dirs;
  return dirs;
}
void RemoveTempDirs() {
  for (const auto& d : TempDirs()) {
    std::error_code ec;
    std::filesystem::remove_all(d, ec);
  }
}
}  // namespace

std::string SourceDir() {
  if (const char* dir = std::getenv("TESSMOR_SOURCE_DIR")) return dir;
  return std::filesystem::current_path().string();
}

std::string MakeTempDir() {
  static std::once_flag once;
  std::call_once(once, [] { std::atexit(RemoveTempDirs); });
  std::random_device rd;
  for (;;) {
    auto dir = std::filesystem::temp_directory_path() /
               ("tessmor-test-" + std::to_string(rd()) + std::to_string(rd()));
    if (std::filesystem::create_directory(dir)) {
      TempDirs().push_back(dir);
      return dir.string();
    }
  }
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::uint8_t> Bytes(const std::string& s) {
  return std::vector<std::uint8_t>(s.begin(), s.end());
}

}  // namespace tessmor::testing
