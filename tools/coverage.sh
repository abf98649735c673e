#!/usr/bin/env bash
# Line and branch coverage of the program's own code (not tests, benchmarks or fuzz targets) by every suite, with
# gcovr from Debian. Prints the summary; `--html DIR` also writes a browsable report there.
#
#   tools/coverage.sh [--html DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
"$top/tools/install-deps.sh" gcovr
dir=$top/build/coverage
jobs=$(nproc)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKOV_COVERAGE=ON -DKOV_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$dir" -j "$jobs" >/dev/null
find "$dir" -name '*.gcda' -delete
QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" -j "$jobs" >/dev/null || true
# Exceptions' unwinding branches say nothing about the tests; leaving them in would drown the real branches.
args=(--root "$top" --object-directory "$dir" --exclude "$top/tests/" --exclude "$top/bench/" --exclude "$top/fuzz/"
    --exclude "$top/build/" --exclude-throw-branches --exclude-unreachable-branches -j "$jobs")
if [ "${1:-}" = "--html" ]; then
    mkdir -p "$2"
    gcovr "${args[@]}" --html-details "$2/index.html" >/dev/null
fi
# The summary goes to the terminal; the full listing into the build folder (never -o /dev/null: gcovr replaces the
# file it writes, and as root that would swap the device for a regular file).
gcovr "${args[@]}" --print-summary -o "$dir/coverage.txt"
