#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessmor::testing {

/// The project's source folder (test data lives under it).
std::string SourceDir();
/// A fresh empty folder under the system's temporary folder; removed when the process ends.
std::string MakeTempDir();
/// The whole content of a file ("" when it cannot be read).
std::string Slurp(const std::string& path);
/// Bytes of a string literal, for in-memory archives.
std::vector<std::uint8_t> Bytes(const std::string& s);

}  // namespace tessmor::testing
