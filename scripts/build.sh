#!/usr/bin/env bash
# Configures (when needed) and builds the project.
#   scripts/build.sh [BUILD_DIR] [extra cmake -D options...]
# BUILD_DIR defaults to $KRIN_BUILD_DIR or build/. A fresh build dir is configured as a
# Ninja Release build; extra options (re)configure an existing one. KRIN_JOBS sets the
# number of parallel jobs (default: all cores).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

dir="${1:-${KRIN_BUILD_DIR:-build}}"
(($#)) && shift

if [[ ! -f "$dir/build.ninja" || $# -gt 0 ]]; then
    cmake -G Ninja -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@"
fi
cmake --build "$dir" --parallel "${KRIN_JOBS:-$(nproc)}"
