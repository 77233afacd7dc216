#!/usr/bin/env bash
# Runs the metafile interoperability test (our EMF and WMF opened by Inkscape and by LibreOffice,
# turned into PNG pictures and compared with the same drawing on an image) in a configured build
# folder.
#   tools/interop-check.sh [BUILD_DIR]      (default: build)
# The pictures are left in BUILD_DIR/interop/ (LibreOffice's in lo-emf/ and lo-wmf/, with its
# own profile in lo-profile/). Without Inkscape or LibreOffice that part reports itself skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
cmake --build "$dir" --target platform_metafile_interop_test
ctest --test-dir "$dir" -L interop --output-on-failure
