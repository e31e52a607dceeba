#!/bin/bash
# Runs every fuzzer of fuzz/ at length: a number of inputs each (default 10 million), with no
# time limit, one after the other, and prints one table at the end with the inputs each fuzzer
# tried and the crashes it found. Builds the native fuzzers first if needed. (The tests run each
# fuzzer briefly; this is the long run.)
#
#   bash scripts/fuzz.sh [-runs=N] [FUZZER...] [-- LIBFUZZER_OPTION...]
#
# FUZZER names (record_fields_fuzz, ...) pick some fuzzers; LIBFUZZER_OPTIONs go to each run
# (-max_total_time=5400 puts a time limit back, say). A fuzzer stops at its first crash; the
# input that crashed it is kept as build/native/fuzz/long-runs/NAME-crash-... . Each fuzzer's
# corpus grows in build/native/fuzz/long-runs/NAME-corpus, so a later run starts from it, and
# its output is in build/native/fuzz/long-runs/NAME.log. Exits 1 when any fuzzer crashed.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=10000000
selected=()
extra=()
while [ $# -gt 0 ]; do
  case $1 in
    -runs=*) runs=${1#-runs=} ;;
    --) shift; extra=("$@"); break ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
    *) selected+=("$1") ;;
  esac
  shift
done

cmake --preset native >/dev/null
cmake --build --preset native >/dev/null

fuzz_dir=build/native/fuzz
out=$fuzz_dir/long-runs
mkdir -p "$out"

# The fuzzers and their dictionaries, as fuzz/CMakeLists.txt declares them:
# "orvane_add_fuzzer(name source [dictionary])".
declare -A dictionary
fuzzers=()
while read -r name _ dict; do
  fuzzers+=("$name")
  dictionary[$name]=$dict
done < <(sed -n 's/^orvane_add_fuzzer(\([^)]*\))$/\1/p' fuzz/CMakeLists.txt)
[ ${#selected[@]} -gt 0 ] && fuzzers=("${selected[@]}")

# The inputs a run tried: libFuzzer's final count, or its last progress line when it ended on a
# crash before printing one.
inputs_tried() {
  local log=$1 count
  count=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -1)
  [ -n "$count" ] || count=$(sed -n 's/^#\([0-9]*\).*/\1/p' "$log" | tail -1)
  echo "${count:-0}"
}

rows=()
crashed=0
for name in "${fuzzers[@]}"; do
  binary=$fuzz_dir/$name
  if [ ! -x "$binary" ]; then
    echo "fuzz.sh: no fuzzer $name in $fuzz_dir" >&2
    exit 2
  fi
  corpus=$out/$name-corpus
  log=$out/$name.log
  mkdir -p "$corpus"
  args=(-runs="$runs" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1
    -artifact_prefix="$out/$name-crash-")
  [ -n "${dictionary[$name]:-}" ] && args+=(-dict="fuzz/${dictionary[$name]}")
  echo "fuzz.sh: $name, $runs inputs ..." >&2
  rm -f "$out/$name-crash-"*
  started=$(date +%s)
  status=0
  "$binary" "${args[@]}" "${extra[@]}" "$corpus" >"$log" 2>&1 || status=$?
  seconds=$(($(date +%s) - started))
  crashes=$(find "$out" -maxdepth 1 -name "$name-crash-*" | wc -l)
  # A fuzzer that failed without leaving an input (it could not start, say) counts as crashed.
  if [ "$status" -ne 0 ] && [ "$crashes" -eq 0 ]; then crashes=1; fi
  [ "$crashes" -gt 0 ] && crashed=1
  tried=$(inputs_tried "$log")
  rate=$((tried / (seconds > 0 ? seconds : 1)))
  rows+=("$(printf '| %-22s | %12s | %7s | %8s | %9s |' "$name" "$tried" "$crashes" "$seconds" "$rate")")
done

printf '| %-22s | %12s | %7s | %8s | %9s |\n' fuzzer inputs crashes seconds inputs/s
printf '|%s|%s|%s|%s|%s|\n' ------------------------ -------------- --------- ---------- -----------
printf '%s\n' "${rows[@]}"
exit $crashed
