#include "profile/ProfileFormats.h"

#include <strings.h>

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/io/Archive.h"
#include "platform/ui/Prompts.h"
#include "profile/CsvProfile.h"
#include "util/LineList.h"
#include "util/NumberFormat.h"
#include "util/TextData.h"
#include "util/Tokenise.h"

namespace profile_formats {

namespace {

const char kProjectHeader[] = "TESSMOR 2.1";

bool IsPlaceholder(const char* line) { return std::strcmp(line, "blank") == 0; }

/// A whole-metre distance from a value in metres, truncated toward zero; false when the value
/// is not a number or lies outside the 32-bit range.
bool ToMetres(double metres, std::int32_t& out) {
  if (!std::isfinite(metres) || metres <= -2147483649.0 || metres >= 2147483648.0) return false;
  out = static_cast<std::int32_t>(metres);
  return true;
}

/// A spacing in km as the 2DQN header holds it, in whole metres truncated toward zero, except
/// that a km × 1000 product within single-precision rounding of a whole metre is that metre:
/// the header is written from a single-precision value, so 160.2 km comes back as 160.199997
/// and, read as double, 160.2 × 1000.0 is 160199.99999999997; both mean 160200 m. False when
/// the value is not a number or lies outside the 32-bit range.
bool SpacingToMetres(double km, std::int32_t& out) {
  const double metres = km * 1000.0;
  const double nearest = std::nearbyint(metres);
  const bool noise = std::fabs(metres - nearest) <= 4 * FLT_EPSILON * std::fabs(metres);
  return ToMetres(noise ? nearest : metres, out);
}

/// True when `name` can be a traverse name of a project file: no control character but the
/// carriage return and line feed of a line end and the tab a pasted name may hold.
bool IsTraverseName(const std::string& name) {
  for (const char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u < 0x20 && c != '\r' && c != '\n' && c != '\t') || u == 0x7F) return false;
  }
  return true;
}

/// The point count of a project file from its text: a decimal integer, blanks before and after
/// it and a sign allowed. False for any other text and for a negative count.
bool ParseCount(const std::string& text, long long& count) {
  const char* p = text.c_str();
  while (*p == ' ' || *p == '\t') ++p;
  const char* digits = (*p == '+' || *p == '-') ? p + 1 : p;
  if (*digits < '0' || *digits > '9') return false;
  char* end = nullptr;
  errno = 0;
  count = std::strtoll(p, &end, 10);
  if (errno == ERANGE || count < 0) return false;
  while (*end == ' ' || *end == '\t') ++end;
  return end == text.c_str() + text.size();
}

/// Shows the format error, frees the lines and gives the reader's failure.
int RefuseLayout(LineList& lines) {
  DisplayDocError(100, tessmor::kPromptOk);
  DeleteLineContents(lines);
  return 1;
}

/// A writable copy of a line, at least as long as the line plus its terminator, for the
/// tokenisers that work in place.
std::vector<char> Scratch(const char* text) {
  const std::size_t n = std::strlen(text);
  std::vector<char> buf(n + 1);
  std::memcpy(buf.data(), text, n + 1);
  return buf;
}

void WriteLine(tessmor::Archive& ar, const char* format, ...) __attribute__((format(printf, 2, 3)));

void WriteLine(tessmor::Archive& ar, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (n > 0) {
    std::vector<char> buf(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), format, args);
    ar.WriteText(std::string_view(buf.data(), static_cast<std::size_t>(n)));
  }
  va_end(args);
}

}  // namespace

std::string FormatPoint(const ProfilePoint& p) {
  // An anomaly that shows as zero in 3 decimals is written as zero, "0.000", not as the
  // " 0.000" or "-0.000" of a small value: that is the text it reads back from.
  const double anomaly = std::fabs(p.anomaly) < 0.0005 ? 0.0 : p.anomaly;
  return std::to_string(p.distance) + "   " + FormatFixed(anomaly, 3);
}

std::unique_ptr<ProfilePoint> ParsePoint(const std::string& text) {
  long distance = 0;
  double anomaly = 0.0;
  int used = 0;
  if (std::sscanf(text.c_str(), " %ld   %lf%n", &distance, &anomaly, &used) != 2) return nullptr;
  // Nothing but blanks may follow the anomaly (a null character counts as something).
  for (std::size_t i = static_cast<std::size_t>(used); i < text.size(); ++i) {
    if (!std::isspace(static_cast<unsigned char>(text[i]))) return nullptr;
  }
  if (distance < INT32_MIN || distance > INT32_MAX || !std::isfinite(anomaly)) return nullptr;
  auto p = std::make_unique<ProfilePoint>();
  p->distance = static_cast<std::int32_t>(distance);
  p->anomaly = anomaly;
  return p;
}

void ReadProject(tessmor::Archive& ar, ProfileContents& c) {
  std::string first = ar.ReadString();
  std::string count_text;
  if (first == kProjectHeader) {
    c.name = ar.ReadString();
    count_text = ar.ReadString();
    c.interp_method = ar.ReadU16();
    c.background.type = ar.ReadU16();
    c.equally_spaced = ar.ReadU16();
    c.background.slope = ar.ReadDouble();
    c.background.level = ar.ReadDouble();
    c.background.left = ar.ReadI32();
    c.background.right = ar.ReadI32();
  } else {
    // The older layout: no header, no settings.
    c.name = first;
    count_text = ar.ReadString();
    c.background.type = kBackgroundNone;
    c.background.slope = 0.0;
    c.background.level = 0.0;
    c.background.left = 0;
    c.background.right = 0;
  }
  // A file that does not read cleanly from its first byte to its last is no project file:
  // it is refused like a truncated one.
  long long count = 0;
  if (!IsTraverseName(c.name) || !ParseCount(count_text, count)) {
    throw tessmor::ArchiveException();
  }
  for (long long i = 0; i < count; ++i) {
    std::unique_ptr<ProfilePoint> p = ParsePoint(ar.ReadString());
    if (!p) throw tessmor::ArchiveException();
    c.points.push_back(*p);
  }
  if (!ar.AtEnd()) throw tessmor::ArchiveException();
}

int ReadGravmag(tessmor::Archive& ar, ProfileContents& c) {
  c.name = kNoTitle;
  LineList lines;
  if (ReadTextDataFile(ar, lines) != 0) return 1;
  if (lines.GetSize() < 4) return RefuseLayout(lines);
  // Four header lines: an integer, the distance unit, the anomaly unit, four integers.
  int a, b, k, d;
  if (std::sscanf(lines.GetAt(0), "%d ", &a) != 1) return RefuseLayout(lines);
  std::vector<char> unit = Scratch(lines.GetAt(1));
  if (std::sscanf(lines.GetAt(1), "%s ", unit.data()) != 1) return RefuseLayout(lines);
  const bool metres = std::strpbrk(unit.data(), "Mm") != nullptr;
  unit = Scratch(lines.GetAt(2));
  if (std::sscanf(lines.GetAt(2), "%s ", unit.data()) != 1 || strcasecmp(unit.data(), "mg") != 0) {
    return RefuseLayout(lines);
  }
  if (std::sscanf(lines.GetAt(3), "%d %d %d %d", &a, &b, &k, &d) != 4) {
    return RefuseLayout(lines);
  }
  for (int i = 4; i < lines.GetSize(); ++i) {
    const char* line = lines.GetAt(i);
    if (IsPlaceholder(line)) continue;
    float distance, ignored, anomaly;
    if (std::sscanf(line, "%f %f %f", &distance, &ignored, &anomaly) != 3) {
      return RefuseLayout(lines);
    }
    if (!metres) distance = distance * 1000.0f;
    ProfilePoint p;
    if (!ToMetres(distance, p.distance) || !std::isfinite(anomaly)) return RefuseLayout(lines);
    p.anomaly = anomaly;
    c.points.push_back(p);
  }
  DeleteLineContents(lines);
  c.background.type = kBackgroundNone;
  return 0;
}

int ReadGravAscii(tessmor::Archive& ar, ProfileContents& c) {
  LineList lines;
  if (ReadTextDataFile(ar, lines) != 0) return 1;
  const char* title = lines.GetAt(0);
  if (IsPlaceholder(title)) {
    c.name = kNoTitle;
    c.background.type = kBackgroundNone;
  } else {
    std::vector<char> rest = Scratch(title);
    std::vector<char> stretch(rest.size(), '\0');
    const int found = ExtractDelimitedText(rest.data(), '(', ')', stretch.data(), 0);
    TrimTails(rest.data());
    c.name = rest[0] ? rest.data() : kNoTitle;
    int numbers = 0;
    float v[4] = {0, 0, 0, 0};
    if (found > 0) {
      std::vector<char> words(stretch.size(), '\0');
      ExtractStrings(stretch.data(), words.data(), 1);
      numbers = std::sscanf(stretch.data(), "%f %f %f %f", &v[0], &v[1], &v[2], &v[3]);
      if (numbers < 0) numbers = 0;
    }
    for (int k = 0; k < numbers; ++k) {
      if (!std::isfinite(v[k])) return RefuseLayout(lines);
    }
    if (numbers == 0) {
      c.background.type = kBackgroundNone;
    } else if (numbers == 1) {
      ProfilePoint p1{0, v[0]};
      c.background.Set(kBackgroundConstant, p1, p1);
    } else if (numbers == 4) {
      ProfilePoint p1, p2;
      if (!ToMetres(v[0], p1.distance) || !ToMetres(v[2], p2.distance)) {
        return RefuseLayout(lines);
      }
      p1.anomaly = v[1];
      p2.anomaly = v[3];
      c.background.Set(kBackgroundLinear, p1, p2);
    } else {
      return RefuseLayout(lines);
    }
  }
  for (int i = 1; i < lines.GetSize(); ++i) {
    const char* line = lines.GetAt(i);
    if (IsPlaceholder(line)) continue;
    float number, ignored2;
    double distance, ignored1, anomaly;
    if (std::sscanf(line, "%f %lf %lf %f %lf", &number, &distance, &ignored1, &ignored2,
                    &anomaly) != 5) {
      return RefuseLayout(lines);
    }
    ProfilePoint p;
    if (!ToMetres(distance, p.distance) || !std::isfinite(anomaly)) return RefuseLayout(lines);
    p.anomaly = anomaly;
    c.points.push_back(p);
  }
  DeleteLineContents(lines);
  return 0;
}

int Read2DQN(tessmor::Archive& ar, ProfileContents& c) {
  LineList lines;
  if (ReadTextDataFile(ar, lines) != 0) return 1;
  const char* header = lines.GetAt(0);
  if (IsPlaceholder(header)) return RefuseLayout(lines);
  std::vector<char> numbers = Scratch(header);
  std::vector<char> words(numbers.size(), '\0');
  ExtractStrings(numbers.data(), words.data(), 1);
  int count = 0;
  double spacing_km = 0.0;
  if (std::sscanf(numbers.data(), "%d %lf", &count, &spacing_km) != 2) return RefuseLayout(lines);
  std::int32_t spacing = 0;
  if (!SpacingToMetres(spacing_km, spacing)) return RefuseLayout(lines);
  c.spacing = spacing;
  double distance = 0.0;
  for (int i = 1; i < lines.GetSize(); ++i) {
    const char* line = lines.GetAt(i);
    if (IsPlaceholder(line)) continue;
    double anomaly;
    if (std::sscanf(line, "%lf", &anomaly) != 1 || !std::isfinite(anomaly)) {
      return RefuseLayout(lines);
    }
    ProfilePoint p;
    if (!ToMetres(distance, p.distance)) return RefuseLayout(lines);
    p.anomaly = anomaly;
    c.points.push_back(p);
    distance += c.spacing;
  }
  DeleteLineContents(lines);
  c.name = kNoTitle;
  c.equally_spaced = 1;
  c.background.type = kBackgroundNone;
  return 0;
}

void WriteProject(tessmor::Archive& ar, const ProfileContents& c) {
  ar.WriteString(kProjectHeader);
  ar.WriteString(c.name);
  ar.WriteString(std::to_string(c.points.size()));
  ar.WriteU16(static_cast<std::uint16_t>(c.interp_method));
  ar.WriteU16(static_cast<std::uint16_t>(c.background.type));
  ar.WriteU16(static_cast<std::uint16_t>(c.equally_spaced));
  ar.WriteDouble(c.background.slope);
  ar.WriteDouble(c.background.level);
  ar.WriteI32(c.background.left);
  ar.WriteI32(c.background.right);
  for (const ProfilePoint& p : c.points) ar.WriteString(FormatPoint(p));
}

void WriteGravmag(tessmor::Archive& ar, const ProfileContents& c) {
  ar.WriteText("2\r\nM\r\nMG\r\n");
  WriteLine(ar, "    %d       0      0      0\r\n", static_cast<int>(c.points.size()));
  const bool remove =
      c.background.type == kBackgroundConstant || c.background.type == kBackgroundLinear;
  for (const ProfilePoint& p : c.points) {
    const double anomaly = remove ? p.anomaly - c.background.At(p.distance) : p.anomaly;
    WriteLine(ar, "%7ld      0.0     %7.3f\r\n", static_cast<long>(p.distance), anomaly);
  }
}

namespace {

/// The traverse name as a GRAVASCII title line can hold it, so that reading the line gives it
/// back: line breaks become blanks and parentheses square brackets (the line's one stretch in
/// parentheses is the background), and the name is cleaned as the text reader cleans every
/// line (delimiters to blanks, runs of blanks to one, none at either end); an empty name is
/// "No Title".
std::string GravAsciiTitleName(const std::string& name) {
  std::vector<char> out(name.begin(), name.end());
  out.push_back('\0');
  for (char& c : out) {
    if (c == '\r' || c == '\n') {
      c = ' ';
    } else if (c == '(') {
      c = '[';
    } else if (c == ')') {
      c = ']';
    }
  }
  ConvertDelimitersToSpace(out.data(), 1);
  RemoveExcessSpaces(out.data());
  TrimTails(out.data());
  return out[0] ? std::string(out.data()) : std::string(kNoTitle);
}

/// `value` rounded to `decimals` places, and +0.0 for any value that rounds to zero: the title
/// line writes a value the way it reads back, not the rounding noise of the level and slope
/// (a background end at 1e-13 mGal is 0.000, written without the blank of a positive value).
double RoundedTo(double value, int decimals) {
  const double scale = decimals == 2 ? 100.0 : 1000.0;
  const double rounded = std::nearbyint(value * scale) / scale;
  if (!std::isfinite(rounded)) return value;
  return rounded == 0.0 ? 0.0 : rounded;
}

}  // namespace

void WriteGravAscii(tessmor::Archive& ar, const ProfileContents& c) {
  std::string title = GravAsciiTitleName(c.name);
  // A title line of the placeholder word alone would read as an empty line.
  if (IsPlaceholder(title.c_str())) title = kNoTitle;
  if (c.background.type == kBackgroundConstant) {
    title += "     (" + FormatFixed(RoundedTo(c.background.level, 2), 2) + " )";
  } else if (c.background.type == kBackgroundLinear) {
    ProfilePoint left{c.background.left, RoundedTo(c.background.At(c.background.left), 3)};
    ProfilePoint right{c.background.right, RoundedTo(c.background.At(c.background.right), 3)};
    title += "     (" + FormatPoint(left) + " , " + FormatPoint(right) + " )";
  }
  ar.WriteText(title);
  ar.WriteText("\r\n");
  int number = 0;
  for (const ProfilePoint& p : c.points) {
    WriteLine(ar, " %4d    %7ld        0.0          0.0    %7.3f\r\n", ++number,
              static_cast<long>(p.distance), p.anomaly);
  }
}

void Write2DQN(tessmor::Archive& ar, const std::vector<double>& anomalies, float spacing_km) {
  WriteLine(ar, "%d , %f\r\n", static_cast<int>(anomalies.size()), static_cast<double>(spacing_km));
  for (double anomaly : anomalies) WriteLine(ar, " %lf \r\n", anomaly);
}

int ReadCsv(tessmor::Archive& ar, ProfileContents& c) {
  const std::vector<std::uint8_t>& bytes = ar.FileBytes();
  CsvProfile csv;
  std::string error;
  const bool ok =
      csv.Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
  if (!ok) {
    tessmor::GetPrompts().MessageBox(error, tessmor::kPromptOk | tessmor::kPromptIconWarning);
    return 1;
  }
  c.name = csv.name.empty() ? kNoTitle : csv.name;
  if (csv.background == kBackgroundNone) {
    c.background.type = kBackgroundNone;
  } else {
    c.background.Set(csv.background, csv.from, csv.to);
  }
  for (const ProfilePoint& p : csv.points) c.points.push_back(p);
  return 0;
}

void WriteCsv(tessmor::Archive& ar, const ProfileContents& c) {
  CsvProfile csv;
  csv.name = c.name;
  csv.background = c.background.Get(csv.from, csv.to);
  if (csv.background != kBackgroundConstant && csv.background != kBackgroundLinear) {
    csv.background = kBackgroundNone;
  }
  csv.points = c.points;
  ar.WriteText(csv.Format());
}

}  // namespace profile_formats
