#!/usr/bin/env bash
# Builds KOV with every test and runs them: a Debug build (warnings are errors) with a save onto a really full disk,
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, then the file readers fuzzed for 20 seconds
# each.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
jobs=$(nproc)
# Formatting first: it takes a second and a diff of layout hides real changes in review.
"$top/tools/format.sh" --check

run_suite() {
    local dir=$1; shift
    cmake -S "$top" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

run_suite "$top/build/debug" -DCMAKE_BUILD_TYPE=Debug
# Saving onto a disk that is really full, where this machine lets us mount a small one.
"$top/tools/full-disk-test.sh" "$top/build/debug/bin/core_tests"
# The Debian package of that build, unpacked into a scratch root and started there with an empty home.
timeout 300 "$top/tools/package-test.sh" "$top/build/debug"
# Leaks are checked too; tools/lsan.supp names the only ones let through, inside the libraries we link.
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$top/tools/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1 \
    run_suite "$top/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DKOV_SANITIZE=ON -DKOV_BUILD_BENCH=OFF
# Each file reader fuzzed for a bounded time: no crash, and whatever opens saves and opens to the same data.
"$top/tools/fuzz.sh" 20
echo "All KOV tests passed."
"$top/tools/test-share.sh"
