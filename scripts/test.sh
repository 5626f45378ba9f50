#!/usr/bin/env bash
# Sets up, builds and runs every test: the unit and end-to-end tests in a normal build, the
# fuzz targets for a short bounded time each, and the tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer. Exits non-zero on any failure.
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

fuzz_seconds=${FUZZ_SECONDS:-20}
if [ "$fuzz_seconds" != 0 ] && command -v clang++ >/dev/null; then
  echo "== fuzz targets, ${fuzz_seconds}s each"
  CC=clang CXX=clang++ scripts/build.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_FUZZ=ON
  scripts/run-fuzzers.sh build-fuzz/fuzz "$fuzz_seconds"
fi

echo "== sanitizer build (ASan + UBSan)"
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON \
  -DVELMORA_BENCH=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j "$jobs" --timeout 600)
