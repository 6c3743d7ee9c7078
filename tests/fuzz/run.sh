#!/usr/bin/env bash
# Builds the fuzz target with clang and runs it: tests/fuzz/run.sh [SECONDS]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
seconds=${1:-60}
if [[ ! -f build-fuzz/build.ninja ]]; then
    CC=clang CXX=clang++ cmake -G Ninja -S . -B build-fuzz -DKRIN_FUZZ=ON -DKRIN_TESTS=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build-fuzz --target krin_fuzz
mkdir -p build-fuzz/corpus-new build-fuzz/artifacts
# Tables that hold themselves are never freed, by design: no leak report at exit.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
build-fuzz/tests/fuzz/krin_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=4096 -detect_leaks=0 -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/ \
    build-fuzz/corpus-new tests/fuzz/corpus
