#!/usr/bin/env bash
# Configures and builds into build/ (extra CMake arguments pass through).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja "$@"
cmake --build build -j "$(nproc)"
