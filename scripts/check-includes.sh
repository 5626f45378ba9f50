#!/usr/bin/env bash
# Code above platform/ never includes an OS or media header: the game logic stays portable and
# every such call goes through our stand-ins in platform/.
set -euo pipefail
cd "$(dirname "$0")/.."
pattern='#\s*include\s*[<"](SDL|GL/|EGL/|libav|libsw|ft2build|freetype/|fontconfig/|png\.h|jpeglib|turbojpeg|iconv|vorbis/|unistd|fcntl|dlfcn|pthread|sys/|dirent|windows\.h|poll\.h|signal\.h)'
hits=$(grep -rnE "$pattern" Orv program shared Lumo 2>/dev/null || true)
if [ -n "$hits" ]; then
  echo "OS or media headers outside platform/:"
  echo "$hits"
  exit 1
fi
