#!/usr/bin/env bash
# How large the tests are beside the program: non-blank C++ lines that are not // comments, tests/ against every
# other C++ file outside tests/ and bench/ (and the build folders).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
# grep says 1 for a file with no such line; that is a count of nothing, not a failure.
count() { xargs -0 -r cat | { grep -v -E '^\s*(//.*)?$' || true; } | wc -l; }
tests=$(find tests \( -name '*.cpp' -o -name '*.h' \) -print0 | count)
program=$(find . \( -path ./tests -o -path ./bench -o -path './build*' -o -path ./.git \) -prune -o \
    \( -name '*.cpp' -o -name '*.h' \) -print0 | count)
awk -v t="$tests" -v p="$program" 'BEGIN { printf "Tests: %d of %d C++ lines (%.1f %%), program %d.\n", t, t + p, 100 * t / (t + p), p }'
