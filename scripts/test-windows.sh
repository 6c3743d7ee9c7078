#!/usr/bin/env bash
# Cross-builds krin.exe, krin-sfx.exe and krin-pack.exe for 64-bit Windows and runs the test
# suite against them under Wine: the script tests, the launcher and packer tests, the Windows
# path tests and a window smoke test.
#   scripts/test-windows.sh [BUILD_DIR] [extra ctest args...]
# BUILD_DIR defaults to build-win/. raylib for Windows is built first when missing
# (scripts/build-raylib-windows.sh). The Wine prefix lives in BUILD_DIR/wineprefix.
# Env: KRIN_JOBS (parallel build jobs, default 2), KRIN_TEST_TIMEOUT (seconds, default 300).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

dir="${1:-build-win}"
(($#)) && shift
jobs="${KRIN_JOBS:-2}"

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
for tool in x86_64-w64-mingw32-g++-posix "$wine" "$wineserver" xvfb-run python3; do
    command -v "$tool" >/dev/null || {
        echo "test-windows.sh: '$tool' not found; run scripts/setup.sh" >&2
        exit 1
    }
done

start=$SECONDS
KRIN_JOBS="$jobs" scripts/build-raylib-windows.sh
if [[ ! -f "$dir/build.ninja" ]]; then
    cmake -G Ninja -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
        -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$dir" --parallel "$jobs"
echo "test-windows.sh: built in $((SECONDS - start))s" >&2

export WINEPREFIX="$PWD/$dir/wineprefix"
export WINEDEBUG=-all
# No Mono or Gecko installers: the tests need neither, and there is no network for them.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    echo "test-windows.sh: creating the Wine prefix $WINEPREFIX" >&2
    "$wine" wineboot --init >/dev/null 2>&1
    "$wineserver" -w
fi
# One server for the whole run: a Wine process that has to start the server first takes
# seconds, which the tests that time scripts would count.
# A server left over from an earlier run of this prefix goes first.
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true
"$wineserver" -p
trap '"$wineserver" -k 2>/dev/null || true' EXIT

# Wine's desktop process binds to the display of the first program that starts it, so the
# whole run, warm-up included, shares one Xvfb server.
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" bash -c '
    "$1" cmd /c exit >/dev/null 2>&1 || true
    shift
    exec ctest "$@"' _ "$wine" --test-dir "$dir" --output-on-failure --no-tests=error \
    --timeout "${KRIN_TEST_TIMEOUT:-300}" "$@"
echo "test-windows.sh: done in $((SECONDS - start))s" >&2
