#include "batch/BatchOptions.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "chart/paper/Mapper.h"
#include "chart/view/VexaView.h"
#include "profile/ProfilePoint.h"
#include "profileview/TessmorView.h"

namespace {

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(sep, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

}  // namespace

const char* BatchUsage() {
  return "usage: tessmor-batch [options] PROFILE\n"
         "  --interp spline|polynomial|rational|linear[:SPACING_KM]   Interpolation dialog "
         "(spacing text in km)\n"
         "  --background none | constant:LEVEL_MGAL | linear:FROM_KM:FROM_MGAL:TO_KM:TO_MGAL   "
         "Background dialog\n"
         "  --upward HEIGHT_KM[:edges]                  Upward Continue (switches the "
         "continuation display on);\n"
         "                                              :edges controls the edge effects\n"
         "  --derivative anomaly|upward                 2nd Deriv\n"
         "  --model basin|granite:DENSITY_KGM3:DEPTH_KM 2-D Model\n"
         "  --answer yes|no                             how the program's questions are "
         "answered (default no)\n"
         "  --save FILE                                 Save As; the type follows the extension "
         "(.gpr .dat .txt .g)\n"
         "  --export FILE                               the chart as the profile view shows it "
         "at the end of the run\n"
         "                                              (.png .svg .pdf .emf .wmf .bmp, or .vxc "
         "for the chart file); may be repeated\n"
         "  --paper 5|6|9|10|20|24                      paper: A4 portrait, A3 portrait, A4 "
         "landscape (default),\n"
         "                                              A3 landscape, A5 portrait, A5 landscape\n"
         "  --layout profile|model                      layout of the exported chart (default: "
         "model with --model)\n"
         "  --tables csv                                also write each result table as "
         "NAME_KIND.csv, units in its header\n"
         "                                              (a .csv profile is read as CSV; --save "
         "FILE.csv writes one)\n"
         "  --report FILE.json                          a report of the run: input, options, "
         "samples, every series'\n"
         "                                              summary and the inversion's misfit per "
         "sweep, with units\n"
         "  --self-test                                 checks the analyses against bodies of "
         "known field (no PROFILE)\n"
         "  --help\n";
}

int SaveTypeFromPath(const std::string& path) {
  return FileTypeFromExtension(std::filesystem::path(path).extension().string());
}

int ExportTypeFromPath(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == ".emf") return 1;
  if (ext == ".wmf") return 2;
  if (ext == ".bmp") return 3;
  if (ext == ".png") return CVexaView::kPicturePng;
  if (ext == ".svg") return CVexaView::kPictureSvg;
  if (ext == ".pdf") return CVexaView::kPicturePdf;
  if (ext == ".vxc") return kExportChartFile;
  return 0;
}

bool ParseBatchOptions(const std::vector<std::string>& args, BatchOptions& o, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help") {
      o.help = true;
      return true;
    }
    if (a == "--self-test") {
      o.self_test = true;
      continue;
    }
    if (a.rfind("--", 0) != 0) {
      if (!o.profile.empty()) {
        error = "more than one profile: " + a;
        return false;
      }
      o.profile = a;
      continue;
    }
    if (i + 1 >= args.size()) {
      error = a + " needs a value";
      return false;
    }
    const std::string v = args[++i];
    const std::vector<std::string> f = Split(v, ':');
    if (a == "--interp") {
      BatchOptions::Interp in;
      const std::string& m = f[0];
      if (m == "spline") {
        in.method = 1;
      } else if (m == "rational") {
        in.method = 2;
      } else if (m == "polynomial") {
        in.method = 3;
      } else if (m == "linear") {
        in.method = 4;
      } else {
        error = "unknown interpolation method: " + m;
        return false;
      }
      if (f.size() > 2) {
        error = "--interp takes METHOD[:SPACING_KM]";
        return false;
      }
      if (f.size() == 2) in.spacing = f[1];
      o.interp = in;
    } else if (a == "--background") {
      BatchOptions::Background bg;
      if (f[0] == "none" && f.size() == 1) {
        bg.kind = BatchOptions::Background::kNone;
      } else if (f[0] == "constant" && f.size() == 2) {
        bg.kind = BatchOptions::Background::kConstant;
        bg.level = f[1];
      } else if (f[0] == "linear" && f.size() == 5) {
        bg.kind = BatchOptions::Background::kLinear;
        bg.from_km = f[1];
        bg.from_mgal = f[2];
        bg.to_km = f[3];
        bg.to_mgal = f[4];
      } else {
        error = "--background takes none, constant:LEVEL or linear:FROM_KM:FROM_MGAL:TO_KM:TO_MGAL";
        return false;
      }
      o.background = bg;
    } else if (a == "--upward") {
      if (f.size() > 2 || (f.size() == 2 && f[1] != "edges")) {
        error = "--upward takes HEIGHT_KM or HEIGHT_KM:edges";
        return false;
      }
      o.upward = f[0];
      o.upward_edges = f.size() == 2;
    } else if (a == "--derivative") {
      if (v == "anomaly") {
        o.derivative = 100;
      } else if (v == "upward") {
        o.derivative = 101;
      } else {
        error = "--derivative takes anomaly or upward";
        return false;
      }
    } else if (a == "--model") {
      BatchOptions::Model m;
      if ((f[0] != "basin" && f[0] != "granite") || f.size() != 3) {
        error = "--model takes basin:DENSITY_KGM3:DEPTH_KM or granite:DENSITY_KGM3:DEPTH_KM";
        return false;
      }
      m.granite = f[0] == "granite";
      m.density = f[1];
      m.depth = f[2];
      o.model = m;
    } else if (a == "--answer") {
      if (v != "yes" && v != "no") {
        error = "--answer takes yes or no";
        return false;
      }
      o.answer_yes = v == "yes";
    } else if (a == "--save") {
      if (SaveTypeFromPath(v) == kFileTypeNone) {
        error = "--save needs a file ending in .gpr, .dat, .txt, .g or .csv";
        return false;
      }
      o.save = v;
    } else if (a == "--export") {
      if (ExportTypeFromPath(v) == 0) {
        error = "--export needs a file ending in .png, .svg, .pdf, .emf, .wmf, .bmp or .vxc: " + v;
        return false;
      }
      o.exports.push_back(v);
    } else if (a == "--paper") {
      const auto known =
          std::find_if(std::begin(CMapper::kPaperCodes), std::end(CMapper::kPaperCodes),
                       [&v](int code) { return std::to_string(code) == v; });
      if (known == std::end(CMapper::kPaperCodes)) {
        error = "--paper takes 5, 6, 9, 10, 20 or 24";
        return false;
      }
      o.paper = *known;
    } else if (a == "--report") {
      o.report = v;
    } else if (a == "--layout") {
      if (v == "profile") {
        o.layout = CTessmorView::kLayoutProfile;
      } else if (v == "model") {
        o.layout = CTessmorView::kLayoutModel;
      } else {
        error = "--layout takes profile or model";
        return false;
      }
    } else if (a == "--tables") {
      if (v != "csv") {
        error = "--tables takes csv";
        return false;
      }
      o.tables_csv = true;
    } else {
      error = "unknown option: " + a;
      return false;
    }
  }
  if (o.self_test) {
    if (!o.profile.empty()) {
      error = "--self-test takes no profile";
      return false;
    }
    return true;
  }
  if (o.profile.empty()) {
    error = "no profile given";
    return false;
  }
  if (o.layout == CTessmorView::kLayoutModel && !o.model) {
    error = "--layout model needs --model";
    return false;
  }
  return true;
}
