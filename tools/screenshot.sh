#!/usr/bin/env bash
# Builds the screenshot tool and renders KOV's windows under a virtual screen:
#   tools/screenshot.sh [build-folder] [screen...]     (default: build/screens, every screen)
# Pictures go to <build-folder>/screens/<screen>.png.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/screens}
shift || true

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKOV_BUILD_TESTS=OFF -DKOV_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target kov_screens -j 2
tool="$build/bin/kov_screens"

screens=("$@")
if [ ${#screens[@]} -eq 0 ]; then
    mapfile -t screens < <("$tool" --list | cut -f1)
fi
mkdir -p "$build/screens"
for s in "${screens[@]}"; do
    xvfb-run -a -s "-screen 0 1600x1000x24" "$tool" "$s" "$build/screens/$s.png"
done
