#include "util/FieldModel.h"

namespace {

// 1 when *value lies in [low, high]; otherwise it becomes the nearer limit (NaN the lower).
int Clamp(float* value, float low, float high) {
  if (!value) return 0;
  if (*value >= low && *value <= high) return 1;
  *value = (*value > high) ? high : low;
  return 0;
}

}  // namespace

int ValidateIGRFYear(float* year) { return Clamp(year, kIGRFFirstYear, kIGRFLastYear); }

int ValidateIGRFHeight(float* height) {
  return Clamp(height, kIGRFLowestHeight, kIGRFHighestHeight);
}

int ValidateIGRFLatitude(float* latitude) { return Clamp(latitude, -90.0f, 90.0f); }

int ValidateIGRFLongitude(float longitude, int full_turn) {
  const float limit = full_turn ? 360.0f : 180.0f;
  return (longitude >= -limit && longitude <= limit) ? 1 : 0;
}

int ValidateIGRFProfile(IGRFPROFILE* input) {
  if (!input || input->kind < 0 || input->kind > 4) return 0;
  // Every check runs, so that every out-of-range value is brought to its limit.
  int ok = ValidateIGRFLatitude(&input->latitude);
  ok &= ValidateIGRFLongitude(input->longitude, 1);
  ok &= ValidateIGRFHeight(&input->height);
  ok &= ValidateIGRFYear(&input->year);
  switch (input->kind) {
    case 1:
      ok &= ValidateIGRFLatitude(&input->latitude2);
      break;
    case 2:
      ok &= ValidateIGRFLongitude(input->longitude2, 1);
      break;
    case 3:
      ok &= ValidateIGRFHeight(&input->height2);
      break;
    case 4:
      ok &= ValidateIGRFYear(&input->year2);
      break;
    default:
      break;
  }
  return ok;
}
