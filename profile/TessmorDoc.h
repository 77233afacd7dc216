#pragma once

#include <memory>
#include <string>
#include <vector>

#include "analysis/Arithmetic.h"
#include "analysis/BlockModel.h"
#include "chart/document/VexaDoc.h"
#include "profile/FloatArray.h"
#include "profile/ProfileContents.h"
#include "profile/ProfilePoint.h"

namespace tessmor {
class Archive;
}

/// The document of one gravity profile: the measured points (metres, milligal), the traverse
/// name, the regional background, the interpolation settings and the equally spaced series
/// the interpolation produces. As a chart document it also holds the chart drawn from the
/// profile, and opens a chart file as a chart.
class CTessmorDoc : public CVexaDoc {
 public:
  CTessmorDoc();
  ~CTessmorDoc() override;

  // --- the profile as the analysis and the view see it ---

  /// Point `index` of the series: a measured point when the points are equally spaced, else
  /// the interpolated sample at first distance + index × m_nSpacing. With `remove_background`
  /// the background at its distance is subtracted. An index outside the series gives a point
  /// at distance 0 with anomaly 0.
  ProfilePoint GetPoint(int index, bool remove_background) const;
  /// 1: the number of measured points; 10: the number of samples of GetPoint.
  int GetPointCount(int which) const;
  /// Smallest and largest distance (metres) of the measured points (which != 10) or of the
  /// samples (which == 10 with a valid interpolation).
  void GetDistanceRange(int& min, int& max, int which) const;
  /// 0 when the measured points are equally spaced, else 1 + the first index whose spacing
  /// differs from the first spacing.
  int FindUnequalSpacing() const;
  /// The spacing of equally spaced points (metres); -1 when they are not equally spaced
  /// (and 0 for a profile of fewer than two points).
  int GetEqualSpacing() const;
  /// (max − min) / number of measured points, whole metres.
  int DefaultSpacing() const;

  /// Stores a background of `type` (1 constant at p1.anomaly, 2 line through p1 and p2,
  /// 32 none) and re-runs the interpolation for unequally spaced points.
  void SetBackground(int type, const ProfilePoint& p1, const ProfilePoint& p2);
  /// The stored background type; fills p1 (and p2) from it for types 1 and 2.
  int GetBackground(ProfilePoint& p1, ProfilePoint& p2) const;
  /// The background at `distance` metres, milligal (0 for no background).
  double BackgroundAt(double distance) const;
  /// Stores the method code and the spacing (metres) and re-runs the interpolation for
  /// unequally spaced points.
  void SetInterpolation(int method, int spacing);
  /// Resamples the measured points at m_nSpacing into m_interpolated. Returns 0 when the
  /// series was refilled, 1 otherwise (after showing why, when the library failed).
  int InterpolateProfile();

  // --- analysis (single-precision arithmetic throughout) ---

  /// Continues the residual anomaly upward by `height_km`: `result` receives one point per
  /// sample (its distance, the continued anomaly with the background added back). Sets
  /// m_bUpwardContinued. A series of fewer than 6 samples gives an empty result. `arithmetic`
  /// chooses the scalar reference or the vectorised convolution.
  void ComputeUpwardContinuation(PointArray& result, float height_km,
                                 Arithmetic arithmetic = Arithmetic::kVector);
  /// The continuation with the ends controlled (ContinueUpwardWithEdgeControl on the
  /// document's samples). Same result form and limits as ComputeUpwardContinuation; sets
  /// m_bUpwardContinued.
  void ComputeEdgeControlledContinuation(PointArray& result, float height_km);
  /// The Savitzky–Golay second derivative of the residual anomaly, one value per sample in
  /// mGal per squared sample interval; empty when there are fewer than 8 samples.
  std::vector<float> ComputeSecondDerivative();
  /// out[i] = u(i+1) + u(i-1) - 2 u(i) for i = 1 … size-2 of `series`; writes nothing else and
  /// never past `out_size` values.
  void SecondDifference(float* out, std::size_t out_size, const PointArray& series) const;
  /// Fits one prism per sample to the residual anomaly (density contrast in kg/m³, boundary
  /// depth in km, model type 1 granite or -1 basin); `results` receives one record per sample.
  /// `arithmetic` chooses the scalar reference or the vectorised prism sums; `diagnostics`,
  /// when given, receives the misfit and the largest thickness change of every sweep.
  void ComputeBlockModel(BlockResultArray& results, float density, float depth_km, int model_type,
                         Arithmetic arithmetic = Arithmetic::kVector,
                         BlockDiagnostics* diagnostics = nullptr);

  /// The three checks of a freshly read profile (large anomalies, zero anomalies, order),
  /// with their questions. 0 accepted, -2 refused.
  int ValidateProfile();
  /// The same checks and questions on `points` (metres, mGal). 0 accepted, -2 refused.
  static int ValidatePoints(const PointArray& points);
  /// The file type of this document's template (0 when it has none of the four).
  int TypeFromTemplate() const;

  // --- files ---
  int ReadProject(tessmor::Archive& ar);
  int ReadGravmag(tessmor::Archive& ar);
  int ReadGravAscii(tessmor::Archive& ar);
  int Read2DQN(tessmor::Archive& ar);
  /// Reads a CSV profile (the layout is told in CsvProfile.h); a refused file shows the
  /// message that names its line.
  int ReadCsv(tessmor::Archive& ar);
  int WriteProject(tessmor::Archive& ar);
  int WriteGravmag(tessmor::Archive& ar);
  int WriteGravAscii(tessmor::Archive& ar);
  int Write2DQN(tessmor::Archive& ar);
  /// Writes the traverse name, the background and the measured points as a CSV profile.
  int WriteCsv(tessmor::Archive& ar);
  /// The point as the project file and the GRAVASCII title line write it: the distance, three
  /// spaces and the anomaly with 3 decimals.
  static std::string FormatPoint(const ProfilePoint& p);
  /// Parses a point text; null when it does not hold a distance and an anomaly, or holds
  /// anything but blanks after them.
  static std::unique_ptr<ProfilePoint> ParsePoint(const std::string& text);
  /// The profile as its files hold it: name, measured points, background and interpolation
  /// settings.
  ProfileContents Contents() const;

  /// Asks whether to save in a type that cannot keep everything. 1 go on, 0 cancel.
  /// `type` -1 means the template's type.
  int ConfirmSaveFormat(int type = -1);
  /// The Edit Data command: the data entry dialog on the points, the name and the spacing.
  /// OK asks the questions of the validation about the edited points while the dialog is
  /// still open: any answer but Yes, or the order message, returns to the dialog with the
  /// entry as typed. Once accepted, the profile is re-interpolated when it is not equally
  /// spaced and the views are updated. True after OK; Cancel changes nothing.
  bool OnEditData();
  /// The Save command. True when saved.
  bool OnFileSave();
  /// The Save As command. True when saved.
  bool OnFileSaveAs();
  /// Saves to `path` (empty: ask for a name); `replace` makes the document take the new name.
  bool DoSaveProfile(const std::string& path, bool replace);

  // --- framework overrides ---
  void Serialize(tessmor::Archive& ar) override;
  bool OnNewDocument() override;
  bool OnOpenDocument(const std::string& path) override;
  void DeleteContents() override;

  /// Appends a point (the document owns it).
  void AddPoint(const ProfilePoint& p);

  // Members, in their documented order.
  std::vector<std::unique_ptr<ProfilePoint>> m_points;
  std::string m_strTraverseName;
  int m_bUpwardContinued = 0;
  int m_nInterpMethod = 4;
  int m_nBackgroundType = kBackgroundNone;
  double m_dBackgroundSlope = 0.0;
  double m_dBackgroundLevel = 0.0;
  int m_nBackgroundLeft = 0;
  int m_nBackgroundRight = 0;
  int m_nSpacing = 1250;
  int m_nSaveType = -1;
  int m_bEquallySpaced = 1;
  int m_bLoadFailed = 0;
  int m_nInterpStatus = 0;
  int m_bExportEquallySpaced = 0;
  CFloatArray m_interpolated;

 private:
  /// Takes over what a reader filled in (the name, the points, the background and the
  /// settings).
  void Adopt(ProfileContents&& contents);
  /// Shared tail of the text readers: equal spacing, then validation.
  int FinishTextRead(bool decide_spacing);
  /// The background as the stored fields hold it, and back.
  ProfileBackground Background() const;
  void SetBackgroundFields(const ProfileBackground& b);
};

/// The name of a profile file type in the save warning (" GRAVMAG Format\n", ...).
const char* SaveFormatName(int type);
