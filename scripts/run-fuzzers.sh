#!/usr/bin/env bash
# Runs every fuzz target in FOLDER for SECONDS each, several at a time; fails when one finds a
# crash. Each target first replays its fixed crash inputs from fuzz/regressions/<target>/.
# Corpora and findings are kept in build folders only (artifacts-<target>/), never in the tree.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
dir=$(cd "$1" && pwd)
seconds=$2
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
  (cd "$dir" &&
      { [ ! -d "$regress" ] || "./$name" "$regress"/* >"log-$name.txt" 2>&1; } &&
      "./$name" "corpus-$name" -max_total_time="$seconds" -rss_limit_mb=2048 \
      -timeout=10 -artifact_prefix="artifacts-$name/" >>"log-$name.txt" 2>&1 &&
      echo "fuzz $name: ok" ||
      { echo "fuzz $name: FAILED"; tail -40 "log-$name.txt"; exit 1; }) &
  running=$((running + 1))
  if [ "$running" -ge "$(nproc)" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done
exit $status
