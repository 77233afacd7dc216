#pragma once

// The per-user settings forms of the default pen and the default marker, as the pen,
// symbol and brush dialogs keep them. Each record is one text entry of numbers separated by
// commas, written with a decimal point whatever the user's locale.

#include <string>
#include <string_view>

#include "plotsupport/StyleRecords.h"
#include "plotsupport/Vexadl1Export.h"

/// Entry suffixes: a pen under key + "{PenStyle}"; a marker's symbol, size and angle under
/// key + "{Marker: SymbolStyle}", its pen under key + "Marker:" + "{PenStyle}" and its brush
/// under key + "Marker:" + "{BrushStyle}".
inline constexpr const char* kPenEntrySuffix = "{PenStyle}";
inline constexpr const char* kSymbolEntrySuffix = "{Marker: SymbolStyle}";
inline constexpr const char* kMarkerPartPrefix = "Marker:";
inline constexpr const char* kBrushEntrySuffix = "{BrushStyle}";

/// The pen as "%u,%f,%u,%u,%d,%u,%u": style, width in mm (6 decimals), colour, background,
/// background mode, rounded ends, spline ("0,0.200000,0,16777215,1,0,0").
VEXADL1_EXPORT std::string FormatPenSettings(const VEXAPEN& pen);
/// Reads the seven pen fields from `text` (the form FormatPenSettings writes) into `*pen`
/// and returns 1; returns 0 and leaves `*pen` alone unless all seven are there. The values
/// are taken as they are: the caller checks them.
VEXADL1_EXPORT int ParsePenSettings(std::string_view text, VEXAPEN* pen);

/// The brush as "%d,%u,%u,%d,%d,%d": kind, colour, background, background mode, hatch,
/// bitmap index ("200,8421504,16777215,2,0,-1").
VEXADL1_EXPORT std::string FormatBrushSettings(const VEXABRUSH& brush);
/// Reads the six brush fields into `*brush` (the two bytes after the kind are not written)
/// and returns 1; returns 0 and leaves `*brush` alone unless all six are there and the kind
/// fits 16 bits.
VEXADL1_EXPORT int ParseBrushSettings(std::string_view text, VEXABRUSH* brush);

/// The marker's symbol, size and angle as "%u, %u, %d" ("5, 80, 0").
VEXADL1_EXPORT std::string FormatSymbolSettings(const VEXAMARKER& marker);
/// Reads symbol, size and angle into `*marker` and returns 1; returns 0 and leaves
/// `*marker` alone unless all three are there. A symbol above 255 is stored as 255 (an
/// invalid symbol) rather than cut to a valid one.
VEXADL1_EXPORT int ParseSymbolSettings(std::string_view text, VEXAMARKER* marker);

/// Writes the pen under (`section`, `key` + "{PenStyle}"). Returns 1 when written.
VEXADL1_EXPORT int WritePenSettings(const std::string& section, const std::string& key,
                                    const VEXAPEN& pen);
/// Reads the pen under (`section`, `key` + "{PenStyle}") through CheckPenStyle into `*pen`.
/// Returns 1 when the entry held all seven values; otherwise 0 and `*pen` is left alone.
VEXADL1_EXPORT int ReadPenSettings(const std::string& section, const std::string& key,
                                   VEXAPEN* pen);

/// Writes the marker's symbol, pen and brush entries. Returns 1 when all three were written.
VEXADL1_EXPORT int WriteMarkerSettings(const std::string& section, const std::string& key,
                                       const VEXAMARKER& marker);
/// Reads the marker's entries into `*marker` through CheckMarkerStyle. The symbol entry (3
/// values) and the pen entry (7 values) must both be complete, else the result is 0 and
/// `*marker` is left alone; the brush is taken when its entry is complete and otherwise
/// stays as it was. Returns 1 when read.
VEXADL1_EXPORT int ReadMarkerSettings(const std::string& section, const std::string& key,
                                      VEXAMARKER* marker);
