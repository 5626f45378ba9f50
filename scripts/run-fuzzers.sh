#!/usr/bin/env bash
# Runs every fuzz target in FOLDER for SECONDS each, several at a time; fails when one finds a
# crash or an undefined behaviour (the fuzz build stops at the first report). Each target first
# replays its fixed crash inputs from fuzz/regressions/<target>/, then starts from its seed
# corpus fuzz/corpus/<target>/ (read only) and grows its own corpus in the build folder.
# Corpora and findings are kept in build folders only (artifacts-<target>/), never in the tree.
#
#   FUZZ_PARALLEL  targets run at the same time (default: the number of processors)
#   FUZZ_JOBS      libFuzzer processes per target (-jobs and -workers; default 1): a long run
#                  on a shared machine might use FUZZ_PARALLEL=1 FUZZ_JOBS=2
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
dir=$(cd "$1" && pwd)
seconds=$2
parallel=${FUZZ_PARALLEL:-$(nproc)}
jobs=${FUZZ_JOBS:-1}
shopt -s nullglob
targets=("$dir"/*)
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets"; exit 0; }
status=0
running=0
for t in "${targets[@]}"; do
  [ -f "$t" ] && [ -x "$t" ] || continue
  name=$(basename "$t")
  mkdir -p "$dir/corpus-$name" "$dir/artifacts-$name"
  regress="$repo/fuzz/regressions/$name"
  seeds=()
  [ -d "$repo/fuzz/corpus/$name" ] && seeds=("$repo/fuzz/corpus/$name")
  parallel_args=()
  [ "$jobs" -gt 1 ] && parallel_args=(-jobs="$jobs" -workers="$jobs")
  (cd "$dir" &&
      { [ ! -d "$regress" ] || "./$name" "$regress"/* >"log-$name.txt" 2>&1; } &&
      "./$name" "$dir/corpus-$name" "${seeds[@]}" -max_total_time="$seconds" -rss_limit_mb=2048 \
      -timeout=10 -artifact_prefix="$dir/artifacts-$name/" "${parallel_args[@]}" \
      >>"log-$name.txt" 2>&1 &&
      ! grep -q "runtime error:" "log-$name.txt" &&
      echo "fuzz $name: ok" ||
      { echo "fuzz $name: FAILED"; tail -40 "log-$name.txt"; exit 1; }) &
  running=$((running + 1))
  if [ "$running" -ge "$parallel" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done
exit $status
