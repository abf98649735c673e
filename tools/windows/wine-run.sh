#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, as ctest's emulator and by hand: its own Wine prefix in the
# dependency cache, no Wine chatter, and the Qt, compiler runtime and zlib DLLs found where they were built.
#
#   tools/windows/wine-run.sh PROGRAM.exe ARGS...
#   tools/windows/wine-run.sh --winepath    print the WINEPATH it uses
set -euo pipefail
cache=${KOV_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kov-windows}
dll_dirs=("$cache/prefix/qt/bin" /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)
winepath=$(IFS=';'; echo "${dll_dirs[*]}")
if [ "${1:-}" = "--winepath" ]; then
    echo "$winepath"
    exit 0
fi
export WINEPREFIX=${WINEPREFIX:-$cache/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEPATH=$winepath${WINEPATH:+;$WINEPATH}
export QT_PLUGIN_PATH=$cache/prefix/qt/plugins
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
# A new prefix takes a while to make; suites started side by side make it once.
mkdir -p "$WINEPREFIX"
(
    flock 9
    if [ ! -f "$WINEPREFIX/.made" ]; then
        "$wine" wineboot --init >/dev/null 2>&1
        /usr/lib/wine/wineserver -w
        touch "$WINEPREFIX/.made"
    fi
) 9>"$WINEPREFIX.lock"
exec "$wine" "$@"
