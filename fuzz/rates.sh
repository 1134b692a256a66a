#!/usr/bin/env bash
# Executions per second of fuzz targets on the small seeds: each target
# mutates from the fixture writers' drawings only (no kept corpus, no real
# drawings), with a fresh work folder, a fixed random seed and run.sh's
# limits, for a given time.  One line per target and build folder:
# executions, wall and processor seconds (user + system of the fuzzer
# process), executions per second of each, coverage and features.
#
#   fuzz/rates.sh [-t SECONDS] BUILD_DIR[...] -- TARGET[...]
#
#   -t  seconds per run (default 30)
#   BUILD_DIR: folders whose fuzz/ holds the targets (built already, e.g.
#       by run.sh); several compare builds (with and without sanitizers,
#       before and after a change)
#   TARGET: pipeline, api, jww, ... (default: pipeline api)
#
# Runs one after the other under `nice -n 19`; a busy machine lowers the
# wall rates, the file-based pipeline's most (it waits for the disk).
set -u
secs=30
while getopts "t:" opt; do
  case $opt in
    t) secs=$OPTARG ;;
    *) sed -n '2,17p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
builds=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do builds+=("$(cd "$1" && pwd)"); shift; done
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(pipeline api)
[ ${#builds[@]} -gt 0 ] || { sed -n '2,17p' "$0"; exit 2; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=0}"
printf '%-28s %-9s %8s %7s %7s %7s %10s %6s %6s\n' build target execs wall cpu exec/s exec/cpu-s cov ft
for b in "${builds[@]}"; do
  seeds="$tmp/seeds"
  rm -rf "$seeds"; mkdir -p "$seeds/all"
  "$b/fuzz/fuzz_make_seeds" "$seeds/all" >/dev/null || exit 2
  for t in "${targets[@]}"; do
    mkdir -p "$seeds/$t" "$tmp/work-$t"
    rm -rf "${tmp:?}/work-$t"/*
    for f in "$seeds/all/$t"-*; do [ -f "$f" ] && cp "$f" "$seeds/$t/"; done
    log="$tmp/$t.log"
    /usr/bin/time -f "TIME %U %S %e" -o "$tmp/time" nice -n 19 "$b/fuzz/fuzz_$t" -seed=1 \
      -max_total_time="$secs" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
      -malloc_limit_mb=512 -print_final_stats=1 "$tmp/work-$t" "$seeds/$t" >"$log" 2>&1
    execs=$(sed -nE 's/^stat::number_of_executed_units: ([0-9]+)/\1/p' "$log")
    read -r _ user sys wall <"$tmp/time"
    read -r cov ft < <(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | sed -nE 's/.*cov: ([0-9]+).*ft: ([0-9]+).*/\1 \2/p')
    awk -v b="$(basename "$(dirname "$b")")/$(basename "$b")" -v t="$t" -v n="${execs:-0}" \
      -v u="$user" -v s="$sys" -v w="$wall" -v c="${cov:-?}" -v f="${ft:-?}" 'BEGIN {
        printf "%-28s %-9s %8d %7.1f %7.1f %7.0f %10.0f %6s %6s\n", b, t, n, w, u + s, n / w, n / (u + s), c, f }'
  done
done
