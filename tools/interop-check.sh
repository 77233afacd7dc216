#!/usr/bin/env bash
# Runs the metafile interoperability test (our EMF and WMF opened by Inkscape, turned into PNG
# pictures and compared with the same drawing on an image) in a configured build folder.
#   tools/interop-check.sh [BUILD_DIR]      (default: build)
# The pictures are left in BUILD_DIR/interop/. Without Inkscape the test reports itself skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
cmake --build "$dir" --target platform_metafile_interop_test
ctest --test-dir "$dir" -L interop --output-on-failure
