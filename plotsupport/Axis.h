#pragma once

// Axis scaling and labelling of the plot support library: round start values, extents and tick
// counts for a data interval, the tick-label format, and the place and justification of the
// axis title. Everything works on one AXIS record owned by the caller; no function keeps state.
// Lengths along and across the axis are millimetres of paper, angles degrees, data values in
// the caller's units.

#include <cstdint>

#include "plotsupport/StyleRecords.h"  // VEXAPEN
#include "plotsupport/TextStyle.h"     // TEXTSTYLE and the justification codes
#include "plotsupport/Vexadl1Export.h"

/// Layout bits of AXIS::flags.
enum : std::uint32_t {
  /// The title lies on the negative side of the axis.
  kAxisTitleNegativeSide = 0x01,
  /// Title placement along the axis while kAxisTitleFixed is clear: middle (0), at the end
  /// (kAxisTitleAtEnd) or beyond the end (kAxisTitleBeyondEnd).
  kAxisTitlePlacementMask = 0x0C,
  kAxisTitleAtEnd = 0x04,
  kAxisTitleBeyondEnd = 0x08,
  /// The fixed title placement code while kAxisTitleFixed is set (see SetTitlePosition).
  kAxisTitleCodeMask = 0x0F,
  /// Title justification fixed by the low nibble; the title is drawn at the axis angle.
  kAxisTitleFixed = 0x10,
  /// Ticks and labels on the positive side of the axis (else the negative side).
  kAxisLabelsPositiveSide = 0x20,
  /// No tick labels.
  kAxisNoLabels = 0x40,
  /// Tick labels turned with the axis instead of upright.
  kAxisLabelsRotated = 0x80,
  /// What flags 0 stand for when an axis is drawn: rotated labels below the axis, the title
  /// centred below its middle.
  kAxisDefaultFlags = kAxisLabelsRotated | kAxisTitleFixed | kAxisTitleNegativeSide,
};

/// The tick length, mm, that SetAXIS puts in place of 0.
inline constexpr float kDefaultTickLength = 2.0f;

/// One axis of a chart (284 bytes).
struct AXIS {
  /// Data value at the start of the axis.
  float origin = 0.0f;
  /// Axis length, mm.
  float length = 0.0f;
  /// Data units per mm: extent / length.
  float scale = 0.0f;
  /// Tick interval, data units: extent / number of intervals.
  float step = 0.0f;
  /// Title, NUL-terminated; empty for none.
  char title[52] = {};
  /// Direction of the axis, degrees (0 along the chart's x direction, 90 along its y).
  float angle = 0.0f;
  /// Title anchor, mm along the axis from its start.
  float titleX = 0.0f;
  /// Title anchor, mm across the axis (positive = the turned frame's y direction).
  float titleY = 0.0f;
  /// Layout bits (kAxis...); 0 is drawn as kAxisDefaultFlags.
  std::uint32_t flags = 0;
  /// Tick mark length, mm.
  float tickLength = 0.0f;
  /// Signed distance of the tick-label anchors from the axis line, mm.
  float labelOffset = 0.0f;
  /// Label thinning: 0 every tick, k > 0 one labelled and k skipped, -1 the end value only.
  std::int32_t labelEvery = 0;
  /// Label format: n >= 0 fixed-point with n decimals; n < 0 integers right-aligned in -n
  /// characters.
  std::int32_t labelDigits = 0;
  /// Pen of the axis line and ticks.
  VEXAPEN axisPen{};
  /// Style of the tick labels.
  TEXTSTYLE labelStyle;
  /// Style of the title.
  TEXTSTYLE titleStyle;
  /// 0: rescaled from the data at every drawing; nonzero: origin, scale, step and labelDigits
  /// are kept and titleX/titleY are offsets from the computed title place.
  std::int32_t fixedScale = 0;
};
static_assert(sizeof(AXIS) == 284, "AXIS is a 284-byte record");

/// The extension Axis_choice gives for a magnitude it has no entry for.
inline constexpr std::uint32_t kAxisChoiceNone = 99;
/// The extension and interval count packed in an Axis_choice result.
inline constexpr std::uint32_t AxisChoiceExtension(std::uint32_t choice) { return choice >> 16; }
inline constexpr std::uint32_t AxisChoiceCount(std::uint32_t choice) { return choice & 0xFFFF; }

/// Sets `*axis` up to show the data interval from `first` (at the start of the axis) to
/// `last` over `length` mm: writes length, a round origin at or below the first value, scale
/// (extent / length), step (extent / interval count) and labelDigits (decimals of the labels,
/// enough for the extent, when the step or the origin has a fraction; otherwise minus the
/// width of the integer labels); a tick length of 0 becomes kDefaultTickLength. A first value
/// of 0 (either sign) starts the axis at 0 and runs it towards `last`, downwards when `last`
/// is negative (negative extent, scale and step).
///
/// Where the round scaling falls short of either data value, it is widened by whole steps at
/// that end as long as the axis keeps at most 15 intervals; beyond that (and for an extent
/// that its count does not split into steps of two significant digits) the axis becomes the
/// grid of the next coarser step of the series 1, 2, 2.5, 5 x 10^k that covers both values in
/// 15 intervals or fewer (so 114..121 runs 114 ... 121 in 14 steps of 0.5). The axis always
/// runs the way the pair runs. Decimal labels get as many decimals as the step and the origin
/// need for every tick label to state its value.
///
/// When the rules find no round scaling, the mirror image is scaled: -first .. -last for a
/// `last` below `first` (giving a falling axis with negative extent, scale and step), and
/// -last .. -first otherwise (as for -0.2043 .. -0.1821, whose start snaps to 0). When that
/// fails too, two different values get the grid of the finest step of the series above
/// that spans them in at most 10 intervals (the data interval itself when it is one such
/// step from a multiple of it, as 11.5 .. 11.6); equal values and values that are not finite
/// get one interval over the raw data interval (origin `first`, extent `last` - `first`,
/// clamped to the float range), or one data unit up from `first` when the two are equal. A
/// first value that is not finite counts as 0 there, and a last value that is not finite
/// gives that one-unit interval. So the extent is never 0 and the step never NaN. A length
/// of 0 or one that is not finite leaves scale 0. Returns 1, or 0 for a null `axis`
/// (nothing written).
VEXADL1_EXPORT int SetAXIS(AXIS* axis, float first, float last, float length);

/// A round extent >= `value` and its interval count in `*count`, from ascal2 (for whole
/// values) or else ascal. Returns 0.0 with `*count` 0 when neither finds one, and for 0,
/// negative values (-0.0 included), NaN and infinities. A null `count` gives 0.0 and is not
/// written.
VEXADL1_EXPORT float FindDivisor(float value, float* count);

/// The round extent of a whole value from the table of two-digit magnitudes (Axis_choice),
/// retried once with the magnitude rounded up to the next ten (the one above when it already
/// is a multiple of ten); 1 gives extent 1 in 5 intervals. Returns 0 with `*extent` and
/// `*count` written, or 1 with `*count` 0 (extent untouched) for a value with a fraction, a
/// magnitude without an entry, and a value that is not positive and finite or beyond the
/// range of Convert2Sig. Null pointers give 1 with nothing written.
VEXADL1_EXPORT int ascal2(float value, float* extent, float* count);

/// The round extent of a value from about 1e-6 to 9e6: the value plus 10 % is scaled to two
/// digits d (10 to 100), and among 11, 9, 8, 7, 6, 5 and 3 intervals the first whose multiple
/// (2 or more) meets d exactly is chosen, else the one that exceeds it least (ties to more
/// intervals). Returns 0 with `*extent` and `*count` written, or 1 with nothing written when
/// the scaled value falls outside 10 to 100 (so for 0, negative values, NaN and infinities)
/// or a pointer is null.
VEXADL1_EXPORT int ascal(float value, float* extent, float* count);

/// |value| reduced to an integer of two significant digits, signed like `value`: for |value|
/// of 100 and more ceil(|value| / 10^e) (10 to 100) with `*power` = 10^e; for exactly 1 the
/// result 10 with `*power` 0; otherwise ceil(|value|) with `*power` 1 (0 gives 0). Values whose
/// multiplier does not fit an int (|value| of about 1e11 and more), NaN and infinities give 0
/// with `*power` 0. A null `power` gives 0 and is not written.
VEXADL1_EXPORT int Convert2Sig(float value, int* power);

/// The table of round extents for a two-digit magnitude n: (extension << 16) | interval
/// count, where n + extension is the extent the count divides evenly. Magnitudes without an
/// entry give (kAxisChoiceNone << 16) with count 0.
VEXADL1_EXPORT std::uint32_t Axis_choice(int magnitude);

/// Writes the title anchor (titleX, titleY) of `*axis` for `flags` and a label text height
/// of `labelHeight` mm, clear of the ticks and labels, and returns the title justification.
/// With kAxisTitleFixed set the low nibble picks a fixed place and justification; otherwise
/// the place follows kAxisTitlePlacementMask, the justification GetAxisTitleJustification,
/// and kAxisTitleNegativeSide negates titleY. A null `axis` gives `flags`.
VEXADL1_EXPORT std::uint32_t SetTitlePosition(AXIS* axis, std::uint32_t flags, float labelHeight);

/// The title justification for the axis angle (30-degree sectors 0 to 12, angle / 30
/// truncated) and the placement code flags & 0x0F (1, 2, 5, 6, 9 or 10). Any other code or
/// sector, a NaN angle and a null `axis` give `flags` itself.
VEXADL1_EXPORT std::uint32_t GetAxisTitleJustification(const AXIS* axis, std::uint32_t flags);

/// Writes to `*justification` how upright tick labels sit against the axis, on its positive
/// side when `above` is nonzero. Returns 1 when the axis is steep (sectors 1-4 and 7-10), so
/// that each label takes one text height along it, else 0. For an angle outside every sector
/// `*justification` becomes `above` and the result is 0. A null pointer gives 0, nothing
/// written.
VEXADL1_EXPORT int GetAxisTextJustification(const AXIS* axis, int above,
                                            std::uint32_t* justification);
