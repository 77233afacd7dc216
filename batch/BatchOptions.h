#pragma once

#include <optional>
#include <string>
#include <vector>

/// The options of one tessmor-batch run. Numbers stay text: they are typed into the dialogs
/// exactly as given, so the dialogs' own conversions and checks apply.
struct BatchOptions {
  struct Interp {
    int method = 4;       ///< 1 spline, 2 rational, 3 polynomial, 4 linear
    std::string spacing;  ///< km; empty keeps the document's spacing
  };
  struct Background {
    enum Kind { kNone, kConstant, kLinear } kind = kNone;
    std::string level;                               ///< mGal (constant)
    std::string from_km, from_mgal, to_km, to_mgal;  ///< the line's two points (linear)
  };
  struct Model {
    bool granite = false;
    std::string density = "-150";  ///< kg/m³
    std::string depth = "8";       ///< km
  };

  std::optional<Interp> interp;
  std::optional<Background> background;
  std::optional<std::string> upward;  ///< km
  /// --upward HEIGHT:edges continues with the ends controlled.
  bool upward_edges = false;
  std::optional<int> derivative;  ///< 100 anomaly, 101 upward continued
  std::optional<Model> model;
  bool answer_yes = false;
  std::optional<std::string> save;
  /// Pictures or chart files of the chart at the end of the run, in the order given.
  std::vector<std::string> exports;
  /// Paper code of the chart (one of CMapper::kPaperCodes); none keeps the stored paper.
  std::optional<int> paper;
  /// The layout the exported chart shows: CTessmorView::kLayoutProfile or kLayoutModel;
  /// none gives the model layout when a model is asked for, else the profile layout.
  std::optional<int> layout;
  /// A machine-readable report of the run (JSON) is written here.
  std::optional<std::string> report;
  /// Runs the self-test of the analyses instead of a profile.
  bool self_test = false;
  bool help = false;
  std::string profile;
  /// --tables csv: each result table of the run is also written as CSV (CsvTables.h).
  bool tables_csv = false;
};

/// Reads the command line. False with `error` set on a usage error.
bool ParseBatchOptions(const std::vector<std::string>& args, BatchOptions& options,
                       std::string& error);

/// The usage text.
const char* BatchUsage();

/// The file type a save path names by its extension (.gpr .dat .txt .g .csv), 0 for none.
int SaveTypeFromPath(const std::string& path);

/// What an export path names by its extension, in any letter case: the chart view's picture
/// types 1 .emf, 2 .wmf, 3 .bmp, CVexaView::kPicturePng .png, kPictureSvg .svg, kPicturePdf
/// .pdf, or kExportChartFile for .vxc; 0 for any other extension or none.
inline constexpr int kExportChartFile = 100;
int ExportTypeFromPath(const std::string& path);
