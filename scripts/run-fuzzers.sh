#!/usr/bin/env bash
# Runs every libFuzzer target of a build for a bounded time and fails if any of them finds a
# crash, a leak or a hang.
#
#   bash scripts/run-fuzzers.sh [build dir, default build/asan] [seconds per target, default 15]
#
# Seeds come from fuzz/corpus/<name>/ when that folder exists; what a run finds is kept in
# <build dir>/fuzz-corpus/<name>/, so later runs start from there. A crashing input is saved as
# <build dir>/fuzz-artifacts/<name>/crash-*; reproduce it with
#   <build dir>/bin/fuzz_<name> <that file>
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/asan}
seconds=${2:-${FUZZ_SECONDS:-15}}

shopt -s nullglob
targets=("$build"/bin/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
  if compgen -G "$root/fuzz/*.cpp" >/dev/null; then
    echo "run-fuzzers: no fuzz targets in $build/bin; build it with VITRINE_FUZZ=ON (the asan preset)" >&2
    exit 1
  fi
  echo "run-fuzzers: no fuzz/*.cpp yet, nothing to run"
  exit 0
fi

passed=0
failed=()
for exe in "${targets[@]}"; do
  [ -x "$exe" ] || continue
  name=${exe##*/fuzz_}
  work=$build/fuzz-corpus/$name
  artifacts=$build/fuzz-artifacts/$name
  mkdir -p "$work" "$artifacts"
  dirs=("$work")
  [ -d "$root/fuzz/corpus/$name" ] && dirs+=("$root/fuzz/corpus/$name")
  log=$build/fuzz-artifacts/$name.log
  echo "run-fuzzers: $name for ${seconds}s (seeds: ${dirs[*]})"
  # New inputs go to the first folder only; the checked-in seeds stay as they are.
  ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} \
  LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/cmake/lsan.supp:print_suppressions=0} \
  UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
    "$exe" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=25 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "${dirs[@]}" </dev/null >"$log" 2>&1
  rc=$?
  if [ $rc -eq 0 ]; then
    passed=$((passed + 1))
    grep -E '^stat::number_of_executed_units' "$log" | sed "s/^/  /"
  else
    failed+=("$name")
    echo "run-fuzzers: $name FAILED (exit $rc); the end of $log:" >&2
    tail -n 60 "$log" >&2
    ls "$artifacts" >&2
  fi
done

echo "fuzzers: ${passed} passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
