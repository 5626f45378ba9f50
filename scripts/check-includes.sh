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

# The game program uses only the stateless pieces of platform/. The pieces with state (the
# clock, the file-name listing cache, the window, input, mixer and the rest) belong to
# libOrv.so, and the game reaches them through its exports, so that the process has one clock
# and one view of the files (README, "Platform pieces with state").
# command_log_file keeps state, but only the game program's own (its test seam's file, which the
# library never opens).
allowed='command_log_file|console|dynlib|file_handle|local_time|message_box|program_path|sjis|sleep|system_query|user_folders|window_title'
hits=$(grep -rnE '#\s*include\s*"platform/' program 2>/dev/null |
  grep -vE "#\s*include\s*\"platform/($allowed)\.h\"" || true)
if [ -n "$hits" ]; then
  echo "platform/ pieces with state included by the game program (use the Orv exports):"
  echo "$hits"
  exit 1
fi
