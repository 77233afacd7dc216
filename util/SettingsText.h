#pragma once

// Reading and writing the short texts in which settings entries keep their numbers
// ("%u,%f,%u,..."). Both sides ignore the user's locale: the decimal point is always ".".

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "util/Qor1Export.h"

/// One value read by ScanSettingsText; the alternative follows the conversion that read it:
/// %u (and %lu) an unsigned 32-bit value, %d (and %ld) a signed 32-bit value, %f a float,
/// %s a word.
using ScannedValue = std::variant<std::uint32_t, std::int32_t, float, std::string>;

/// Reads `text` as the C library's sscanf reads it with `format`, and returns the values
/// converted, in order; scanning stops at the first input that does not match, so the count
/// tells how many values were read.
///
/// The format knows %u, %d, %f, %s (each with an optional "l", meaning the same 32-bit value),
/// %% and ordinary characters; a white-space character of the format matches any run of white
/// space, including none, and every conversion skips leading white space. %d takes an
/// optional sign and decimal digits; %u takes the same and stores a negative number modulo
/// 2^32 (as a 32-bit strtoul does). A number beyond its 32-bit range ends the scan instead of
/// being stored. %f takes what strtof takes in the "C" locale, hexadecimal forms excepted; a
/// value beyond the float range ends the scan. %s takes a run of non-white-space characters.
/// Any other conversion in the format ends the scan.
QOR1_EXPORT std::vector<ScannedValue> ScanSettingsText(std::string_view text,
                                                       std::string_view format);

/// `value` as printf's "%f" writes it in the "C" locale: fixed notation with 6 decimals
/// ("0.200000", "-12.500000"), "nan" or "inf" (with a sign when negative).
QOR1_EXPORT std::string FormatSettingsReal(double value);
