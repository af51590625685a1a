#!/usr/bin/env bash
# Installs the Debian 12 packages Quorvane needs; only those missing.
#   install-deps.sh --run    what building and running the program need (scripts/run.sh)
#   install-deps.sh --test   that and the test tool chain: GoogleTest, Google Benchmark, the X
#                            server and tools of the end-to-end tests, clang with libFuzzer, and
#                            a locale with a decimal comma (scripts/test.sh; the default)
set -euo pipefail

# Compiler and build tools; SDL2 and X11 (windows, shapes), FreeType and fontconfig (text),
# stb_image, libjpeg and Assimp (pictures and meshes).
build=(build-essential cmake pkg-config libsdl2-dev libx11-dev libxext-dev libfreetype-dev
       libfontconfig-dev libstb-dev libjpeg-dev libassimp-dev)
# The faces the program's font names resolve to through fontconfig.
fonts=(fonts-dejavu-core fonts-liberation2 fonts-comic-neue)
# Tests: GoogleTest, Google Benchmark; the end-to-end tests' X server (Xvfb), xdotool, xwininfo
# (x11-utils) and import (imagemagick); clang and libFuzzer for the fuzz targets; the locale
# sources for the decimal-comma test's locale.
tests=(libgtest-dev libbenchmark-dev xvfb xdotool x11-utils imagemagick clang libclang-rt-14-dev locales)

case "${1:---test}" in
  --run) pkgs=("${build[@]}" "${fonts[@]}"); with_tests=0 ;;
  --test) pkgs=("${build[@]}" "${fonts[@]}" "${tests[@]}"); with_tests=1 ;;
  *) echo "usage: $0 [--run | --test]" >&2; exit 2 ;;
esac

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Run this as root, or install sudo." >&2; exit 1; }
  sudo="sudo"
fi

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A number test reads under a locale whose decimal separator is a comma.
if [ "$with_tests" -eq 1 ] && ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "Making the de_DE.UTF-8 locale"
  $sudo localedef -i de_DE -c -f UTF-8 de_DE.UTF-8
fi
