#!/usr/bin/env bash
# One entry point for set-up, building, running and testing.
#   ./build.sh run          install what is missing, build into build/, start the editor
#   ./build.sh test         the same set-up, then every test; then the whole suite again
#                           under AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzzers
#   ./build.sh check ARGS   build into build/ and run ctest ARGS (for one group: check -L unit)
#   ./build.sh package      build into build/, pack build/vela_VERSION_amd64.deb and check it with lintian
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  cmake g++ ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  fonts-ipafont-gothic
  libbenchmark-dev
  libuchardet-dev
  clang libclang-rt-14-dev
  xvfb xauth openbox xdotool x11-utils locales imagemagick
  ibus ibus-mozc xclip
  cups cups-client cups-bsd poppler-utils
  acl strace
)
# Only for ./build.sh package: packing, checking the package, and what installs its desktop files.
PACKAGING_TOOLS=(dpkg-dev file lintian desktop-file-utils shared-mime-info xdg-utils)
JOBS=$(nproc)

ensure_packages() { # ensure_packages [PACKAGE...]: those named, or PACKAGES
  local wanted=("$@") missing=()
  [ $# -gt 0 ] || wanted=("${PACKAGES[@]}")
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
}

# Japanese locale for the end-to-end tests: without it Qt drops typed non-ASCII text.
ensure_locale() {
  if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
  fi
}

build() { # build DIR [cmake options...]
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

run_tests() { # run_tests DIR [ctest options...]
  local dir=$1; shift
  ctest --test-dir "$dir" --output-on-failure -j "$JOBS" "$@"
}

case "${1:-}" in
  run)
    ensure_packages
    build build
    exec build/bin/vela
    ;;
  test)
    ensure_packages
    ensure_locale
    build build
    run_tests build
    echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
    # Benchmarks are left out and optimisation kept low: this build only runs the tests.
    build build-asan -DVELA_SANITIZE=ON -DVELA_BENCH=OFF -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -g1"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      run_tests build-asan -LE 'e2e|bench'
    echo "== Fuzzing"
    CXX=clang++ build build-fuzz -DVELA_FUZZ=ON
    run_tests build-fuzz -L fuzz
    ;;
  check)
    shift
    ensure_packages
    build build
    run_tests build "$@"
    ;;
  package)
    ensure_packages "${PACKAGES[@]}" "${PACKAGING_TOOLS[@]}"
    build build
    rm -f build/vela_*.deb
    (cd build && cpack -G DEB -B "$PWD" >/dev/null)
    deb=$(ls build/vela_*.deb)
    # An error fails the step; what lintian still notes is listed, with the reasons, in the README.
    lintian --fail-on error --tag-display-limit 0 "$deb"
    echo "$deb"
    ;;
  *)
    echo "usage: ./build.sh run | test | check [ctest args] | package" >&2
    exit 2
    ;;
esac
