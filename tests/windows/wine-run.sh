#!/usr/bin/env bash
# Runs a Windows program under Wine the way the Linux tests run the Linux programs:
#   wine-run.sh PROGRAM.exe [ARGS...]
# Standard input is passed on, the exit status comes back. A Windows console program writes
# its text-mode streams with CRLF line ends; they are turned into LF here so that the
# same expected output serves both builds (a lone CR is left as it is).
# Env: WINEPREFIX (default: wineprefix/ beside the build's tests), KRIN_WINE (the wine binary).
set -uo pipefail

wine="${KRIN_WINE:-/usr/lib/wine/wine64}"
[[ -x "$wine" ]] || wine=$(command -v wine64 || command -v wine) || {
    echo "wine-run.sh: no wine64 (apt-get install wine64)" >&2
    exit 127
}
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
: "${WINEPREFIX:?wine-run.sh: set WINEPREFIX}"
export WINEPREFIX

"$wine" "$@" 2> >(sed -u 's/\r$//' >&2) | sed -u 's/\r$//'
