#include "dirstats/Bearing.h"

#include <cmath>
#include <limits>

long double SetSensibleBearing(float bearing) {
  if (!std::isfinite(bearing)) return std::numeric_limits<long double>::quiet_NaN();
  long double b = bearing;
  // One remainder instead of a loop of whole turns. The remainder is exact, and so is every
  // step of the loop in extended precision for a float below 2^64, so the result there is
  // the loop's own without its running time; above, where the loop's steps round or stop
  // changing the value, it is the true remainder.
  if (b > 360.0L) {
    b = std::fmod(b, 360.0L);
    // The loop stops at 360, not 0, for a whole number of turns.
    if (b == 0.0L) b = 360.0L;
  } else if (b < 0.0L) {
    b = std::fmod(b, 360.0L);
    // The last turn added may round up to 360; a whole number of turns gives +0.
    b = b < 0.0L ? b + 360.0L : 0.0L;
  }
  return b;
}

namespace {

tessmor::LibraryThread& Thread() {
  static tessmor::LibraryThread thread;
  return thread;
}

}  // namespace

int FilterPelvarMsg(MSG* msg) {
  if (!msg) return 0;
  try {
    return Thread().PreTranslateMessage(*msg) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

tessmor::LibraryThread& PelvarThread() { return Thread(); }
