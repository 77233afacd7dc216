#include "batch/CsvTables.h"

#include <exception>
#include <filesystem>

#include "platform/io/Archive.h"
#include "profileview/TessmorView.h"

const char* CsvTableHeader(int kind) {
  switch (kind) {
    case CTessmorView::kResultUpward:
      return "distance_m,upward_mgal";
    case CTessmorView::kResultDerivative:
      return "distance_m,second_derivative_mgal_per_sample2";
    case CTessmorView::kResultBlockModel:
      return "distance_m,calculated_mgal,residual_mgal,depth_km";
    default:
      return nullptr;
  }
}

bool ResultTableAsCsv(int kind, std::string_view table, std::string& csv) {
  const char* header = CsvTableHeader(kind);
  if (!header) return false;
  const std::size_t columns = kind == CTessmorView::kResultBlockModel ? 4 : 2;
  csv = std::string(header) + "\r\n";
  int line = 0;
  while (!table.empty()) {
    std::size_t end = table.find('\n');
    std::string_view row = table.substr(0, end);
    table.remove_prefix(end == std::string_view::npos ? table.size() : end + 1);
    if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
    if (++line <= 2) continue;  // the title and the column names
    std::size_t fields = 0;
    std::string out;
    for (;;) {
      const std::size_t tab = row.find('\t');
      std::string_view field = row.substr(0, tab);
      while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
      while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
      if (field.empty()) return false;
      if (fields++ > 0) out += ',';
      out += field;
      if (tab == std::string_view::npos) break;
      row.remove_prefix(tab + 1);
    }
    if (fields != columns) return false;
    csv += out + "\r\n";
  }
  return true;
}

bool WriteCsvTables(const CTessmorView& view, const std::vector<int>& commands, std::ostream& err) {
  for (const int command : commands) {
    int kind = 0;
    if (command == CTessmorView::ID_UPWARD_CONTINUE) kind = CTessmorView::kResultUpward;
    if (command == CTessmorView::ID_SECOND_DERIV) kind = CTessmorView::kResultDerivative;
    if (command == CTessmorView::ID_2D_MODEL) kind = CTessmorView::kResultBlockModel;
    if (kind == 0) continue;
    const std::string path = view.ResultPath(kind);
    const std::string csv_path = std::filesystem::path(path).replace_extension(".csv").string();
    try {
      const std::vector<std::uint8_t> bytes = tessmor::ReadWholeFile(path);
      if (bytes.empty()) continue;
      std::string csv;
      if (!ResultTableAsCsv(
              kind, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
              csv)) {
        err << "tessmor-batch: --tables csv: " << path << " is not a result table\n";
        return false;
      }
      tessmor::WriteFileReplacing(csv_path, std::vector<std::uint8_t>(csv.begin(), csv.end()));
    } catch (const std::exception& e) {
      err << "tessmor-batch: --tables csv could not write " << csv_path << ": " << e.what() << "\n";
      return false;
    }
  }
  return true;
}
