#!/usr/bin/env bash
# Builds raylib 6.0 from Debian's own source package as a static library and installs
# it under ${KRIN_DEPS:-/opt/krin-deps}:
#   scripts/build-raylib.sh            for this machine, on the SDL platform, into raylib/
#   scripts/build-raylib.sh --windows  for 64-bit Windows with MinGW-w64, on the RGFW
#                                      platform (Win32 and WGL, no GLFW or SDL), into
#                                      raylib-win64/
#
# Debian 12 has no raylib 6.0 and its GLFW is older than raylib's GLFW platform needs,
# so the source comes from Debian unstable and the Linux window/input layer is SDL2.
# The source is fetched through a private apt setup: the system's sources and lists stay
# untouched. A finished install is recognised by its stamp and reused.
#
# Needs (installed by scripts/setup.sh): cmake ninja-build gcc dpkg-dev libsdl2-dev
# libgl-dev, and g++-mingw-w64-x86-64-posix for --windows.
# Env: KRIN_DEPS (prefix root), KRIN_DEBIAN_MIRROR (overrides the mirror taken from
# /etc/apt), KRIN_JOBS (parallel build jobs), KRIN_RAYLIB_FORCE=1 (rebuild anyway).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

readonly RAYLIB_SERIES=6.0
readonly DEPS="${KRIN_DEPS:-/opt/krin-deps}"
# Bump a RECIPE when its build options change so that old installs get rebuilt.
if [[ "${1:-}" == --windows ]]; then
    readonly NAME=raylib-win64
    readonly RECIPE=1
    readonly STAMP_WANT="raylib $RAYLIB_SERIES windows-x64 platform=RGFW static recipe=$RECIPE"
    readonly TOOLS="x86_64-w64-mingw32-gcc-posix"
    readonly CMAKE_TARGET_OPTIONS=(
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw64.cmake"
        -DPLATFORM=RGFW
    )
else
    readonly NAME=raylib
    readonly RECIPE=2
    readonly STAMP_WANT="raylib $RAYLIB_SERIES platform=SDL static recipe=$RECIPE"
    readonly TOOLS="cc"
    # Debian builds it shared against the system GLFW (see debian/rules); here it is
    # static, position independent (so it can also go into shared objects) and on SDL2.
    readonly CMAKE_TARGET_OPTIONS=(
        -DPLATFORM=SDL
        -DWITH_PIC=ON
        -DOpenGL_GL_PREFERENCE=GLVND
        -DUSE_EXTERNAL_GLFW=OFF
    )
fi
readonly PREFIX="$DEPS/$NAME"
readonly STAMP="$PREFIX/.krin-raylib-stamp"

log() { printf 'build-raylib (%s): %s\n' "$NAME" "$*" >&2; }
die() {
    log "error: $*"
    exit 1
}

installed_ok() {
    [[ -f "$STAMP" && -f "$PREFIX/lib/libraylib.a" && -f "$PREFIX/include/raylib.h" &&
        -f "$PREFIX/lib/cmake/raylib/raylib-config.cmake" ]] &&
        [[ "$(head -n1 "$STAMP")" == "$STAMP_WANT" ]]
}

if [[ "${KRIN_RAYLIB_FORCE:-0}" != 1 ]] && installed_ok; then
    log "already installed in $PREFIX ($(sed -n 2p "$STAMP")), skipping"
    exit 0
fi

for tool in apt-get apt-cache dpkg-source cmake ninja flock $TOOLS; do
    command -v "$tool" >/dev/null || die "'$tool' not found; run scripts/setup.sh"
done

mkdir -p "$DEPS"
# Two setups running at once must not build into the same prefix.
exec 9>"$DEPS/.$NAME.lock"
flock 9
if [[ "${KRIN_RAYLIB_FORCE:-0}" != 1 ]] && installed_ok; then
    log "installed by a concurrent run, skipping"
    exit 0
fi

# Same Debian mirror as the system's own apt sources (one-line and deb822 formats).
debian_mirror() {
    if [[ -n "${KRIN_DEBIAN_MIRROR:-}" ]]; then
        echo "${KRIN_DEBIAN_MIRROR%/}"
        return
    fi
    local files=() f uri
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [[ -f "$f" ]] && files+=("$f")
    done
    if ((${#files[@]})); then
        uri=$(
            {
                sed -nE 's/^[[:space:]]*deb(-src)?[[:space:]]+(\[[^]]*\][[:space:]]+)?([a-z+]+:\/\/[^[:space:]]+).*/\3/p' "${files[@]}"
                sed -nE 's/^[[:space:]]*URIs:[[:space:]]*//p' "${files[@]}" | tr ' ' '\n'
            } | grep -E '^[a-z+]+://' | grep -E '/debian/?$' | head -n1 || true
        )
    fi
    echo "${uri:-http://deb.debian.org/debian}" | sed 's:/*$::'
}

work=$(mktemp -d "${TMPDIR:-/tmp}/krin-$NAME.XXXXXX")
# Staged next to the prefix so the final move is a rename on the same filesystem.
stage="$DEPS/.$NAME-stage.$$"
trap 'rm -rf "$work" "$stage"' EXIT
# apt fetches as the unprivileged _apt user where it exists.
chmod 755 "$work"
mkdir -p "$work/state/lists/partial" "$work/cache/archives/partial" "$work/src"
if id _apt >/dev/null 2>&1; then
    chown _apt "$work/state/lists/partial" "$work/cache/archives/partial" "$work/src"
fi

mirror=$(debian_mirror)
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
opts=""
[[ -f "$keyring" ]] && opts="[signed-by=$keyring] "
{
    echo "deb-src ${opts}$mirror unstable main"
    # Fallback for when unstable has moved past 6.0.
    echo "deb-src ${opts}$mirror testing main"
} >"$work/sources.list"

apt_opts=(
    -o "Dir::Etc::SourceList=$work/sources.list"
    -o "Dir::Etc::SourceParts=/dev/null"
    -o "Dir::State=$work/state"
    -o "Dir::Cache=$work/cache"
    -o "APT::Get::List-Cleanup=0"
)

start=$SECONDS
log "fetching the raylib source index from $mirror"
# One suite failing to update (say an expired Release file) is fine if the other has 6.0.
update_ok=1
apt-get "${apt_opts[@]}" -qq update >&2 || update_ok=0

version=$(apt-cache "${apt_opts[@]}" showsrc raylib 2>/dev/null | sed -n 's/^Version: //p' |
    grep -E "^([0-9]+:)?${RAYLIB_SERIES//./\\.}([.+~-]|$)" | sort -uV | tail -n1 || true)
if [[ -z "$version" ]]; then
    ((update_ok)) || die "apt-get update of the Debian source index failed (see above)"
    die "no raylib $RAYLIB_SERIES source package in Debian unstable/testing at $mirror"
fi
log "fetching Debian source package raylib $version"
(cd "$work/src" && apt-get "${apt_opts[@]}" -q source "raylib=$version" >&2)

srcdir=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'raylib-*' | head -n1)
[[ -n "$srcdir" && -f "$srcdir/CMakeLists.txt" ]] || die "unpacked source not found"
grep -q "#define RAYLIB_VERSION  *\"$RAYLIB_SERIES\"" "$srcdir/src/raylib.h" ||
    die "$srcdir/src/raylib.h is not raylib $RAYLIB_SERIES"

jobs="${KRIN_JOBS:-$(nproc)}"
cmake -G Ninja -S "$srcdir" -B "$work/build" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    -DCMAKE_INSTALL_LIBDIR=lib \
    -DBUILD_SHARED_LIBS=OFF \
    -DBUILD_EXAMPLES=OFF \
    "${CMAKE_TARGET_OPTIONS[@]}" >&2
cmake --build "$work/build" --parallel "$jobs" >&2

# Stage the install, then swap it in, so an interrupted run never leaves a half prefix.
DESTDIR="$stage" cmake --install "$work/build" >&2
staged="$stage$PREFIX"
[[ -f "$staged/lib/libraylib.a" ]] || die "install did not produce lib/libraylib.a"
# raylib's .pc names GLFW whatever the platform; make `pkg-config --static` right for SDL.
if [[ "$NAME" == raylib ]]; then
    sed -i -e 's/^Requires.private:.*/Requires.private: sdl2/' \
        -e 's/^Libs.private:.*/Libs.private: -lm -lpthread -ldl/' "$staged/lib/pkgconfig/raylib.pc"
fi
rm -rf "$PREFIX.old"
[[ -e "$PREFIX" ]] && mv "$PREFIX" "$PREFIX.old"
mv "$staged" "$PREFIX"
rm -rf "$PREFIX.old"
printf '%s\n%s\n' "$STAMP_WANT" "debian source raylib $version from $mirror" >"$STAMP"
log "installed raylib $version into $PREFIX in $((SECONDS - start))s"
