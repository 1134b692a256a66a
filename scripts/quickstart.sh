#!/bin/bash
# Quick start on Debian 12:
#   scripts/quickstart.sh convert [drawing] [output.dxf]
#       installs what is missing, builds the command line `tessa` and the
#       parent's converter `tessaconv`, converts a drawing with tessa
#       (examples/sample.jww by default), then prints where the DXF went.
#   scripts/quickstart.sh test
#       installs what is missing, builds everything and runs every test.
#   scripts/quickstart.sh sanitize [SECONDS]
#       installs clang with its sanitizer and fuzzer runtimes when missing and
#       runs .ci/sanitize: every test under AddressSanitizer and
#       UndefinedBehaviorSanitizer, then each fuzz target for SECONDS (60).
#   scripts/quickstart.sh windows
#       installs the mingw-w64 cross compiler and Wine when missing, builds the
#       Windows programs into build-windows/ (tessaconv.exe, tessa.exe), runs
#       the tests under Wine and packs dist/tessaconv-VERSION-win64.zip.
#   scripts/quickstart.sh web
#       installs emscripten, Chromium and npm when missing, builds the
#       WebAssembly module and writes the static site to build-web/site/,
#       then tests it in headless Chromium against the native converter.
# They can be run again at any time; packages already present are skipped,
# so a second run needs no network.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TESSA_BUILD_DIR:-$ROOT/build}
JOBS=$(nproc 2>/dev/null || echo 2)
PACKAGES=(g++ cmake make libgtest-dev zlib1g-dev libcli11-dev nlohmann-json3-dev libfmt-dev libfast-float-dev
  python3-ezdxf python3-matplotlib pybind11-dev python3-dev python3-dask python3-distributed
  librsvg2-bin fonts-ipafont-gothic fonts-noto-cjk)

say() { printf '%s\n' "$*" >&2; }

install_missing() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { say "Run as root to install: ${missing[*]}"; exit 1; }
    sudo=(sudo)
  fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

# Runs a build step with its output in a log, shown only when it fails.
quiet() {
  mkdir -p "$BUILD"
  local log="$BUILD/quickstart.log"
  if ! "$@" >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    say "Failed: $* (full output in $log)"
    exit 1
  fi
}

# One configuration for every command, so that `test` reuses what
# `convert` built; warnings are errors in both.
configure() {
  quiet cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DTESSA_WERROR=ON "$@"
}

convert() {
  local input=${1:-$ROOT/examples/sample.jww}
  local output=${2:-$BUILD/$(basename "${input%.*}").dxf}
  [ -f "$input" ] || { say "No drawing at $input"; exit 1; }
  configure
  quiet cmake --build "$BUILD" -j"$JOBS" --target tessa tessaconv
  # --force replaces a DXF left by an earlier run (never a drawing).
  if "$BUILD/src/cli/tessa" convert --force --quiet "$input" -o "$output"; then
    echo "DXF written to: $output"
  else
    say "No DXF was written for $input"
    exit 1
  fi
}

WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64 libz-mingw-w64-dev googletest
  unicode-data cmake make python3 libcli11-dev nlohmann-json3-dev libfmt-dev libfast-float-dev)

# The Windows programs, cross-built and tested under Wine.  One wineserver
# serves every test (each Wine start then takes a fraction of a second).
windows() {
  BUILD=${TESSA_WINDOWS_BUILD_DIR:-$ROOT/build-windows}
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  configure --toolchain "$ROOT/cmake/mingw-w64.cmake" -DTESSA_WERROR=ON "${launcher[@]}"
  quiet cmake --build "$BUILD" -j"$JOBS"
  quiet cmake --build "$BUILD" --target package_windows
  # The first start makes the prefix (tests started together must not race
  # for it), then one wineserver stays up until the tests end.
  local prefix="$BUILD/wine-prefix"
  quiet "$ROOT/cmake/wine-run.sh" "$prefix" cmd /c exit
  WINEPREFIX="$prefix" wineserver -p </dev/null >/dev/null 2>&1 || true  # one may run already
  local status=0
  ctest --test-dir "$BUILD" --output-on-failure -j"$JOBS" || status=$?
  WINEPREFIX="$prefix" wineserver -k || true
  [ $status -eq 0 ] || exit $status
  echo "Windows programs: $BUILD/src/driver/tessaconv.exe $BUILD/src/cli/tessa.exe"
  echo "Package: $(ls "$ROOT"/dist/tessaconv-*-win64.zip)"
}

WEB_PACKAGES=(emscripten chromium cmake make python3 libfmt-dev libfast-float-dev
  nlohmann-json3-dev)
# Node and npm from Debian unless a node that brings its own npm is there.
command -v node >/dev/null || WEB_PACKAGES+=(nodejs)
command -v npm >/dev/null || WEB_PACKAGES+=(npm)

# The site: the module built with emscripten (its own build tree), the
# pinned npm packages, then the browser test, which compares the page's
# DXF files with the native tessa's (built in the usual tree).
web() {
  local native=$BUILD
  BUILD=${TESSA_WEB_BUILD_DIR:-$ROOT/build-web}
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  # emcc needs Debian's node modules (acorn) on its path.
  export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
  local t0=$SECONDS
  configure --toolchain "$ROOT/cmake/emscripten.cmake" "${launcher[@]}"
  quiet cmake --build "$BUILD" -j"$JOBS"
  say "Site built in $((SECONDS - t0)) s"
  local site=$BUILD/site web_build=$BUILD
  BUILD=$native
  PACKAGES=("${NATIVE_PACKAGES[@]}")
  install_missing
  configure -DTESSA_WEB_BUILD_DIR="$web_build"
  quiet cmake --build "$BUILD" -j"$JOBS" --target tessa gen_drawings
  ctest --test-dir "$BUILD" --output-on-failure -R '^web_page$'
  local raw gz
  raw=$(cat "$site"/* | wc -c)
  gz=$(for f in "$site"/*; do gzip -9c "$f"; done | wc -c)
  echo "Site: $site ($raw bytes, $gz gzip-compressed); serve it with"
  echo "  python3 -m http.server -d $site"
}

# CTest marks a skipped test "(Skipped)" and tells why only with -V: one
# line naming them, and where the real drawings most of them need go.
say_skipped() {
  local skipped n cached samples
  skipped=$(sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (Skipped)$/\1/p' "$1" | tr '\n' ' ')
  [ -n "$skipped" ] || return 0
  echo  # ctest leaves its last line open
  n=$(wc -w <<<"$skipped")
  # The tests look in $TESSA_SAMPLES_DIR first, then in the build's folder.
  cached=$(sed -n 's/^TESSA_SAMPLES_DIR:PATH=//p' "$BUILD/CMakeCache.txt")
  samples=$cached
  [ -d "${TESSA_SAMPLES_DIR:-}" ] && samples=$TESSA_SAMPLES_DIR
  if [ -d "$samples" ]; then
    say "Skipped $n tests (${skipped% }); 'ctest --test-dir $BUILD -V -R NAME' tells why."
  else
    say "Skipped $n tests that need the real drawings (${skipped% }), found neither in" \
      "\$TESSA_SAMPLES_DIR (${TESSA_SAMPLES_DIR:-not set}) nor in $cached: run" \
      "'TESSA_SAMPLES_DIR=/path/to/samples $0 test' or configure with" \
      "-DTESSA_SAMPLES_DIR=/path/to/samples."
  fi
}

run_tests() {
  configure
  quiet cmake --build "$BUILD" -j"$JOBS"
  local log="$BUILD/ctest.log" status=0
  ctest --test-dir "$BUILD" --output-on-failure -j"$JOBS" | tee "$log" || status=$?
  say_skipped "$log"
  return "$status"
}

case "${1:-}" in
  convert) shift; install_missing; convert "$@" ;;
  test) install_missing; run_tests ;;
  windows) PACKAGES=("${WINDOWS_PACKAGES[@]}"); install_missing; windows ;;
  web) NATIVE_PACKAGES=("${PACKAGES[@]}"); PACKAGES=("${WEB_PACKAGES[@]}"); install_missing; web ;;
  sanitize)
    shift
    PACKAGES+=(clang-14 libclang-rt-14-dev)
    install_missing
    exec "$ROOT/.ci/sanitize" "$@" ;;
  *) say "usage: $0 convert [drawing] [output.dxf] | $0 test | $0 windows | $0 web | $0 sanitize [seconds]"; exit 2 ;;
esac
