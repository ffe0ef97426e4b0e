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
    printf '%-16s %6d s  %s\n' "${names[$i]}" "${seconds[$i]}" "${results[$i]}"
  done
  printf '%-16s %6d s\n' total "$SECONDS"
}
trap summary EXIT

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
    stage "$preset-test" ctest --preset "$preset" --no-tests=error
done

if [ -x build/native/bin/flash_tests ]; then
  stage flash-reference bash tests/flash/reference/run.sh build/native
fi

if [ -d build/asan/bin ]; then
  stage fuzz bash scripts/run-fuzzers.sh build/asan "${FUZZ_SECONDS:-15}"
fi

[ $failures -eq 0 ]
