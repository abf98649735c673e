#!/usr/bin/env bash
# Copies beside a cross-built program every DLL it and its plugins load that Windows itself does not have: the Qt
# libraries, the compiler's runtime, zlib; and the Qt plugins it needs (the Windows platform, its style, the JPEG
# reader for the logos). Each DLL's imports are followed in turn.
#
#   tools/windows/gather-dlls.sh BIN_FOLDER QT_PREFIX
set -euo pipefail
bin=$1
qt=$2
search=("$qt/bin" /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)

for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qjpeg.dll; do
    if [ -f "$qt/plugins/$plugin" ]; then
        mkdir -p "$bin/$(dirname "$plugin")"
        cp "$qt/plugins/$plugin" "$bin/$plugin"
    fi
done

declare -A seen=()
queue=("$bin"/*.exe "$bin"/*/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
        key=${dll,,}
        [ -n "${seen[$key]:-}" ] && continue
        seen[$key]=1
        for dir in "${search[@]}"; do
            found=$(find "$dir" -maxdepth 1 -iname "$dll" -print -quit)
            if [ -n "$found" ]; then
                cp "$found" "$bin/"
                queue+=("$bin/$(basename "$found")")
                break
            fi
        done
    done
done
