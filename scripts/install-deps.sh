#!/usr/bin/env bash
# Installs the Debian packages Quorvane needs to build, test and run; only those missing.
set -euo pipefail
pkgs=(build-essential cmake pkg-config libgtest-dev libbenchmark-dev libsdl2-dev libfreetype-dev
      libfontconfig-dev libstb-dev libassimp-dev fonts-dejavu-core fonts-liberation2
      fonts-comic-neue xvfb xdotool x11-utils imagemagick clang libclang-rt-14-dev
      libjpeg-dev)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
