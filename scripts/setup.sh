#!/usr/bin/env bash
# One command from a fresh Debian 12 machine (as root) to a built project:
# installs the apt packages, builds raylib 6.0 into ${KRIN_DEPS:-/opt/krin-deps}/raylib
# (skipped when already there), then configures and builds build/.
# Env: KRIN_SKIP_APT=1 skips the package step; see also scripts/build-raylib.sh.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

packages=(
    # toolchain
    cmake ninja-build gcc g++ clang libclang-rt-14-dev pkg-config clang-format
    # tests
    googletest libgtest-dev libgmock-dev lua5.4 python3 curl
    # fetching and building raylib from Debian's source package
    dpkg-dev xz-utils ca-certificates debian-archive-keyring
    libsdl2-dev libgl-dev libegl-dev libgl1-mesa-dri libglx-mesa0 libegl-mesa0
    # a display for the graphics tests
    xvfb xauth xdotool x11-utils
    # the Windows cross build and its tests under Wine (scripts/test-windows.sh)
    g++-mingw-w64-x86-64-posix wine64
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' ||
        missing+=("$p")
done

if ((${#missing[@]} == 0)); then
    echo "setup: all packages present" >&2
elif [[ "${KRIN_SKIP_APT:-0}" == 1 ]]; then
    echo "setup: KRIN_SKIP_APT=1, not installing: ${missing[*]}" >&2
elif [[ $EUID -ne 0 ]]; then
    echo "setup: missing packages (${missing[*]}); run this script as root" >&2
    exit 1
else
    echo "setup: installing ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
fi

scripts/build-raylib.sh
scripts/build.sh build
