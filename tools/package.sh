#!/usr/bin/env bash
# Builds KOV (Release) and makes its Debian package; prints the package's path.
#   tools/package.sh [build folder]     (build/release unless named; tools/run.sh builds there too)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
build=$(realpath -m "${1:-$top/build/release}")
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOV_BUILD_TESTS=OFF -DKOV_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
# A stale package of an earlier version would be mistaken for this one.
rm -f "$build"/package/kov_*.deb
(cd "$build" && cpack -G DEB -B "$build/package" >"$build/package.log" 2>&1) ||
    { cat "$build/package.log" >&2; echo "package.sh: cpack failed" >&2; exit 1; }
deb=$(ls "$build"/package/kov_*.deb)
echo "$deb"
