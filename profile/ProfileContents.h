#pragma once

// What a profile file holds, apart from any document: the traverse name, the measured points,
// the regional background and the interpolation settings.

#include <string>
#include <vector>

#include "profile/ProfilePoint.h"

/// A regional background: none, a constant level, or a line; distances in metres, anomalies
/// in milligal.
struct ProfileBackground {
  int type = kBackgroundNone;  ///< a BackgroundType
  double slope = 0.0;          ///< mGal per metre
  double level = 0.0;          ///< mGal at distance 0
  int left = 0;                ///< ends of a line, metres
  int right = 0;

  /// Sets `type` and, for a constant (at p1.anomaly) or a line through p1 and p2, the slope,
  /// the level and the line's ends. A line through two points at one distance is level at
  /// p1.anomaly. Other types keep the other fields as they are.
  void Set(int new_type, const ProfilePoint& p1, const ProfilePoint& p2);
  /// The type; fills p1 (distance 0) for a constant and p1, p2 (the line's ends) for a line.
  int Get(ProfilePoint& p1, ProfilePoint& p2) const;
  /// The background at `distance` metres; 0 for no background.
  double At(double distance) const;
};

/// The contents of a profile as its files hold them.
struct ProfileContents {
  std::string name;                  ///< traverse name
  std::vector<ProfilePoint> points;  ///< measured points in file order
  ProfileBackground background;
  int interp_method = 4;
  int equally_spaced = 1;  ///< non-zero when the points are equally spaced
  int spacing = 1250;      ///< interpolation spacing, metres
};
