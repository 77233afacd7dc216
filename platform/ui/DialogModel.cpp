#include "platform/ui/DialogModel.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/ui/Prompts.h"

namespace tessmor {

namespace {
const char kEnterNumber[] = "Please enter a number.";
const char kEnterInteger[] = "Please enter an integer.";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

bool ParseDialogDouble(const std::string& text, double& value) {
  const char* p = text.c_str();
  while (IsBlank(*p)) ++p;
  if (!*p) return false;
  char* end = nullptr;
  const double v = std::strtod(p, &end);
  if (end == p) return false;
  while (IsBlank(*end)) ++end;
  if (*end) return false;
  value = v;
  return true;
}

DialogModel::~DialogModel() = default;

std::string DialogModel::GetText(int id) const {
  auto it = texts_.find(id);
  return it == texts_.end() ? std::string() : it->second;
}

int DialogModel::GetRadio(int id) const {
  auto it = radios_.find(id);
  return it == radios_.end() ? -1 : it->second;
}

bool DialogModel::IsEnabled(int id) const {
  auto it = disabled_.find(id);
  return it == disabled_.end() || !it->second;
}

void DialogModel::OnInitDialog() { UpdateData(false); }

bool DialogModel::OnOK() { return UpdateData(true); }

bool DialogModel::UpdateData(bool save) { return DoDataExchange(save); }

int DialogModel::Message(const std::string& text, unsigned style) {
  return GetPrompts().MessageBox(text, style);
}

bool DialogModel::ExchangeDouble(int id, double& value, bool save) {
  if (!save) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", DBL_DIG, value);
    SetText(id, buf);
    return true;
  }
  double v = 0.0;
  if (!ParseDialogDouble(GetText(id), v) || !std::isfinite(v)) {
    Message(kEnterNumber, kPromptOk | kPromptIconWarning);
    SetFocus(id);
    return false;
  }
  value = v;
  return true;
}

bool DialogModel::ExchangeFloat(int id, float& value, bool save) {
  if (!save) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", FLT_DIG, static_cast<double>(value));
    SetText(id, buf);
    return true;
  }
  double v = 0.0;
  // A value beyond the single-precision range is no more a number than a word is.
  if (!ParseDialogDouble(GetText(id), v) || !std::isfinite(v) || std::fabs(v) > FLT_MAX) {
    Message(kEnterNumber, kPromptOk | kPromptIconWarning);
    SetFocus(id);
    return false;
  }
  value = static_cast<float>(v);
  return true;
}

bool DialogModel::ExchangeInt(int id, int& value, bool save) {
  if (!save) {
    SetText(id, std::to_string(value));
    return true;
  }
  const std::string text = GetText(id);
  const char* p = text.c_str();
  while (IsBlank(*p)) ++p;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(p, &end, 10);
  while (end && IsBlank(*end)) ++end;
  if (end == p || !end || *end || errno == ERANGE || v < INT_MIN || v > INT_MAX) {
    Message(kEnterInteger, kPromptOk | kPromptIconWarning);
    SetFocus(id);
    return false;
  }
  value = static_cast<int>(v);
  return true;
}

bool DialogModel::ExchangeText(int id, std::string& value, bool save, std::size_t max_chars) {
  if (!save) {
    SetText(id, value);
    return true;
  }
  std::string text = GetText(id);
  // The edit control itself takes no more characters than its limit.
  if (max_chars && text.size() > max_chars) text.resize(max_chars);
  value = text;
  return true;
}

bool DialogModel::CheckRange(int id, float value, float min, float max, bool save) {
  if (!save || (value >= min && value <= max)) return true;
  char text[128];
  std::snprintf(text, sizeof text, "Please enter a number between %.*g and %.*g.", FLT_DIG,
                static_cast<double>(min), FLT_DIG, static_cast<double>(max));
  Message(text, kPromptOk | kPromptIconWarning);
  SetFocus(id);
  return false;
}

bool DialogModel::ExchangeRadio(int id, int& value, bool save) {
  if (!save) {
    SetRadio(id, value);
    return true;
  }
  value = GetRadio(id);
  return true;
}

}  // namespace tessmor
