#!/usr/bin/env bash
# Tessmor's one entry point: installs what is missing, builds, tests, checks.
#   ./tessmor.sh demo            install, build, run the analysis of the example basin profile
#   ./tessmor.sh gui [FILE]      install, build (Release), start the desktop program
#   ./tessmor.sh test            install, build (Release), run every test
#   ./tessmor.sh check [PARTS]   format, sanitize, fuzz, interop (default: all four);
#                                fuzz-campaign runs each harness 600 s (FUZZ_SECONDS) on its
#                                corpus in build-fuzz/corpus/; FUZZ_TARGETS="a_fuzz b_fuzz" runs some
#   ./tessmor.sh bench           install, build (Release), run the benchmarks
#   ./tessmor.sh install         build, then add the program, its icon and its file types to
#                                the user's desktop (menu entry, MIME types, "open with")
#   ./tessmor.sh uninstall       take them away again
#   ./tessmor.sh deps            install the Debian packages the project needs
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
JOBS=$(nproc)

# Every Debian package the build, the tests and the checks use.
PACKAGES=(
  g++ cmake ninja-build pkg-config python3
  qt6-base-dev qt6-svg-dev libgl-dev
  libuemf-dev libeigen3-dev libfftw3-dev libhwy-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation
)
# What the desktop installation uses.
DESKTOP_PACKAGES=(xdg-utils shared-mime-info desktop-file-utils libfile-mimeinfo-perl)
CHECK_PACKAGES=(clang-14 clang-format inkscape libreoffice-draw libreoffice-calc xvfb xdotool imagemagick openbox x11-utils poppler-utils chromium)

log() { printf '== %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# install_missing PKG...: installs the packages that dpkg does not list as installed.
install_missing() {
  local missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing: ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

werror_flag() {
  if [ -n "${CI:-}" ] || [ -n "${TESSMOR_WERROR:-}" ]; then echo "-DTESSMOR_WERROR=ON"; else echo "-DTESSMOR_WERROR=OFF"; fi
}

# build DIR [cmake args...]
build() {
  local dir=$1; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

run_tests() {
  local dir=$1
  ctest --test-dir "$dir" --output-on-failure -j "$JOBS"
}

cmd_test() {
  install_missing "${PACKAGES[@]}"
  build "$ROOT/build" -DCMAKE_BUILD_TYPE=Release "$(werror_flag)"
  run_tests "$ROOT/build"
}

check_format() {
  install_missing clang-format
  log "format"
  local files
  files=$(git ls-files '*.cpp' '*.h')
  # shellcheck disable=SC2086
  clang-format --dry-run --Werror $files
}

check_sanitize() {
  install_missing "${PACKAGES[@]}"
  log "AddressSanitizer + UndefinedBehaviorSanitizer build"
  build "$ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTESSMOR_SANITIZE=ON "$(werror_flag)"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    LSAN_OPTIONS="suppressions=$ROOT/tools/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_tests "$ROOT/build-asan"
}

check_fuzz() {
  install_missing "${PACKAGES[@]}" clang-14
  log "fuzz smoke runs"
  build "$ROOT/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
    -DCMAKE_CXX_COMPILER=clang++-14 -DTESSMOR_FUZZ=ON -DTESSMOR_TESTS=OFF
  # A smoke run gives each harness 30 s; a campaign 600 s. Either way the corpus each one
  # grows is kept in build-fuzz/corpus/NAME and is where the next run starts.
  local seconds
  if [ "${FUZZ_CAMPAIGN:-0}" = 1 ]; then seconds=${FUZZ_SECONDS:-600}; else seconds=${FUZZ_SECONDS:-30}; fi
  local failed=0
  for f in "$ROOT"/build-fuzz/bin/*_fuzz; do
    local name corpus
    name=$(basename "$f")
    if [ -n "${FUZZ_TARGETS:-}" ] && ! [[ " $FUZZ_TARGETS " == *" $name "* ]]; then continue; fi
    corpus="$ROOT/build-fuzz/corpus/$name"
    mkdir -p "$corpus"
    local seeds="$ROOT/fuzz/seeds/$name"
    [ -d "$seeds" ] || seeds=""
    log "$name for ${seconds}s"
    if ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$ROOT/tools/lsan.supp:print_suppressions=0" \
      "$f" -max_total_time="$seconds" -print_final_stats=1 "$corpus" $seeds >"$ROOT/build-fuzz/$name.log" 2>&1; then
      printf '%s: %s executions, no finding\n' "$name" \
        "$(grep -m1 'stat::number_of_executed_units' "$ROOT/build-fuzz/$name.log" | awk '{print $2}')"
    else
      printf '%s: FINDING (see build-fuzz/%s.log)\n' "$name" "$name"
      tail -40 "$ROOT/build-fuzz/$name.log"
      failed=1
    fi
  done
  return $failed
}

cmd_gui() {
  install_missing "${PACKAGES[@]}"
  build "$ROOT/build" -DCMAKE_BUILD_TYPE=Release "$(werror_flag)"
  exec "$ROOT/build/bin/tessmor" "$@"
}

cmd_demo() {
  install_missing "${PACKAGES[@]}"
  build "$ROOT/build" -DCMAKE_BUILD_TYPE=Release "$(werror_flag)"
  local out="$ROOT/build/demo"
  rm -rf "$out"
  mkdir -p "$out"
  cp "$ROOT/examples/basin.txt" "$out/basin.txt"
  log "tessmor-batch on examples/basin.txt"
  local job=(--interp spline:0.5 --background linear:1:4.06:51:7.06
    --upward 2 --derivative anomaly --model basin:-250:0 --answer yes)
  # The same job twice: once for the profile layout (background, continuation, derivative),
  # once for the model layout; both write the same tables.
  "$ROOT/build/bin/tessmor-batch" "${job[@]}" --layout profile \
    --export "$out/basin-profile.png" --export "$out/basin-profile.svg" \
    --export "$out/basin-profile.pdf" "$out/basin.txt"
  "$ROOT/build/bin/tessmor-batch" "${job[@]}" --layout model \
    --export "$out/basin-model.png" --export "$out/basin-model.svg" \
    --export "$out/basin-model.pdf" "$out/basin.txt"
  echo "Result tables:"
  for f in "$out"/basin_*.txt; do
    printf '  %s (%s rows)\n' "$f" "$(($(wc -l <"$f") - 2))"
  done
  echo "Pictures (profile layout, model layout):"
  for f in "$out"/basin-profile.* "$out"/basin-model.*; do
    printf '  %s\n' "$f"
  done
}

cmd_bench() {
  install_missing "${PACKAGES[@]}"
  build "$ROOT/build-bench" -DCMAKE_BUILD_TYPE=Release -DTESSMOR_BENCH=ON -DTESSMOR_TESTS=OFF
  "$ROOT/build-bench/bin/tessmor_bench" --benchmark_repetitions=9 \
    --benchmark_report_aggregates_only=true "$@"
}

check_interop() {
  install_missing "${PACKAGES[@]}" inkscape libreoffice-draw libreoffice-calc
  log "metafile interoperability (Inkscape, LibreOffice)"
  build "$ROOT/build" -DCMAKE_BUILD_TYPE=Release "$(werror_flag)"
  "$ROOT/tools/interop-check.sh" "$ROOT/build"
  log "CSV profiles from LibreOffice Calc"
  "$ROOT/tools/csv-interop-check.sh" "$ROOT/build"
}

# The user's data folder of the desktop (XDG), where menu entries, MIME types and icons go.
data_home() { echo "${XDG_DATA_HOME:-$HOME/.local/share}"; }

cmd_install() {
  install_missing "${PACKAGES[@]}" "${DESKTOP_PACKAGES[@]}"
  # A user who may not write the build folder installs the program that is built there.
  if [ ! -e "$ROOT/build" ] || [ -w "$ROOT/build" ]; then
    build "$ROOT/build" -DCMAKE_BUILD_TYPE=Release "$(werror_flag)"
  fi
  if [ ! -x "$ROOT/build/bin/tessmor" ]; then
    echo "tessmor is not built in $ROOT/build: run ./tessmor.sh gui or test first" >&2
    exit 1
  fi
  local data
  data=$(data_home)
  mkdir -p "$data/applications" "$data/mime/packages" "$data/icons/hicolor/scalable/apps" \
    "$data/icons/hicolor/256x256/apps"
  sed "s|@TESSMOR@|$ROOT/build/bin/tessmor|" "$ROOT/tools/desktop/tessmor.desktop.in" \
    >"$data/applications/tessmor.desktop"
  cp "$ROOT/tools/desktop/tessmor-mime.xml" "$data/mime/packages/tessmor.xml"
  cp "$ROOT/app/icons/tessmor.svg" "$data/icons/hicolor/scalable/apps/tessmor.svg"
  cp "$ROOT/app/icons/tessmor-256.png" "$data/icons/hicolor/256x256/apps/tessmor.png"
  update-mime-database "$data/mime"
  update-desktop-database "$data/applications" 2>/dev/null || true
  # A project opens in Tessmor when the file manager is asked to open it.
  xdg-mime default tessmor.desktop application/x-tessmor-project application/x-gravmag-profile \
    application/x-2dqn-profile
  log "installed for $(id -un): $data/applications/tessmor.desktop and the file types of"
  log "$data/mime/packages/tessmor.xml"
}

cmd_uninstall() {
  local data
  data=$(data_home)
  rm -f "$data/applications/tessmor.desktop" "$data/mime/packages/tessmor.xml" \
    "$data/icons/hicolor/scalable/apps/tessmor.svg" "$data/icons/hicolor/256x256/apps/tessmor.png"
  if command -v update-mime-database >/dev/null; then update-mime-database "$data/mime"; fi
  if command -v update-desktop-database >/dev/null; then
    update-desktop-database "$data/applications" 2>/dev/null || true
  fi
  # The file manager's choices for the types go with them.
  local list="$HOME/.config/mimeapps.list"
  if [ -f "$list" ]; then sed -i '/=tessmor\.desktop;*$/d' "$list"; fi
  log "removed Tessmor's menu entry, icon and file types for $(id -un)"
}

cmd_check() {
  local parts=("$@")
  [ ${#parts[@]} -gt 0 ] || parts=(format sanitize fuzz interop)
  for p in "${parts[@]}"; do
    case "$p" in
      format) check_format ;;
      sanitize) check_sanitize ;;
      fuzz) check_fuzz ;;
      fuzz-campaign) FUZZ_CAMPAIGN=1 check_fuzz ;;
      interop) check_interop ;;
      *) echo "unknown check: $p" >&2; exit 2 ;;
    esac
  done
}

case "${1:-}" in
  test) cmd_test ;;
  demo) cmd_demo ;;
  gui) shift; cmd_gui "$@" ;;
  bench) shift; cmd_bench "$@" ;;
  check) shift; cmd_check "$@" ;;
  install) cmd_install ;;
  uninstall) cmd_uninstall ;;
  deps) install_missing "${PACKAGES[@]}" "${CHECK_PACKAGES[@]}" "${DESKTOP_PACKAGES[@]}" ;;
  *)
    sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
