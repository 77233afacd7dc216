#include "profile/CsvProfile.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

/// A field without its blanks and, when it is quoted, without its quotes ("" inside is ").
std::string Unquote(std::string_view field) {
  field = Trim(field);
  if (field.size() < 2 || field.front() != '"' || field.back() != '"') return std::string(field);
  std::string out;
  for (std::size_t i = 1; i + 1 < field.size(); ++i) {
    out += field[i];
    if (field[i] == '"' && field[i + 1] == '"') ++i;
  }
  return std::string(Trim(out));
}

std::vector<std::string> Split(std::string_view line, char sep) {
  std::vector<std::string> fields;
  for (;;) {
    const std::size_t at = line.find(sep);
    fields.push_back(Unquote(line.substr(0, at)));
    if (at == std::string_view::npos) return fields;
    line.remove_prefix(at + 1);
  }
}

/// A finite number with a decimal point, the whole of `text` (a leading + allowed).
bool ParseNumber(std::string_view text, double& value) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

/// Metres from a distance in metres or km; false outside the 32-bit range.
bool ToMetres(double value, bool km, std::int32_t& out) {
  double metres = km ? value * 1000.0 : value;
  if (km) {
    const double nearest = std::nearbyint(metres);
    if (std::fabs(metres - nearest) <= 4 * DBL_EPSILON * std::fabs(metres)) metres = nearest;
  }
  if (!(metres > -2147483649.0 && metres < 2147483648.0)) return false;
  out = static_cast<std::int32_t>(metres);
  return true;
}

std::string Shortest(double value) {
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

/// `value` to 6 decimals, without trailing zeros; a value that rounds to zero is "0".
std::string SixDecimals(double value) {
  const double rounded = std::nearbyint(value * 1e6) / 1e6;
  if (!std::isfinite(rounded)) return Shortest(value);
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.6f", rounded == 0.0 ? 0.0 : rounded);
  std::string s(buf);
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string AtLine(int line, const std::string& what) {
  return "Line " + std::to_string(line) + ": " + what;
}

const char kBackgroundForms[] =
    "the background reads \"none\", \"constant LEVEL_MGAL\" or \"linear FROM_KM FROM_MGAL "
    "TO_KM TO_MGAL\"";
const char kColumns[] = "distance_km (or distance_m) and anomaly_mgal";

/// Reads the words of a background setting into `p`; false with `error` when they are not one
/// of its three forms.
bool ParseBackground(std::string_view value, CsvProfile& p, std::string& why) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : value) {
    if (IsBlank(c) || c == ',' || c == ';') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  why = kBackgroundForms;
  if (words.empty()) return false;
  const std::string kind = Lower(words[0]);
  std::vector<double> v;
  for (std::size_t i = 1; i < words.size(); ++i) {
    double x = 0.0;
    if (!ParseNumber(words[i], x)) {
      why = Quoted(words[i]) + " is not a number; " + why;
      return false;
    }
    v.push_back(x);
  }
  if (kind == "none" && v.empty()) {
    p.background = kBackgroundNone;
  } else if (kind == "constant" && v.size() == 1) {
    p.background = kBackgroundConstant;
    p.from = {0, v[0]};
    p.to = p.from;
  } else if (kind == "linear" && v.size() == 4) {
    ProfilePoint a{0, v[1]}, b{0, v[3]};
    if (!ToMetres(v[0], true, a.distance) || !ToMetres(v[2], true, b.distance)) {
      why = "a background distance is out of range";
      return false;
    }
    if (a.distance == b.distance) {
      why = "the two background points lie at the same distance";
      return false;
    }
    p.background = kBackgroundLinear;
    p.from = a;
    p.to = b;
  } else {
    return false;
  }
  return true;
}

/// The comment text of a line whose first character other than a blank is # (also inside the
/// quotes of a spreadsheet cell); false for any other line.
bool CommentOf(std::string_view line, std::string& comment) {
  line = Trim(line);
  if (line.size() >= 2 && line[0] == '"' && line[1] == '#') {
    comment.clear();
    for (std::size_t i = 2; i < line.size(); ++i) {
      if (line[i] == '"') {
        if (i + 1 >= line.size() || line[i + 1] != '"') break;
        ++i;
      }
      comment += line[i];
    }
    return true;
  }
  if (line.empty() || line[0] != '#') return false;
  comment.assign(line.substr(1));
  return true;
}

/// The value of a `key: value` comment, or false when the comment is not that key's.
bool Setting(std::string_view comment, std::string_view key, std::string_view& value) {
  comment = Trim(comment);
  if (comment.size() <= key.size() || Lower(comment.substr(0, key.size())) != key) return false;
  comment.remove_prefix(key.size());
  comment = Trim(comment);
  if (comment.empty() || comment.front() != ':') return false;
  value = comment.substr(1);
  return true;
}

}  // namespace

std::string CsvProfile::CleanName(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  std::string_view v = out;
  while (!v.empty() && (IsBlank(v.back()) || v.back() == ',' || v.back() == ';')) {
    v.remove_suffix(1);
  }
  return std::string(Trim(v));
}

std::string CsvProfile::KmText(std::int32_t metres) {
  const std::int64_t m = metres;
  const std::int64_t whole = (m < 0 ? -m : m) / 1000;
  std::int64_t frac = (m < 0 ? -m : m) % 1000;
  std::string s = (m < 0 ? "-" : "") + std::to_string(whole);
  if (frac != 0) {
    char buf[8];
    std::snprintf(buf, sizeof buf, ".%03d", static_cast<int>(frac));
    s += buf;
    while (s.back() == '0') s.pop_back();
  }
  return s;
}

bool CsvProfile::Parse(std::string_view text, std::string& error) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  char sep = 0;
  int distance_column = -1;
  bool km = true;
  int number = 0;
  std::string previous;  // the distance text of the last point, for the order message
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end);
    if (text.substr(0, 2) == "\r\n") {
      text.remove_prefix(2);
    } else if (!text.empty()) {
      text.remove_prefix(1);
    }
    ++number;

    std::string comment;
    if (CommentOf(line, comment)) {
      std::string_view value;
      if (Setting(comment, "traverse", value)) {
        name = CleanName(value);
      } else if (Setting(comment, "background", value)) {
        std::string why;
        if (!ParseBackground(value, *this, why)) {
          error = AtLine(number, why);
          return false;
        }
      }
      continue;
    }
    if (line.find_first_not_of(" \t,;") == std::string_view::npos) {
      continue;  // blank, or the empty cells of a spreadsheet row
    }

    if (sep == 0) {
      const std::size_t at = line.find_first_of(",;\t");
      if (at == std::string_view::npos) {
        error = AtLine(number, "the header " + Quoted(Trim(line)) + " names one column; it names " +
                                   kColumns + ", parted by a comma, semicolon or tab");
        return false;
      }
      sep = line[at];
      const std::vector<std::string> columns = Split(line, sep);
      if (columns.size() != 2) {
        error = AtLine(number, "the header names " + std::to_string(columns.size()) +
                                   " columns; a profile has two, " + kColumns);
        return false;
      }
      bool anomaly = false;
      for (int i = 0; i < 2; ++i) {
        const std::string c = Lower(columns[static_cast<std::size_t>(i)]);
        if ((c == "distance_km" || c == "distance_m") && distance_column < 0) {
          distance_column = i;
          km = c == "distance_km";
        } else if (c == "anomaly_mgal" && !anomaly) {
          anomaly = true;
        } else {
          error = AtLine(number, "unknown column " + Quoted(columns[static_cast<std::size_t>(i)]) +
                                     "; the header names " + kColumns);
          return false;
        }
      }
      continue;
    }

    const std::vector<std::string> fields = Split(line, sep);
    if (fields.size() != 2) {
      error = AtLine(number, std::to_string(fields.size()) + " values where the header names 2");
      return false;
    }
    const std::string& d_text = fields[static_cast<std::size_t>(distance_column)];
    const std::string& a_text = fields[static_cast<std::size_t>(1 - distance_column)];
    double d = 0.0, a = 0.0;
    for (const std::string* f : {&d_text, &a_text}) {
      double& v = f == &d_text ? d : a;
      if (!ParseNumber(*f, v)) {
        const bool comma = f->find(',') != std::string::npos;
        error = AtLine(number, Quoted(*f) + " is not a number" +
                                   (comma ? " (decimals take a point, not a comma)" : ""));
        return false;
      }
    }
    ProfilePoint p{0, a};
    if (!ToMetres(d, km, p.distance)) {
      error = AtLine(number, "the distance " + d_text + (km ? " km" : " m") + " is out of range");
      return false;
    }
    if (!points.empty() && p.distance <= points.back().distance) {
      const std::string unit = km ? " km" : " m";
      error = AtLine(number, "the distance " + d_text + unit + " is not beyond the one before (" +
                                 previous + unit + "); distances must increase");
      return false;
    }
    previous = d_text;
    points.push_back(p);
  }
  return true;
}

std::string CsvProfile::Format() const {
  std::string out = "# traverse: " + CleanName(name) + "\r\n";
  if (background == kBackgroundConstant) {
    out += "# background: constant " + Shortest(from.anomaly) + "\r\n";
  } else if (background == kBackgroundLinear) {
    out += "# background: linear " + KmText(from.distance) + " " + SixDecimals(from.anomaly) + " " +
           KmText(to.distance) + " " + SixDecimals(to.anomaly) + "\r\n";
  } else {
    out += "# background: none\r\n";
  }
  out += "distance_km,anomaly_mgal\r\n";
  for (const ProfilePoint& p : points) {
    out += KmText(p.distance) + "," + Shortest(p.anomaly) + "\r\n";
  }
  return out;
}
