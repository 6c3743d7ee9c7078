#!/usr/bin/env bash
# Cross-builds raylib for 64-bit Windows: see scripts/build-raylib.sh --windows.
exec "$(dirname "${BASH_SOURCE[0]}")/build-raylib.sh" --windows "$@"
