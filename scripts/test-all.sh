#!/usr/bin/env bash
# Everything CI checks, from a fresh Debian 12 machine: installs the tools, fetches the test
# pictures, cross-builds the Windows libraries, builds and tests the native, asan, win32 and
# win64 presets (build/native, build/asan, build/win32, build/win64), then runs the fuzzers
# for a bounded time. The win64 tests run under wine64 on every machine; the win32 ones are
# reported skipped where the kernel cannot run 32-bit programs.
# Every stage runs even after a failure; the exit status is non-zero if any stage failed.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-2}
export DEBIAN_FRONTEND=noninteractive

names=()
results=()
seconds=()
failures=0
declare -A notes=()
total_passed=0
total_failed=0
total_skipped=0

# stage <name> <command...>: runs it, times it, remembers the result.
stage() {
  local name=$1
  shift
  echo
  echo "==== $name: $*"
  local start=$SECONDS rc=0
  "$@" </dev/null || rc=$?
  names+=("$name")
  seconds+=($((SECONDS - start)))
  if [ $rc -eq 0 ]; then
    results+=(ok)
  elif [ $rc -eq 77 ]; then  # the stage could not apply here and said why (flash-reference)
    results+=(skipped)
    rc=0
  else
    results+=("FAILED ($rc)")
    failures=$((failures + 1))
  fi
  echo "==== $name: ${results[-1]} in $((SECONDS - start)) s"
  return $rc
}

summary() {
  echo
  echo "==== stage times"
  local i
  for i in "${!names[@]}"; do
    printf '%-16s %6d s  %s%s\n' "${names[$i]}" "${seconds[$i]}" "${results[$i]}" "${notes[${names[$i]}]:+  (${notes[${names[$i]}]})}"
  done
  printf '%-16s %6d s\n' total "$SECONDS"
  echo "tests: $total_passed passed, $total_failed failed, $total_skipped skipped"
}
trap summary EXIT

# Why the win32 tests skip on this machine, if they do.
win32_skip_reason() {
  if [ ! -x /usr/lib/wine/wine ]; then
    echo "no 32-bit Wine installed"
  elif ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "the kernel refuses 32-bit programs"
  fi
}

# run_ctest <preset>: the preset's tests, with their passed/skipped/failed counts kept for the
# summary (a skipped test is one that exited 77: no 32-bit Wine, or no reference player).
# A test program that fails is run once more, its output shown, before it counts as failed:
# on a loaded two-core machine a test that drives a real X server or Wine now and then
# misses a deadline, and a fault that is real fails both times.
run_ctest() {
  local preset=$1 log=build/$1/ctest.log rc=0
  ctest --preset "$preset" --no-tests=error --repeat until-pass:2 --output-on-failure 2>&1 | tee "$log" || rc=1
  [ "${PIPESTATUS[0]}" -eq 0 ] || rc=1
  local line total failed skipped passed
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  failed=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
  skipped=$(grep -cE '^[[:space:]]*[0-9]+ - .*\(Skipped\)$' "$log")
  [ -n "$total" ] || total=0
  [ -n "$failed" ] || failed=0
  passed=$((total - failed - skipped))
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  total_skipped=$((total_skipped + skipped))
  local note="$passed passed, $failed failed, $skipped skipped"
  if [ "$skipped" -gt 0 ] && [ "$preset" = win32 ]; then
    local why
    why=$(win32_skip_reason)
    [ -n "$why" ] && note="$note: $why"
  fi
  notes[$preset-test]=$note
  echo "==== $preset: $note"
  return $rc
}

stage setup bash scripts/setup-debian.sh || { echo "cannot go on without the tools" >&2; exit 1; }
stage corpus bash scripts/fetch-corpus.sh
declare -A deps_ok=()
for arch in win32 win64; do
  stage "$arch-deps" bash scripts/build-win-deps.sh "$arch"
  deps_ok[$arch]=$?
done

for preset in native asan win32 win64; do
  if [ -n "${deps_ok[$preset]+x}" ] && [ "${deps_ok[$preset]}" -ne 0 ]; then
    continue
  fi
  stage "$preset-config" cmake --preset "$preset" &&
    stage "$preset-build" cmake --build --preset "$preset" &&
    stage "$preset-test" run_ctest "$preset"
done

if [ -x build/native/bin/flash_tests ]; then
  stage flash-reference bash tests/flash/reference/run.sh build/native
fi

if [ -d build/asan/bin ]; then
  stage fuzz bash scripts/run-fuzzers.sh build/asan "${FUZZ_SECONDS:-10}"
fi

[ $failures -eq 0 ]
