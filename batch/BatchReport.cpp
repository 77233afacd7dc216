#include "batch/BatchReport.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "profile/TessmorDoc.h"
#include "profileview/TessmorView.h"

namespace {

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c >= 0x80) {
          // The profile's 8-bit texts are Latin-1: written as their code points.
          char esc[8];
          std::snprintf(esc, sizeof esc, "\\u%04x", c);
          out += esc;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string Number(double v) {
  if (!std::isfinite(v)) return "null";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.9g", v);
  return buf;
}

std::string OptionalText(const std::optional<std::string>& v) { return v ? Quote(*v) : "null"; }

struct Summary {
  std::size_t count = 0;
  double least = INFINITY, greatest = -INFINITY, sum = 0.0;
  void Add(double v) {
    ++count;
    least = std::min(least, v);
    greatest = std::max(greatest, v);
    sum += v;
  }
};

std::string SummaryJson(const Summary& s, const char* unit, const std::string& table) {
  std::string out = "{\"unit\": " + Quote(unit) + ", \"count\": " + std::to_string(s.count);
  if (s.count) {
    out += ", \"min\": " + Number(s.least) + ", \"max\": " + Number(s.greatest) +
           ", \"mean\": " + Number(s.sum / static_cast<double>(s.count));
  }
  if (!table.empty()) out += ", \"table\": " + Quote(table);
  return out + "}";
}

// The columns of a result table (two header lines, then tab-separated numbers).
std::vector<Summary> ReadTable(const std::string& path, std::size_t columns) {
  std::vector<Summary> out(columns);
  std::ifstream in(path, std::ios::binary);
  std::string line;
  for (int header = 0; header < 2 && std::getline(in, line); ++header) {
  }
  while (std::getline(in, line)) {
    std::istringstream row(line);
    std::vector<double> values;
    double v;
    while (row >> v) values.push_back(v);
    if (values.size() != columns) continue;
    for (std::size_t c = 0; c < columns; ++c) out[c].Add(values[c]);
  }
  return out;
}

const char* MethodName(int method) {
  switch (method) {
    case 1:
      return "spline";
    case 2:
      return "rational";
    case 3:
      return "polynomial";
    default:
      return "linear";
  }
}

}  // namespace

std::string BatchReportJson(const BatchOptions& o, const CTessmorDoc& doc,
                            const CTessmorView& view) {
  std::string j = "{\n";
  j += "  \"program\": \"tessmor-batch\",\n";
  j += "  \"input\": {\"file\": " + Quote(o.profile) +
       ", \"traverse\": " + Quote(doc.m_strTraverseName) +
       ", \"measured_points\": " + std::to_string(doc.GetPointCount(1)) + "},\n";

  // The options as given (numbers as typed, in the units of their names).
  j += "  \"options\": {";
  j += "\"interp\": ";
  j += o.interp ? "{\"method\": " + Quote(MethodName(o.interp->method)) + ", \"spacing_km\": " +
                      (o.interp->spacing.empty() ? "null" : Quote(o.interp->spacing)) + "}"
                : "null";
  j += ", \"background\": ";
  if (!o.background) {
    j += "null";
  } else if (o.background->kind == BatchOptions::Background::kLinear) {
    j += "{\"kind\": \"linear\", \"from_km\": " + Quote(o.background->from_km) +
         ", \"from_mgal\": " + Quote(o.background->from_mgal) +
         ", \"to_km\": " + Quote(o.background->to_km) +
         ", \"to_mgal\": " + Quote(o.background->to_mgal) + "}";
  } else if (o.background->kind == BatchOptions::Background::kConstant) {
    j += "{\"kind\": \"constant\", \"level_mgal\": " + Quote(o.background->level) + "}";
  } else {
    j += "{\"kind\": \"none\"}";
  }
  j += ", \"upward_km\": " + OptionalText(o.upward);
  j += std::string(", \"upward_edges_controlled\": ") + (o.upward_edges ? "true" : "false");
  j += ", \"derivative_source\": ";
  j += o.derivative ? Quote(*o.derivative == 101 ? "upward" : "anomaly") : std::string("null");
  j += ", \"model\": ";
  j += o.model ? "{\"type\": " + Quote(o.model->granite ? "granite" : "basin") +
                     ", \"density_kg_m3\": " + Quote(o.model->density) +
                     ", \"boundary_depth_km\": " + Quote(o.model->depth) + "}"
               : "null";
  j += ", \"answer\": " + Quote(o.answer_yes ? "yes" : "no");
  j += ", \"save\": " + OptionalText(o.save) + "},\n";

  const int n = doc.GetPointCount(10);
  const long dx = doc.m_bEquallySpaced ? doc.GetEqualSpacing() : doc.m_nSpacing;
  int first = 0, last = 0;
  doc.GetDistanceRange(first, last, 10);
  j += "  \"samples\": {\"count\": " + std::to_string(n) +
       ", \"spacing_m\": " + std::to_string(dx) + ", \"first_m\": " + std::to_string(first) +
       ", \"last_m\": " + std::to_string(last) +
       ", \"equally_spaced_input\": " + (doc.m_bEquallySpaced ? "true" : "false") + "},\n";

  j += "  \"series\": {\n";
  Summary anomaly, residual;
  for (int i = 0; i < n; ++i) {
    anomaly.Add(doc.GetPoint(i, false).anomaly);
    residual.Add(doc.GetPoint(i, true).anomaly);
  }
  j += "    \"anomaly\": " + SummaryJson(anomaly, "mGal", "") + ",\n";
  j += "    \"residual_anomaly\": " + SummaryJson(residual, "mGal", "");
  if (o.upward) {
    const std::string table = view.ResultPath(CTessmorView::kResultUpward);
    j += ",\n    \"upward_continued\": " + SummaryJson(ReadTable(table, 2)[1], "mGal", table);
  }
  if (o.derivative) {
    const std::string table = view.ResultPath(CTessmorView::kResultDerivative);
    j += ",\n    \"second_derivative\": " +
         SummaryJson(ReadTable(table, 2)[1], "mGal per squared sample interval", table);
  }
  if (o.model) {
    const std::string table = view.ResultPath(CTessmorView::kResultBlockModel);
    const std::vector<Summary> cols = ReadTable(table, 4);
    j += ",\n    \"model_calculated\": " + SummaryJson(cols[1], "mGal", table);
    j += ",\n    \"model_residual\": " + SummaryJson(cols[2], "mGal", table);
    j += ",\n    \"model_depth\": " + SummaryJson(cols[3], "km, positive down", table);
  }
  j += "\n  },\n";

  const BlockDiagnostics& d = view.m_modelDiagnostics;
  j += "  \"inversion\": ";
  if (!o.model || d.rms_mgal.empty()) {
    j += "null\n";
  } else {
    j += "{\"sweeps\": [";
    for (std::size_t k = 0; k < d.rms_mgal.size(); ++k) {
      if (k) j += ", ";
      j += "{\"sweep\": " + std::to_string(k + 1) +
           ", \"rms_misfit_mgal\": " + Number(d.rms_mgal[k]) + ", \"max_thickness_change_km\": " +
           Number(k < d.max_change_km.size() ? d.max_change_km[k] : NAN) + "}";
    }
    j += "], \"final_rms_misfit_mgal\": " + Number(d.rms_mgal.back()) + "}\n";
  }
  j += "}\n";
  return j;
}
