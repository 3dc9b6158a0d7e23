#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/, clang and libFuzzer with the address and
# undefined-behaviour sanitizers) and runs each one in turn.
#
#   scripts/fuzz.sh [seconds per target] [target...]
#
# 60 seconds each by default; FUZZ_RUNS=N runs each for N executions instead.
# Every target starts from its seeds (fuzz/seeds/<target>) and the corpus
# kept in build/fuzz/corpus/<target>; an input that breaks a target is saved
# in build/fuzz/findings/<target>/ and the script fails. Each target's
# executions, speed and coverage are printed at the end. Expects the set-up
# of scripts/setup.sh (clang, the instrumented libjpeg-turbo).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
seconds=${1:-60}
[ $# -gt 0 ] && shift
BUILD=build/fuzz

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/*.cpp; do
    name=$(basename "$source" .cpp)
    [ "$name" = FuzzSupport ] || targets+=("$name")
  done
fi

limit=(-max_total_time="$seconds")
[ -n "${FUZZ_RUNS:-}" ] && limit=(-runs="$FUZZ_RUNS")
failed=0
summary=()
for name in "${targets[@]}"; do
  corpus="$BUILD/corpus/$name" findings="$BUILD/findings/$name" log="$BUILD/logs/$name.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  echo "== fuzz_$name"
  # A decode that runs for 10 s or takes 2 GB is a finding like a crash.
  if "$BUILD/bin/fuzz_$name" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$corpus" "fuzz/seeds/$name" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    failed=1
    grep -E 'ERROR|property broken|SUMMARY|Test unit written' "$log" | head -n 8 || true
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n1)
  cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -n1)
  summary+=("$(printf '%-16s %-6s %10s runs %7s/s  %s' "$name" "$result" "${runs:-?}" "${speed:-?}" "${cov:-}")")
done
printf '%s\n' "${summary[@]}"
exit $failed
