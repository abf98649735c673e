#!/usr/bin/env bash
# How large the tests are beside the program: non-blank C++ lines that are not // comments, tests/ against every
# other C++ file outside tests/ and bench/ (and the build folders).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
count() { xargs -0 -r grep -hv -E '^\s*(//.*)?$' | wc -l; }
tests=$(find tests \( -name '*.cpp' -o -name '*.h' \) -print0 | count)
program=$(find . \( -path ./tests -o -path ./bench -o -path './build*' -o -path ./.git \) -prune -o \
    \( -name '*.cpp' -o -name '*.h' \) -print0 | count)
awk -v t="$tests" -v p="$program" 'BEGIN { printf "Tests: %d of %d C++ lines (%.1f %%), program %d.\n", t, t + p, 100 * t / (t + p), p }'
