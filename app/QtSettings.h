#pragma once

#include <QSettings>
#include <memory>

#include "platform/io/Settings.h"

namespace tessmor {

/// The desktop settings store: an INI file of the user under the company "TARN Systems
/// Software", one INI section per settings section.
class QtSettings : public Settings {
 public:
  /// The user's store of the program, or (for tests) the INI file `path`.
  QtSettings();
  explicit QtSettings(const QString& path);

  std::string GetString(const std::string& section, const std::string& entry,
                        const std::string& fallback) override;
  bool WriteString(const std::string& section, const std::string& entry,
                   const std::string& value) override;

  QSettings& store() { return *store_; }

 private:
  std::unique_ptr<QSettings> store_;
};

/// The company the settings are kept under.
inline constexpr const char* kCompanyName = "TARN Systems Software";
/// The application name of the settings and of the window captions.
inline constexpr const char* kSettingsAppName = "TESSMOR";

}  // namespace tessmor
