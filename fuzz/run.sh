#!/usr/bin/env bash
# Runs the fuzz targets, one after the other on one core, each for a given
# time, over the kept corpus (fuzz/corpus/<target>) plus seeds: the real
# drawings of ../shared/samples, small drawings of every format written by
# fuzz_make_seeds, and the regression inputs of tests/hardening/regress.
#
#   fuzz/run.sh [-b BUILD_DIR] [-t SECONDS] [-u] [-l MAX_LEN] [-k KB] [-m KB] [-x SECONDS]
#               [TARGET...]
#
#   -b  build folder (default: build-fuzz beside this script's parent);
#       configured with clang, TESSA_FUZZ and TESSA_SANITIZE when it holds no
#       CMake cache yet; the fuzz targets are (re)built in it
#   -t  seconds per target (default 60)
#   -u  afterwards, minimise what was found into fuzz/corpus/<target>
#       (-merge=1: only inputs that add coverage beyond the seeds, smallest
#       first, up to a size cap)
#   -l  largest input libFuzzer makes (default 65536)
#   -x  seconds one input may take before it counts as a hang (default 10;
#       1 on a quiet machine, where no input of the kept corpus comes near)
#   -m  with -u, most kept per target in KB (default 64): the smallest stay
#   -k  with -u, largest input kept in fuzz/corpus, in KB (default 4; 6 for
#       jwc, pipeline and api, whose smallest valid files are larger; 2 for jwk)
#   TARGET: jww jws jwc jwk pipeline api (default: all six)
#
# New inputs accumulate in BUILD_DIR/fuzz-work/<target>, so repeated runs
# go on where the last one stopped.  Crashes, leaks, sanitizer reports,
# time-outs (a hang) and out-of-memory inputs are written to
# BUILD_DIR/fuzz-artifacts/<target>/ and make the script exit with 1.  One
# line per target with executions, seconds, coverage (edges), features and
# the execution count of the last input that added coverage goes to stdout
# and is appended to BUILD_DIR/fuzz-stats.txt; the full log of each run
# stays in BUILD_DIR/fuzz-logs/.
# The whole script is one function, read completely before it runs, so
# that editing this file while a long run goes on cannot disturb it.
main() {
set -u
here=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")" && pwd)
root=$(cd "$here/.." && pwd)
build="$root/build-fuzz"
secs=60
update=0
maxlen=65536
keepkb=
budgetkb=64
hang=10
while getopts "b:t:ul:k:m:x:" opt; do
  case $opt in
    b) build=$(mkdir -p "$OPTARG" && cd "$OPTARG" && pwd) ;;
    t) secs=$OPTARG ;;
    u) update=1 ;;
    l) maxlen=$OPTARG ;;
    k) keepkb=$OPTARG ;;
    m) budgetkb=$OPTARG ;;
    x) hang=$OPTARG ;;
    *) sed -n '2,32p' "${BASH_SOURCE[0]}"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(jww jws jwc jwk pipeline api)

pick() { for c in "$@"; do command -v "$c" >/dev/null 2>&1 && { echo "$c"; return; }; done; }
if [ ! -f "$build/CMakeCache.txt" ]; then
  cc=$(pick clang clang-14); cxx=$(pick clang++ clang++-14)
  [ -n "$cxx" ] || { echo "run.sh: clang++ not found" >&2; exit 2; }
  cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSA_FUZZ=ON -DTESSA_SANITIZE=ON >/dev/null || exit 2
fi
build_targets=(fuzz_make_seeds)
for t in "${targets[@]}"; do build_targets+=("fuzz_$t"); done
cmake --build "$build" -j2 --target "${build_targets[@]}" >/dev/null || {
  echo "run.sh: build failed" >&2; exit 2; }

# Seeds: generated drawings, the real drawings (prefixed with option bytes
# for the whole-conversion targets; fuzz_api's differ from one drawing to
# the next) and the regression inputs.
seeds="$build/fuzz-seeds"
rm -rf "$seeds"
mkdir -p "$seeds/all" "$seeds/jww" "$seeds/jws" "$seeds/jwc" "$seeds/jwk" "$seeds/pipeline" \
  "$seeds/api"
"$build/fuzz/fuzz_make_seeds" "$seeds/all" || exit 2
for t in jww jws jwc jwk pipeline api; do
  for f in "$seeds/all/$t"-*; do [ -f "$f" ] && cp "$f" "$seeds/$t/"; done
done
samples="$root/../shared/samples"
if [ -d "$samples" ]; then
  n=0
  while IFS= read -r -d '' f; do
    n=$((n + 1))
    case "${f,,}" in
      *.jww) cp "$f" "$seeds/jww/sample-$n"; fmt='\000'; fmt8=0 ;;
      *.jws) cp "$f" "$seeds/jws/sample-$n"; fmt='\001'; fmt8=1 ;;
      *) continue ;;
    esac
    { printf "$fmt"'\000\000'; cat "$f"; } >"$seeds/pipeline/sample-$n"
    # fuzz_api: R12 in model space; R2000 in paper space with printer pens,
    # group 1's scale and diamond markers of size 1; R2007 with layer names,
    # group 15's scale and circles of size 2.5, checked against the separate
    # entries too (see fuzz/FuzzApiInput.h).
    case $((n % 3)) in
      0) opts=$fmt'\000\000' ;;
      1) opts=$(printf '\\%03o' $((fmt8 | 0x34)))'\201\001' ;;
      2) opts=$(printf '\\%03o' $((fmt8 | 0x48)))'\057\363' ;;
    esac
    { printf "$opts"; cat "$f"; } >"$seeds/api/sample-$n"
  done < <(find "$samples" -type f \( -iname '*.jww' -o -iname '*.jws' \) -print0)
fi
regress="$root/tests/hardening/regress"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=0:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

status=0
stats="$build/fuzz-stats.txt"
for t in "${targets[@]}"; do
  bin="$build/fuzz/fuzz_$t"
  work="$build/fuzz-work/$t"
  kept="$here/corpus/$t"
  art="$build/fuzz-artifacts/$t"
  log="$build/fuzz-logs/$t-$(date -u +%Y%m%dT%H%M%S).log"
  mkdir -p "$work" "$kept" "$art" "$(dirname "$log")"
  dirs=("$work" "$kept" "$seeds/$t")
  [ -d "$regress/$t" ] && dirs+=("$regress/$t")
  existing=()
  for d in "${dirs[@]}"; do [ -d "$d" ] && existing+=("$d"); done

  "$bin" -max_total_time="$secs" -max_len="$maxlen" -timeout="$hang" -rss_limit_mb=2048 \
    -malloc_limit_mb=512 -print_final_stats=1 -artifact_prefix="$art/" \
    "${existing[@]}" >"$log" 2>&1
  rc=$?
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1)
  runs=$(grep -Eo '^Done [0-9]+ runs in [0-9]+ second' "$log" | tail -1)
  cov=$(sed -nE 's/.*cov: ([0-9]+).*/\1/p' <<<"$done_line")
  ft=$(sed -nE 's/.*ft: ([0-9]+).*/\1/p' <<<"$done_line")
  execs=$(sed -nE 's/^Done ([0-9]+) runs in ([0-9]+) second.*/\1/p' <<<"$runs")
  took=$(sed -nE 's/^Done ([0-9]+) runs in ([0-9]+) second.*/\2/p' <<<"$runs")
  last=$(grep -E '^#[0-9]+[[:space:]]+NEW' "$log" | tail -1 | sed -nE 's/^#([0-9]+).*/\1/p')
  line="$(date -u +%Y-%m-%dT%H:%MZ) fuzz_$t execs=${execs:-?} seconds=${took:-?} cov=${cov:-?} ft=${ft:-?} last_new_at=${last:-none} rc=$rc"
  echo "$line" | tee -a "$stats"
  if [ $rc -ne 0 ]; then
    status=1
    echo "fuzz_$t: failure, see $log and $art" >&2
    grep -E 'ERROR|SUMMARY|FUZZ_CHECK|runtime error|Test unit written' "$log" | head -20 >&2
  fi

  if [ $update -eq 1 ] && [ $rc -eq 0 ]; then
    # Kept: only what adds coverage beyond the seeds (which every run
    # loads anyway), and only inputs up to the size cap, so the corpus
    # stays small.  The seeds go into the merge folder first and out again.
    cap=$keepkb
    if [ -z "$cap" ]; then
      case $t in jwc|pipeline|api) cap=6 ;; jwk) cap=2 ;; *) cap=4 ;; esac
    fi
    fresh="$build/fuzz-merge/$t"; pool="$build/fuzz-merge/$t.pool"
    rm -rf "$fresh" "$pool"; mkdir -p "$fresh" "$pool"
    for d in "${existing[@]:2}"; do cp -n "$d"/* "$fresh"/ 2>/dev/null; done
    ls "$fresh" >"$build/fuzz-merge/$t.seednames"
    find "$kept" "$work" -type f -size -"$((cap + 1))"k -exec cp -n -t "$pool" {} + 2>/dev/null
    if "$bin" -merge=1 -max_len="$maxlen" -timeout=10 -rss_limit_mb=2048 "$fresh" "$pool" \
      >"${log%.log}.merge.log" 2>&1; then
      (cd "$fresh" && xargs -d '\n' rm -f <"$build/fuzz-merge/$t.seednames")
      # Within the budget: the smallest inputs stay.
      total=0
      while IFS= read -r f; do
        size=$(stat -c %s "$fresh/$f")
        if [ $((total + size)) -gt $((budgetkb * 1024)) ]; then rm -f "$fresh/$f"; else total=$((total + size)); fi
      done < <(ls -Sr "$fresh")
      rm -rf "$kept"; mv "$fresh" "$kept"
    fi
    rm -rf "$pool"
    echo "fuzz_$t: kept corpus $(ls "$kept" | wc -l) files, $(du -sk "$kept" | cut -f1) KB"
  fi
done
return $status
}
main "$@"
exit $?
