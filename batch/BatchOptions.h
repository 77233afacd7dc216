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
  std::optional<int> derivative;      ///< 100 anomaly, 101 upward continued
  std::optional<Model> model;
  bool answer_yes = false;
  std::optional<std::string> save;
  bool help = false;
  std::string profile;
};

/// Reads the command line. False with `error` set on a usage error.
bool ParseBatchOptions(const std::vector<std::string>& args, BatchOptions& options,
                       std::string& error);

/// The usage text.
const char* BatchUsage();

/// The file type a save path names by its extension (.gpr .dat .txt .g), 0 for none.
int SaveTypeFromPath(const std::string& path);
