#!/bin/bash
# Benchmark of tessaconv: builds the converter and the drawing generator
# (optimised, in a build folder of its own unless one is given), generates
# the drawings once, then times every conversion next to the floor of its
# own I/O.
#
#   bench/run.sh [BUILD_DIR]        default: <source>/build-bench
#
# An existing build folder keeps its configuration (build type, tests);
# a new one is configured as BUILD_TYPE (default Release).
#
# Environment: REPEAT (default 5), REPEAT_LARGE (default 3, for drawings of
# 1 million entities), DRAWINGS (default "real:100000 real:1000000
# lines:100000 lines:1000000 heavy:1000000": FAMILY:COUNT, "real" the mix
# measured in real drawings by bench/jw_mix, "lines" lines only, "heavy" a
# fifth dimensions and coordinates with all their digits), JWC (default 100000,
# 0 for none), VERSIONS (default "R12,R2000,R2007"), SAMPLES (default
# <source>/../shared/samples: the largest JWW drawing there is timed as the
# small real drawing; none when the folder is missing), RECORD (default 1; 0
# leaves bench/RESULTS.md alone).  Generated drawings stay in
# BUILD_DIR/bench-data and are reused by later runs.
set -euo pipefail
SRC="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${1:-$SRC/build-bench}"
REPEAT="${REPEAT:-5}"
REPEAT_LARGE="${REPEAT_LARGE:-3}"
DRAWINGS="${DRAWINGS:-real:100000 real:1000000 lines:100000 lines:1000000 heavy:1000000}"
JWC="${JWC:-100000}"
VERSIONS="${VERSIONS:-R12,R2000,R2007}"
SAMPLES="${SAMPLES:-$SRC/../shared/samples}"

if [[ -f "$BUILD/CMakeCache.txt" ]]; then
  cmake -B "$BUILD" -DTESSA_BENCH=ON >/dev/null
else
  cmake -S "$SRC" -B "$BUILD" -DTESSA_BENCH=ON -DBUILD_TESTING=OFF \
    -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" >/dev/null
fi
cmake --build "$BUILD" -j2 --target tessaconv gen_drawings >/dev/null

DATA="$BUILD/bench-data"
mkdir -p "$DATA"
label() {  # 10000 -> 10k, 1000000 -> 1m
  local n=$1
  if (( n % 1000000 == 0 )); then echo "$((n / 1000000))m"
  elif (( n % 1000 == 0 )); then echo "$((n / 1000))k"
  else echo "$n"; fi
}
gen() {  # kind count path: generated once, then reused
  [[ -s "$3" ]] || "$BUILD/bench/gen_drawings" "$1" "$2" "$3"
}
args=()
for d in $DRAWINGS; do
  fam="${d%%:*}" n="${d##*:}"
  case "$fam" in
    real) kind=jww ;;
    lines) kind=lines ;;
    heavy) kind=heavy ;;
    *) echo "unknown drawing family: $fam" >&2; exit 2 ;;
  esac
  f="$DATA/${fam}_$(label "$n").jww"
  gen "$kind" "$n" "$f"
  args+=("${fam}_$(label "$n")=$n=$f")
done
if (( JWC > 0 )); then
  f="$DATA/jwc_$(label "$JWC").jwc"
  gen jwc "$JWC" "$f"
  args+=("jwc_$(label "$JWC")=$JWC=$f")
fi
gen jww 20 "$DATA/tiny.jww"
small=()
if [[ -d "$SAMPLES" ]]; then
  f="$(find "$SAMPLES" -type f -iname '*.jww' -printf '%s\t%p\n' | sort -n | tail -1 | cut -f2-)"
  [[ -n "$f" ]] && small=(--small "$f")
fi

REPORT="$BUILD/bench-report.txt"
{
  echo "tessaconv benchmark, $(date -u +%Y-%m-%dT%H:%MZ), $(nproc) cores, niceness $(nice)," \
    "commit $(git -C "$SRC" rev-parse --short HEAD 2>/dev/null || echo '?')," \
    "load average $(cut -d' ' -f1-3 /proc/loadavg)"
  python3 "$SRC/bench/bench.py" --exe "$BUILD/src/driver/tessaconv" \
    --work "$BUILD/bench-work" --repeat "$REPEAT" --repeat-large "$REPEAT_LARGE" \
    --versions "$VERSIONS" --tiny "$DATA/tiny.jww" "${small[@]}" "${args[@]}"
  # The SVG preview of the large drawings next to their DXF conversion.
  if [[ "${PREVIEW:-1}" != 0 ]]; then
    cmake --build "$BUILD" -j2 --target tessa >/dev/null
    large=()
    for a in "${args[@]}"; do
      n="${a#*=}"; n="${n%%=*}"
      (( n >= 1000000 )) && large+=("${a%%=*}=${a##*=}")
    done
    (( ${#large[@]} )) && nice python3 "$SRC/bench/preview.py" --tessa "$BUILD/src/cli/tessa" \
      --repeat "$REPEAT_LARGE" "${large[@]}"
  fi
  echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)" \
    "(other processes on the machine lengthen wall times; cpu is user + system)"
} | tee "$REPORT"
# The figures, with the conditions above, are kept in bench/RESULTS.md.
[[ "${RECORD:-1}" == 0 ]] ||
  python3 "$SRC/bench/results.py" drawings "Large drawings: tessaconv against its I/O floor" \
    <"$REPORT"
