#!/usr/bin/env bash
# Builds (if needed) and runs every test under one virtual X display.
#   scripts/test.sh [BUILD_DIR] [extra ctest args...]
# BUILD_DIR defaults to $KRIN_BUILD_DIR or build/; a fresh one is configured like
# scripts/setup.sh does. All tests share one Xvfb server (DISPLAY is set for them).
# Env: KRIN_NO_XVFB=1 uses the current DISPLAY instead, KRIN_TEST_TIMEOUT (seconds,
# default 300) caps tests that set no TIMEOUT of their own, CTEST_PARALLEL_LEVEL.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

dir="${1:-${KRIN_BUILD_DIR:-build}}"
(($#)) && shift

scripts/build.sh "$dir"

# Under Xvfb SDL picks x11 anyway; naming it makes a broken display fail loudly instead of
# SDL quietly falling back to its offscreen driver.
export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-x11}"
export CTEST_PARALLEL_LEVEL="${CTEST_PARALLEL_LEVEL:-$(nproc)}"
ctest_cmd=(ctest --test-dir "$dir" --output-on-failure --no-tests=error
    --timeout "${KRIN_TEST_TIMEOUT:-300}" "$@")

if [[ "${KRIN_NO_XVFB:-0}" == 1 ]]; then
    exec "${ctest_cmd[@]}"
fi
command -v xvfb-run >/dev/null || {
    echo "test.sh: xvfb-run not found (apt-get install xvfb xauth, or KRIN_NO_XVFB=1)" >&2
    exit 1
}
# -s replaces xvfb-run's server args, so the 24-bit screen is spelled out. -noreset: a server
# left without clients resets, and cuts off a script that closed its window to open another.
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" "${ctest_cmd[@]}"
