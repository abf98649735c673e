#!/usr/bin/env bash
# Builds KOV for Windows on this Linux machine with the dependencies tools/windows-deps.sh cached, runs its suites
# under Wine, and makes the installer kov-<version>-setup.exe with NSIS.
#
#   tools/windows.sh            build and make the installer
#   tools/windows.sh --tests    build the suites too and run them under Wine (some cases still expect Linux's paths
#                               and case-sensitive names, so this run is not yet green and not part of .ci/run)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
run_tests=0
[ "${1:-}" = "--tests" ] && run_tests=1
tests=OFF
[ "$run_tests" = 1 ] && tests=ON

"$top/tools/windows-deps.sh"
cache=$("$top/tools/windows-deps.sh" --print)
prefix=$cache/prefix
jobs=$(nproc)
host=$top/build/windows-host
build=$top/build/windows
stage=$top/build/windows-stage

# The tools that write the documents and the icon run here, so they come from a build for this machine.
cmake -S "$top" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOV_BUILD_TESTS=OFF -DKOV_BUILD_BENCH=OFF >/dev/null
cmake --build "$host" -j "$jobs" --target kov_makedoc

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$cache/mingw-toolchain.cmake" \
    -DCMAKE_PREFIX_PATH="$prefix/qt;$prefix/gtest" -DKOV_WINDOWS_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DKOV_HOST_TOOLS_DIR="$host/tools/docs" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$top/tools/windows/wine-run.sh" -DKOV_BUILD_TESTS=$tests >/dev/null
cmake --build "$build" -j "$jobs"

# What the installer carries: the program and its data as installed, the Qt libraries and plugins it loads, the
# compiler's runtime.
rm -rf "$stage"
cmake --install "$build" --prefix "$stage" >/dev/null
"$top/tools/windows/gather-dlls.sh" "$stage/bin" "$prefix/qt"

if [ "$run_tests" = 1 ]; then
    ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 300
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$top/build/kov-$version-setup.exe" \
    "$top/packaging/windows/kov.nsi"
echo "windows.sh: $top/build/kov-$version-setup.exe ($(du -h "$top/build/kov-$version-setup.exe" | cut -f1))"
