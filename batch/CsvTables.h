#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

class CTessmorView;

/// The column names, with their units, of the CSV form of a result table of `kind`
/// (CTessmorView::kResultUpward, kResultDerivative, kResultBlockModel); null for another kind:
/// distance_m,upward_mgal; distance_m,second_derivative_mgal_per_sample2 (mGal per squared
/// sample interval); distance_m,calculated_mgal,residual_mgal,depth_km.
const char* CsvTableHeader(int kind);

/// The result table `table` (its title line, its column line and its tab-separated rows) as
/// CSV: the header of `kind`, then every row with its numbers exactly as the table has them,
/// lines ended by CR LF. False when a row does not have the columns of `kind`.
bool ResultTableAsCsv(int kind, std::string_view table, std::string& csv);

/// For each analysis command of `commands` (the view's upward continuation, second derivative
/// and 2-D model) writes the CSV form of the result table it wrote, beside it as
/// NAME_KIND.csv; a table that is empty (too few values) gets none. False, with the cause
/// on `err`, when a table cannot be read or its CSV cannot be written.
bool WriteCsvTables(const CTessmorView& view, const std::vector<int>& commands, std::ostream& err);
