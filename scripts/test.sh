#!/usr/bin/env bash
# Sets up, builds and runs every test: the unit and end-to-end tests in a normal build, the
# tests again in a clang build under AddressSanitizer and UndefinedBehaviorSanitizer, and from
# that build each fuzz target for a short bounded time. Exits non-zero on any failure.
#   FUZZ_SECONDS   seconds per fuzz target (default 20; 0 skips fuzzing)
#   SKIP_SETUP=1   do not run apt-get
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${SKIP_SETUP:-0}" = 1 ] || scripts/setup.sh
jobs=$(nproc)

echo "== include wall: only platform/ includes OS and media headers"
scripts/check-includes.sh

echo "== normal build"
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd build && ctest --output-on-failure -j "$jobs" --timeout 300)

echo "== sanitizer build (clang, ASan + UBSan): the tests again, then the fuzz targets"
# One build serves both: every object carries the fuzzers' coverage hooks, so the fuzz targets
# link the objects the sanitized tests ran.
CC=clang CXX=clang++ scripts/build.sh build-san -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_FUZZ=ON -DVELMORA_BENCH=OFF
(cd build-san && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure -j "$jobs" --timeout 600)

fuzz_seconds=${FUZZ_SECONDS:-20}
if [ "$fuzz_seconds" != 0 ]; then
  echo "== fuzz targets, ${fuzz_seconds}s each"
  scripts/run-fuzzers.sh build-san/fuzz "$fuzz_seconds"
fi
