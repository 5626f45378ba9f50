#!/usr/bin/env bash
# Configures and builds one build folder: scripts/build.sh FOLDER [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache hits across checkouts (CI clones into a new folder each time).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
dir=$1
shift
cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
