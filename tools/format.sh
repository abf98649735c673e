#!/usr/bin/env bash
# Formats every C++ source of the repository with the one .clang-format, or with --check only reports the files
# that differ and fails, which is how tools/test.sh keeps the tree formatted.
#   tools/format.sh          rewrite the files in place
#   tools/format.sh --check  change nothing; fail when a file is not formatted
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
    echo "format.sh: clang-format is missing (Debian package clang-format)" >&2
    exit 1
fi
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' | grep -v '^build/')
if [ "${1:-}" = "--check" ]; then
    if ! "$format" --dry-run --Werror "${files[@]}" 2>/tmp/kov-format.$$; then
        grep -o '^[^:]*:[0-9]*:[0-9]*: error' /tmp/kov-format.$$ | cut -d: -f1 | sort -u | sed 's/^/not formatted: /' >&2
        rm -f /tmp/kov-format.$$
        echo "format.sh: run tools/format.sh to format them" >&2
        exit 1
    fi
    rm -f /tmp/kov-format.$$
    echo "All ${#files[@]} C++ files are formatted."
else
    "$format" -i "${files[@]}"
fi
