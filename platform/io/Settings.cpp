#include "platform/io/Settings.h"

#include <charconv>

namespace tessmor {

namespace {
MemorySettings g_default_settings;
Settings* g_settings = nullptr;
}  // namespace

Settings::~Settings() = default;

int Settings::GetInt(const std::string& section, const std::string& entry, int fallback) {
  const std::string text = GetString(section, entry, {});
  if (text.empty()) return fallback;
  int value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (*first == '+') ++first;
  auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last) return fallback;
  return value;
}

bool Settings::WriteInt(const std::string& section, const std::string& entry, int value) {
  return WriteString(section, entry, std::to_string(value));
}

std::string MemorySettings::GetString(const std::string& section, const std::string& entry,
                                      const std::string& fallback) {
  auto it = values_.find({section, entry});
  return it == values_.end() ? fallback : it->second;
}

bool MemorySettings::WriteString(const std::string& section, const std::string& entry,
                                 const std::string& value) {
  values_[{section, entry}] = value;
  return true;
}

bool MemorySettings::Has(const std::string& section, const std::string& entry) const {
  return values_.count({section, entry}) != 0;
}

Settings& GetSettings() { return g_settings ? *g_settings : g_default_settings; }

Settings* SetSettings(Settings* settings) {
  Settings* old = g_settings ? g_settings : &g_default_settings;
  g_settings = settings;
  return old;
}

}  // namespace tessmor
