#!/usr/bin/env bash
# Installs everything the build, the game and the tests need (Debian 12, as root).
set -euo pipefail
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -o DPkg::Lock::Timeout=300 >/dev/null
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends \
  -o DPkg::Lock::Timeout=300 \
  g++ cmake ninja-build ccache pkg-config libgtest-dev libgmock-dev \
  libsdl2-dev libvorbis-dev libkissfft-dev libpng-dev libjpeg62-turbo-dev libturbojpeg0-dev \
  libfreetype-dev libfontconfig-dev \
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev \
  libgl-dev libegl-dev libgles-dev libgl1-mesa-dri libegl1 libegl-mesa0 libgles2 \
  xvfb xauth fonts-ipafont-gothic fonts-ipafont-mincho sound-theme-freedesktop ffmpeg \
  libbenchmark-dev clang libclang-rt-14-dev lua5.4 libpixman-1-dev vorbis-tools imagemagick \
  >/dev/null
