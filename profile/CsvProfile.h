#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "profile/ProfilePoint.h"

/// A profile as a CSV file holds it, and the reading and writing of that file.
///
/// The file is plain text, lines ended by LF, CR LF or CR, a UTF-8 byte order mark allowed at
/// its start:
///
///     # traverse: Line A
///     # background: linear 0 3.7 3.252 3.9
///     distance_km,anomaly_mgal
///     0,3.717
///     0.499,3.755
///
/// - Lines whose first character other than a blank is `#` are comments. Two of them carry
///   settings: `# traverse: NAME` and `# background: none`, `# background: constant LEVEL`
///   or `# background: linear FROM_KM FROM_MGAL TO_KM TO_MGAL` (km and mGal; the numbers may
///   also be parted by commas, semicolons or tabs). Other comments are ignored.
/// - The first other line is the header: two column names, `distance_km` or `distance_m`
///   and `anomaly_mgal`, in either order, in any letter case. Its first comma, semicolon or
///   tab is the separator of the whole file.
/// - Every later line is one point: two numbers with a decimal point. A field may be enclosed
///   in double quotes. Lines of nothing but blanks and separators are skipped.
/// - Distances become whole metres, truncated toward zero; a km value that is a whole metre
///   but for the rounding of its binary form (0.499 km) is that metre. Distances must
///   increase from point to point.
///
/// Anything else refuses the file with a message that names the line, "Line 7: ...".
class CsvProfile {
 public:
  /// The traverse name; empty when the file names none.
  std::string name;
  /// kBackgroundNone, kBackgroundConstant (level in `from.anomaly`) or kBackgroundLinear
  /// (the line through `from` and `to`, metres and mGal).
  int background = kBackgroundNone;
  ProfilePoint from, to;
  /// The points in file order (metres, mGal).
  std::vector<ProfilePoint> points;

  /// Reads `text`. False with `error` ("Line N: ...") when the file is refused; `points`
  /// then holds the points before the refused line.
  bool Parse(std::string_view text, std::string& error);

  /// The file of this profile with CR LF line ends: distances in km (exact, whole metres),
  /// anomalies in the shortest form that reads back to the same value, the background's two
  /// ends rounded to 6 decimals of a mGal. What Format writes, Parse reads back.
  std::string Format() const;

  /// The traverse name as a comment line holds it: control characters (line breaks, tabs)
  /// become blanks, and blanks and trailing separators left over from a spreadsheet cell are
  /// dropped at the ends.
  static std::string CleanName(std::string_view name);
  /// A whole-metre distance in km, exactly: 3252 → "3.252", -1500 → "-1.5".
  static std::string KmText(std::int32_t metres);
};
