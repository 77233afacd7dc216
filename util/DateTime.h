#pragma once

// Dates and clock times of the utility library: today's date and the time of day as text,
// and clock times as decimal hours or packed into one number (hours × 100 + minutes).

#include <cstddef>

#include "util/Qor1Export.h"

/// Characters CurrentDate writes ("DD-MM-CCYY"), with the terminator.
inline constexpr std::size_t kDateTextSize = 11;
/// Characters CurrentTime writes ("HH:MM:SS"), with the terminator.
inline constexpr std::size_t kTimeTextSize = 9;

/// Writes the date `day`-`month`-year as two-digit day, "-", two-digit month, "-" and a
/// four-digit year made of the two-digit `year` (0 … 99): "19" before it for 91 … 99, "20"
/// before it otherwise (90 is 2090, 91 is 1991). Returns the length written (10); 0, with an
/// empty text when `out_size` allows, when `out` is null, smaller than kDateTextSize, or a
/// value is out of range (day 1 … 31, month 1 … 12).
QOR1_EXPORT int FormatDate(int day, int month, int year, char* out, std::size_t out_size);

/// Writes the clock time as two-digit hours, minutes and seconds separated by colons on a
/// 24-hour clock ("07:05:09"). Returns the length written (8); 0, with an empty text when
/// `out_size` allows, when `out` is null, smaller than kTimeTextSize, or a value is out of
/// range (hours 0 … 23, minutes 0 … 59, seconds 0 … 60).
QOR1_EXPORT int FormatTime(int hours, int minutes, int seconds, char* out, std::size_t out_size);

/// Today's local date as FormatDate writes it, from the day, month and the last two digits
/// of the year. Returns as FormatDate.
QOR1_EXPORT int CurrentDate(char* out, std::size_t out_size);
/// The local time of day as FormatTime writes it. Returns as FormatTime.
QOR1_EXPORT int CurrentTime(char* out, std::size_t out_size);

/// `hours` + `minutes` / 60, in hours.
QOR1_EXPORT float ToDecimalTime(int hours, int minutes);

/// Splits decimal hours into whole hours and minutes: v = ceil(t × 100 - 0.001), hours =
/// int(v + 0.5) / 100 by integer division, minutes = int((v - hours × 100) × 0.6 + 0.5) with
/// the single-precision 0.6; so ToIntegerTime(ToDecimalTime(h, m)) gives h and m back for
/// every clock time. Times that are not finite or beyond ±10^7 hours give 0 and 0. Null
/// pointers are skipped.
QOR1_EXPORT void ToIntegerTime(const float* decimal_hours, int* hours, int* minutes);

/// A clock time packed as hours × 100 + minutes (10:45 is 1045), held within the int range.
QOR1_EXPORT int SquashTime(int hours, int minutes);

/// Unpacks a packed time, taken as an unsigned 16-bit number: hours = packed / 100,
/// minutes = packed % 100, and minutes of 60 or more carry one hour (1075 is 11:15).
/// Null pointers are skipped.
QOR1_EXPORT void ExpandTime(int packed, int* hours, int* minutes);

/// Minutes from the packed time `from` to the packed time `to` (1045 to 1130 is 45);
/// negative when `to` is earlier.
QOR1_EXPORT int TimeDiff(int from, int to);
