#pragma once

// Readers and writers of the profile file types. They know the layouts and nothing of the
// document: a reader adds what its file holds to a ProfileContents, a writer writes one.
//
// A reader returns 0 when the file was read, 1 when it was refused (the message has been
// shown); the contents may then be half filled and are to be thrown away. The project reader
// throws tessmor::ArchiveException instead, for a file that does not read cleanly to its end.

#include <memory>
#include <string>
#include <vector>

#include "profile/ProfileContents.h"

namespace tessmor {
class Archive;
}

namespace profile_formats {

/// The name a file without a title gives its profile.
inline constexpr char kNoTitle[] = "No Title";

/// The TESSMOR project: a header, the name, the count, the settings, then one point text per
/// point. The older layout without header and settings sets the background to none. The
/// points are appended; whether they are equally spaced is for the caller to decide.
void ReadProject(tessmor::Archive& ar, ProfileContents& c);
/// GRAVMAG text: four header lines, then distance, an ignored column and anomaly; distances
/// in km unless the unit line holds an M. Sets the name to "No Title" and no background.
int ReadGravmag(tessmor::Archive& ar, ProfileContents& c);
/// GRAVASCII text: a title line with the background in parentheses (one level, or two
/// distance-anomaly pairs in km), then numbered stations.
int ReadGravAscii(tessmor::Archive& ar, ProfileContents& c);
/// 2DQN text: the count and the spacing in km, then one anomaly per line from distance 0.
/// Sets the spacing, equal spacing, "No Title" and no background.
int Read2DQN(tessmor::Archive& ar, ProfileContents& c);
/// A CSV profile (the layout is told in CsvProfile.h); a refused file shows the message that
/// names its line.
int ReadCsv(tessmor::Archive& ar, ProfileContents& c);

void WriteProject(tessmor::Archive& ar, const ProfileContents& c);
/// The points with a constant or linear background removed.
void WriteGravmag(tessmor::Archive& ar, const ProfileContents& c);
void WriteGravAscii(tessmor::Archive& ar, const ProfileContents& c);
/// One residual anomaly per sample, `spacing_km` apart.
void Write2DQN(tessmor::Archive& ar, const std::vector<double>& anomalies, float spacing_km);
/// The traverse name, the background and the measured points.
void WriteCsv(tessmor::Archive& ar, const ProfileContents& c);

/// The point as the project file and the GRAVASCII title line write it: the distance, three
/// spaces and the anomaly with 3 decimals.
std::string FormatPoint(const ProfilePoint& p);
/// Parses a point text; null when it does not hold a distance and an anomaly, or holds
/// anything but blanks after them.
std::unique_ptr<ProfilePoint> ParsePoint(const std::string& text);

}  // namespace profile_formats
