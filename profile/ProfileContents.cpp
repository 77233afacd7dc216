#include "profile/ProfileContents.h"

void ProfileBackground::Set(int new_type, const ProfilePoint& p1, const ProfilePoint& p2) {
  type = new_type;
  if (type == kBackgroundConstant) {
    level = p1.anomaly;
    slope = 0.0;
  } else if (type == kBackgroundLinear) {
    // Two points at one distance give no line: the slope would be infinite.
    const double dx = static_cast<double>(p2.distance) - p1.distance;
    slope = dx != 0.0 ? (p2.anomaly - p1.anomaly) / dx : 0.0;
    level = p1.anomaly - p1.distance * slope;
    left = p1.distance;
    right = p2.distance;
  }
}

int ProfileBackground::Get(ProfilePoint& p1, ProfilePoint& p2) const {
  if (type == kBackgroundConstant) {
    p1.distance = 0;
    p1.anomaly = level;
  } else if (type == kBackgroundLinear) {
    p1.distance = left;
    p1.anomaly = left * slope + level;
    p2.distance = right;
    p2.anomaly = right * slope + level;
  }
  return type;
}

double ProfileBackground::At(double distance) const {
  if (type == kBackgroundNone) return 0.0;
  return distance * slope + level;
}
