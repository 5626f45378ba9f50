#!/usr/bin/env bash
# Sets up, builds and starts the demo game (build/demo/). With no display it runs headless.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${SKIP_SETUP:-0}" = 1 ] || scripts/setup.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
game=build/demo
[ -x "$game/Velmora" ] || game=build/bin
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: running headless."
  export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-dummy} SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
  # Nobody can click: scripted input presses the title button, then picks "Play the scene".
  export VELMORA_INPUT_SCRIPT=${VELMORA_INPUT_SCRIPT:-"30:800000@640,360;32:0;150:0@640,430;154:800000;156:0;210:0@640,320;214:800000;216:0"}
  exec "$game/Velmora" /DIB "$@"
fi
exec "$game/Velmora" "$@"
