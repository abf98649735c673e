#!/usr/bin/env bash
# Builds KOV with every test and runs them: a Debug build (warnings are errors), then the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
jobs=$(nproc)

run_suite() {
    local dir=$1; shift
    cmake -S "$top" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

run_suite "$top/build/debug" -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    run_suite "$top/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DKOV_SANITIZE=ON -DKOV_BUILD_BENCH=OFF
echo "All KOV tests passed."
