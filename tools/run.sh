#!/usr/bin/env bash
# Builds KOV and starts it with the data files shipped beside it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
cmake -S "$top" -B "$top/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOV_BUILD_TESTS=OFF -DKOV_BUILD_BENCH=OFF >/dev/null
cmake --build "$top/build/release" --target kov
program="$top/build/release/bin/kov"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<MSG
KOV is built, but this session has no display to show its window on.
Start it on a virtual screen with:
    xvfb-run -a -s "-screen 0 1600x1000x24" $program
or from a desktop session with:
    $program
MSG
    exit 2
fi
exec "$program"
