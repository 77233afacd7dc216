#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/PlatformExport.h"

namespace tessmor {

/// The per-user settings store: sections of named string and integer entries.
class TESSMOR_PLATFORM_EXPORT Settings {
 public:
  virtual ~Settings();
  virtual std::string GetString(const std::string& section, const std::string& entry,
                                const std::string& fallback) = 0;
  virtual bool WriteString(const std::string& section, const std::string& entry,
                           const std::string& value) = 0;
  /// The entry read as a decimal integer; `fallback` when absent or not a number.
  virtual int GetInt(const std::string& section, const std::string& entry, int fallback);
  virtual bool WriteInt(const std::string& section, const std::string& entry, int value);
};

/// Settings kept in memory for the life of the object (tests and the batch tool).
class TESSMOR_PLATFORM_EXPORT MemorySettings : public Settings {
 public:
  std::string GetString(const std::string& section, const std::string& entry,
                        const std::string& fallback) override;
  bool WriteString(const std::string& section, const std::string& entry,
                   const std::string& value) override;
  /// True when the entry exists.
  bool Has(const std::string& section, const std::string& entry) const;

 private:
  std::map<std::pair<std::string, std::string>, std::string> values_;
};

/// The process-wide settings; an empty MemorySettings until one is installed.
TESSMOR_PLATFORM_EXPORT Settings& GetSettings();
/// Installs `settings` (not owned; null restores the default) and returns the previous one.
TESSMOR_PLATFORM_EXPORT Settings* SetSettings(Settings* settings);

}  // namespace tessmor
