#!/usr/bin/env bash
# Installs what building and running need (when missing), builds Quorvane and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --run
cmake -S . -B build -DQV_TESTS=OFF -DQV_BENCH=OFF -DQV_SANITIZE=OFF -DQV_FUZZ=OFF >/dev/null
cmake --build build -j"$(nproc)" --target quorvane
exec ./build/quorvane "$@"
