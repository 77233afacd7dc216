// The chart view's axes: an axis line with its ticks, the tick labels thinned so that they
// do not collide, and the title, all drawn through the view's own pen-plotter calls.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "chart/items/Stroke.h"
#include "chart/view/VexaView.h"
#include "plotsupport/Axis.h"
#include "util/NumberFormat.h"

namespace {

// A label narrower than this share of the tick spacing leaves room between neighbours.
constexpr double kLabelFill = 0.83;

// Integer labels are padded to at most this many characters, whatever the record asks.
constexpr std::int64_t kMaxLabelField = 64;

// The number of tick intervals of an axis: scale × length / step to the nearest integer,
// in single precision as the record holds them; 0 for a step of 0 and for NaN, clamped to
// the int range.
std::int64_t TickIntervals(float scale, float length, float step) {
  if (step == 0.0f) return 0;
  return nintd(scale * length / step);
}

// The characters before the decimal point of `value` without its sign: 1 for values below
// 10 in magnitude (0 and values that are not finite included), else the number of digits.
int IntegerDigits(float value) {
  const double a = std::fabs(static_cast<double>(value));
  if (!(a > 0.0) || !std::isfinite(a)) return 1;
  const double e = std::floor(std::log10(a));
  return e < 0.0 ? 1 : static_cast<int>(e) + 1;
}

// The estimated width of the widest tick label, mm, for labels `height` mm high: one height
// per character of the integer field, or of the longer end value with its sign, its decimals
// and the point.
float EstimatedLabelWidth(float origin, float length, float scale, std::int32_t digits,
                          float height) {
  if (digits < 0) return height * static_cast<float>(-static_cast<double>(digits));
  const float end = length * scale + origin;
  int d1 = IsZero(origin) ? 1 : IntegerDigits(origin);
  int d2 = IntegerDigits(end);
  if (origin < 0.0f) ++d1;
  if (end < 0.0f) ++d2;
  const std::int64_t characters = std::int64_t{digits} + std::max(d1, d2) + 1;
  return static_cast<float>(characters) * height;
}

// The field width of integer labels for a record's labelDigits (< 0).
int IntegerField(std::int32_t digits) {
  return static_cast<int>(std::min(-std::int64_t{digits}, kMaxLabelField));
}

// The decimal text of `whole` (an integer in double precision, any size), padded on the left
// with spaces to `field` characters when shorter.
std::string IntegerLabel(double whole, int field) {
  std::string text;
  if (std::fabs(whole) < 9.0e18) {
    text = std::to_string(static_cast<long long>(whole));
  } else {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", whole);
    text = buffer;
  }
  if (text.size() < static_cast<std::size_t>(field))
    text.insert(0, static_cast<std::size_t>(field) - text.size(), ' ');
  return text;
}

}  // namespace

unsigned CVexaView::SetLabelSpacing(AXIS* axis, unsigned flags) {
  if (!axis) return 0;
  const int above = (flags & kAxisLabelsPositiveSide) ? 1 : 0;
  const float offset = axis->tickLength + 2.0f;
  axis->labelOffset = above ? offset : -offset;

  const CVexaDoc* doc = GetDocument();
  const float height = doc ? doc->m_charManager.GetTextStyle().height : 0.0f;
  const float origin = axis->origin;
  const float length = axis->length;
  const float scale = axis->scale;
  const float step = axis->step;
  const std::int32_t digits = axis->labelDigits;

  // The room one label takes along the axis, mm.
  std::uint32_t just = 0;
  float width = 0.0f;
  if (flags & kAxisLabelsRotated) {
    just = above ? kJustifyCentreBaseline : kJustifyCentreTop;
    width = EstimatedLabelWidth(origin, length, scale, digits, height);
  } else if (GetAxisTextJustification(axis, above, &just) == 1) {
    // Upright labels beside a steep axis take one text height along it.
    width = height;
  } else {
    width = EstimatedLabelWidth(origin, length, scale, digits, height);
  }

  // Tick spacing, mm; an axis without intervals has no ticks to thin.
  const std::int64_t intervals = std::abs(TickIntervals(scale, length, step));
  const float spacing = intervals > 0 ? std::fabs(length) / static_cast<float>(intervals) : 0.0f;
  std::int32_t every = 0;
  if (intervals > 0 && width / spacing > kLabelFill) {
    // Label every k-th tick for the smallest k that leaves room; failing that, the end only.
    every = -1;
    const std::int64_t widest = std::min<std::int64_t>(intervals, kMaxAxisTicks);
    for (std::int64_t k = 2; k <= widest; ++k) {
      if (width / (static_cast<float>(k) * spacing) < kLabelFill) {
        every = static_cast<std::int32_t>(k - 1);
        break;
      }
    }
  }
  axis->labelEvery = every;
  return just;
}

int CVexaView::DrawAxis(float first, float last, AXIS* axis) {
  if (!axis) return 0;
  if (axis->flags == 0) axis->flags = kAxisDefaultFlags;
  const std::uint32_t flags = axis->flags;
  const bool fixed = axis->fixedScale != 0;
  if (!fixed) SetAXIS(axis, first, last, axis->length);

  // The label style, at its own height and colour.
  const TEXTSTYLE labelStyle = axis->labelStyle;
  const float labelHeight = labelStyle.height;
  SelectTextStyle(labelStyle);
  SetTextSize(labelHeight, labelHeight);
  SetPen(labelStyle.colour, 0.0f, 2, 0, 0);
  const float angle = axis->angle;
  if (flags & kAxisLabelsRotated) SetTextAngle(angle);
  const unsigned just = SetLabelSpacing(axis, flags);
  if (fixed) SetTextJustification(labelStyle.justification);
  SetTextJustification(just);

  const float origin = axis->origin;
  const float length = axis->length;
  const float scale = axis->scale;
  const float step = axis->step;
  const std::int64_t n = TickIntervals(scale, length, step);
  const std::int64_t intervals = std::abs(n);
  // Without a sound tick count the axis is a plain line: no division by 0, no endless path.
  const bool ticked = intervals >= 1 && intervals <= kMaxAxisTicks && std::isfinite(scale) &&
                      std::isfinite(step) && std::isfinite(length);

  // The axis line and its ticks: one relative path from the start, a tick at every
  // interval's end, on the side of the labels.
  RotateBy(angle);
  SetItemCategory(CStroke::kAxisCategory);
  MoveTo(0.0, 0.0);
  const VEXAPEN pen = axis->axisPen;
  SetPenRecord(pen);
  float tick = std::fabs(axis->tickLength);
  if (!std::isfinite(tick)) tick = 0.0f;
  if (!(flags & kAxisLabelsPositiveSide)) tick = -tick;
  const float spacing = ticked ? length / static_cast<float>(n) : 0.0f;
  if (ticked) {
    LineBy(0.0, tick);
    LineBy(0.0, -tick);
    for (std::int64_t i = 0; i < intervals; ++i) {
      LineBy(spacing, 0.0);
      LineBy(0.0, tick);
      LineBy(0.0, -tick);
    }
  } else if (std::isfinite(length) && length != 0.0f) {
    LineBy(length, 0.0);
  }
  SetItemCategory(CStroke::kItemCategory);

  const float labelOffset = axis->labelOffset;
  if (!(flags & kAxisNoLabels) && ticked && std::isfinite(labelOffset)) {
    const std::int32_t every = axis->labelEvery;
    const std::int32_t digits = axis->labelDigits;
    if (every < 0) {
      // Only the end value, its integer part cut toward zero.
      MoveTo(length, labelOffset);
      const float end = length * scale + origin;
      if (digits < 0)
        WriteText(IntegerLabel(std::isfinite(end) ? std::trunc(end) : 0.0, IntegerField(digits)));
      else
        WriteNumber(end, 0, digits);
    } else {
      // Every tick from the start, every (every + 1)-th labelled, integers rounded (halves
      // up). A tick's value is the origin plus its whole steps, formed in double precision so
      // that rounding does not pile up from tick to tick.
      float p = 0.0f;
      std::int64_t c = 0;
      for (std::int64_t i = 0; i <= intervals; ++i) {
        MoveTo(p, labelOffset);
        if (c == 0) {
          const double value = static_cast<double>(origin) + static_cast<double>(i) * step;
          if (digits < 0)
            WriteText(IntegerLabel(std::floor(value + 0.5), IntegerField(digits)));
          else
            WriteNumber(static_cast<float>(value), 0, digits);
        }
        if (every != 0 && ++c > every) c = 0;
        p += spacing;
      }
    }
  }
  if (flags & kAxisLabelsRotated) SetTextAngle(-angle);

  const std::string title(axis->title, strnlen(axis->title, sizeof axis->title));
  if (!title.empty()) {
    const float keptX = axis->titleX;
    const float keptY = axis->titleY;
    const TEXTSTYLE titleStyle = axis->titleStyle;
    const float titleHeight = titleStyle.height;
    SelectTextStyle(titleStyle);
    SetTextSize(titleHeight, titleHeight);
    SetPen(titleStyle.colour, 0.0f, 2, 0, 0);
    const std::uint32_t placed = SetTitlePosition(axis, flags, labelHeight);
    MoveTo(0.0, 0.0);
    std::uint32_t titleJust = placed;
    if (fixed) {
      // The record's title position is an offset from the computed place.
      MoveBy(keptX + axis->titleX, keptY + axis->titleY);
      titleJust = titleStyle.justification;
    } else {
      MoveBy(axis->titleX, axis->titleY);
    }
    SetTextJustification(titleJust);
    if (flags & kAxisTitleFixed) SetTextAngle(angle);
    SetTextSize(titleHeight, titleHeight);
    WriteText(title);
    axis->titleX = keptX;
    axis->titleY = keptY;
  }

  SetTextAngle(0.0f);
  RotateBy(-angle);
  return 0;
}
