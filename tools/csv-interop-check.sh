#!/usr/bin/env bash
# Makes the CSV files of testdata/csv/ again from their sheet with LibreOffice Calc, checks that
# they are the files the tests read, and runs tessmor-batch on them: read, analysed, saved back
# as CSV, the result tables also as CSV.
#   tools/csv-interop-check.sh [BUILD_DIR]      (default: build)
# The files are left in BUILD_DIR/csv-interop/.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
out="$dir/csv-interop"
rm -rf "$out"
mkdir -p "$out/comma" "$out/semicolon"
cmake --build "$dir" --target tessmor-batch
lo=(soffice "-env:UserInstallation=file://$(realpath "$out")/lo-profile" --headless)
"${lo[@]}" --convert-to csv --outdir "$out/comma" testdata/csv/spreadsheet_profile.fods
"${lo[@]}" --convert-to 'csv:Text - txt - csv (StarCalc):59,34,76,1' --outdir "$out/semicolon" \
  testdata/csv/spreadsheet_profile.fods
cmp "$out/comma/spreadsheet_profile.csv" testdata/csv/spreadsheet_comma.csv
cmp "$out/semicolon/spreadsheet_profile.csv" testdata/csv/spreadsheet_semicolon.csv
for form in comma semicolon; do
  QT_QPA_PLATFORM=offscreen "$dir/bin/tessmor-batch" --answer yes --upward 2 --model basin:-300:0 \
    --tables csv --save "$out/$form/saved.csv" "$out/$form/spreadsheet_profile.csv"
  "$dir/bin/tessmor-batch" --save "$out/$form/again.csv" --answer yes "$out/$form/saved.csv"
  cmp "$out/$form/saved.csv" "$out/$form/again.csv"
  test -s "$out/$form/spreadsheet_profile_BlockModel.csv"
done
echo "csv interop: LibreOffice's CSV files read, analysed and saved back"
