#include "app/QtSettings.h"

namespace tessmor {

namespace {
// QSettings reads "/" in a key as a group separator; the sections and entries of this
// program are plain names, kept whole.
QString Key(const std::string& section, const std::string& entry) {
  QString s = QString::fromStdString(section);
  QString e = QString::fromStdString(entry);
  s.replace('/', '_');
  e.replace('/', '_');
  return s + '/' + e;
}
}  // namespace

QtSettings::QtSettings()
    : store_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kCompanyName,
                                         kSettingsAppName)) {}

QtSettings::QtSettings(const QString& path)
    : store_(std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

std::string QtSettings::GetString(const std::string& section, const std::string& entry,
                                  const std::string& fallback) {
  const QVariant v = store_->value(Key(section, entry));
  if (!v.isValid()) return fallback;
  return v.toString().toStdString();
}

bool QtSettings::WriteString(const std::string& section, const std::string& entry,
                             const std::string& value) {
  store_->setValue(Key(section, entry), QString::fromStdString(value));
  return store_->status() == QSettings::NoError;
}

}  // namespace tessmor
