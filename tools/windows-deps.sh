#!/usr/bin/env bash
# Builds, once, what the Windows build of KOV links against, for x86_64-w64-mingw32, from Debian's own source
# packages: Qt (Core, Gui, Widgets, PrintSupport, Test), FreeXL, minizip and GoogleTest. Everything goes into a
# cache folder outside the checkout (KOV_WIN_CACHE, by default ~/.cache/kov-windows) that later runs reuse: each
# stage leaves a stamp, and a run that finds every stamp does nothing.
#
#   tools/windows-deps.sh            build what is missing
#   tools/windows-deps.sh --print    print the cache folder and whether it is complete (exit 1 if not)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cache=${KOV_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kov-windows}
prefix=$cache/prefix
src=$cache/src
jobs=$(nproc)
stages=(qt freexl minizip googletest)

complete() {
    local s
    for s in "${stages[@]}"; do [ -f "$cache/stamps/$s" ] || return 1; done
}

if [ "${1:-}" = "--print" ]; then
    echo "$cache"
    complete
    exit
fi

packages=(
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev
    wine64 nsis dpkg-dev cmake ninja-build make googletest
    qt6-base-dev qt6-base-dev-tools xvfb xauth
)
# apt-get source needs a deb-src entry beside the system's deb entries; ours is a copy of them with the type changed.
enable_sources() {
    local list=/etc/apt/sources.list.d/kov-deb-src.sources
    if [ -f "$list" ] || grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ || grep -qs '^deb-src' /etc/apt/sources.list; then
        return 0
    fi
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$list.tmp"
    mv "$list.tmp" "$list"
    apt-get update -qq
}

# Unpacks a Debian source package into $src/<name> once; prints the source folder. The newest version first; when
# the archive no longer holds its files (a security update's source can be gone), the older versions it lists.
fetch_source() {
    local name=$1 dir=$src/$1 v
    if [ ! -f "$dir/.fetched" ]; then
        rm -rf "$dir"
        mkdir -p "$dir"
        for v in $(apt-cache showsrc "$name" | awk '/^Version:/ {print $2}' | sort -V -r -u); do
            if (cd "$dir" && apt-get source -qq --download-only "$name=$v" >/dev/null 2>&1); then
                break
            fi
            rm -f "$dir"/*
        done
        ls "$dir"/*.dsc >/dev/null 2>&1 || { echo "windows-deps: no source of $name could be fetched" >&2; exit 1; }
        (cd "$dir" && dpkg-source -x --no-check ./*.dsc tree >/dev/null)
        touch "$dir/.fetched"
    fi
    echo "$dir/tree"
}

toolchain=$cache/mingw-toolchain.cmake
write_toolchain() {
    mkdir -p "$cache"
    cat >"$toolchain.tmp" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 $prefix)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
    mv "$toolchain.tmp" "$toolchain"
}

stage_qt() {
    local tree build=$cache/build/qtbase
    tree=$(fetch_source qt6-base)
    rm -rf "$build"
    # Network, SQL, D-Bus, OpenGL and the tablet are not used by KOV; DirectWrite off because PrintSupport does not
    # link against a Gui that does not export its DirectWrite font engine. Image and font libraries are Qt's own,
    # since the MinGW sysroot has none of them.
    cmake -S "$tree" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix/qt" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
        -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_direct2d=OFF -DFEATURE_vulkan=OFF \
        -DFEATURE_tabletevent=OFF -DFEATURE_directwrite=OFF -DFEATURE_directwrite3=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
        -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF \
        -DFEATURE_system_doubleconversion=OFF -DFEATURE_zstd=OFF
    cmake --build "$build" -j "$jobs"
    cmake --install "$build"
    rm -rf "$build"
}

cross_cc=x86_64-w64-mingw32-gcc-posix

# FreeXL wants iconv, which MinGW lacks: ours (tools/windows/iconv) converts through Windows' own code pages. Both a
# libiconv and a libcharset, since its configure looks for each. Static, so the reader needs no more DLLs.
stage_freexl() {
    local tree build=$cache/build/freexl out=$prefix/freexl
    tree=$(fetch_source freexl)
    rm -rf "$build" "$out"
    mkdir -p "$build/iconv" "$out/include" "$out/lib"
    cp "$top/tools/windows/iconv/iconv.h" "$top/tools/windows/iconv/localcharset.h" "$out/include/"
    $cross_cc -O2 -Wall -c "$top/tools/windows/iconv/iconv.c" -o "$build/iconv/iconv.o"
    x86_64-w64-mingw32-ar rcs "$out/lib/libiconv.a" "$build/iconv/iconv.o"
    cp "$out/lib/libiconv.a" "$out/lib/libcharset.a"
    cp -a "$tree" "$build/src"
    (cd "$build/src" &&
        ./configure -q --host=x86_64-w64-mingw32 CC=$cross_cc --prefix="$out" --enable-static --disable-shared \
            CPPFLAGS="-I$out/include" LDFLAGS="-L$out/lib" &&
        make -s -j "$jobs" -C src && make -s -C src install && make -s -C headers install)
    rm -rf "$build"
}

# minizip as zlib's own source has it (contrib/minizip), the reading half only, over the MinGW zlib.
stage_minizip() {
    local tree build=$cache/build/minizip out=$prefix/minizip f
    tree=$(fetch_source zlib)
    rm -rf "$build" "$out"
    mkdir -p "$build" "$out/include/minizip" "$out/lib"
    for f in ioapi unzip iowin32; do
        $cross_cc -O2 -DNOCRYPT -DNOUNCRYPT -I"$tree/contrib/minizip" -c "$tree/contrib/minizip/$f.c" -o "$build/$f.o"
    done
    x86_64-w64-mingw32-ar rcs "$out/lib/libminizip.a" "$build"/*.o
    cp "$tree/contrib/minizip"/{ioapi.h,unzip.h,iowin32.h} "$out/include/minizip/"
    rm -rf "$build"
}

# GoogleTest from the sources Debian's googletest package ships.
stage_googletest() {
    local build=$cache/build/googletest
    rm -rf "$build"
    cmake -S /usr/src/googletest -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix/gtest" -DBUILD_SHARED_LIBS=OFF >/dev/null
    cmake --build "$build" -j "$jobs"
    cmake --install "$build" >/dev/null
    rm -rf "$build"
}

"$top/tools/install-deps.sh" "${packages[@]}"
enable_sources
write_toolchain
mkdir -p "$cache/stamps" "$src" "$prefix"
for s in "${@:-${stages[@]}}"; do
    if [ -f "$cache/stamps/$s" ]; then
        continue
    fi
    echo "windows-deps: building $s" >&2
    start=$(date +%s)
    "stage_$s"
    echo "$(($(date +%s) - start)) s" >"$cache/stamps/$s"
    echo "windows-deps: $s done in $(cat "$cache/stamps/$s")" >&2
done
if complete; then
    echo "windows-deps: every dependency is in $cache"
fi
