#!/usr/bin/env bash
# Every figure of KOV in one run, each beside its reference where one exists: start-up and peak memory against a
# bare Qt window with the same menus (both on one private X server, with a window manager, taken in turns), open
# and save of a full project against reading and writing its bytes, the LD824 download against what the line
# allows; the fit, the importers, the report to PDF, the database and the folder search on their own.
# Prints a Markdown table and keeps it in build/bench/figures.md. A Release build of its own (build/bench).
#   KOV_BENCH_RUNS  start-ups of each program (default 9, after one warm-up each)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
build=$top/build/bench
runs=${KOV_BENCH_RUNS:-9}

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOV_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >"$build/build.log" 2>&1 ||
    { tail -n 40 "$build/build.log" >&2; echo "bench: the build failed ($build/build.log)" >&2; exit 1; }
bin=$build/bin
out=$build/results
rm -rf "$out"
mkdir -p "$out"

pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

# A private X server: the desktop's own, if any, would add its load to one program and not the other.
exec 3>"$out/display"
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.1; done
[ -s "$out/display" ] || { echo "bench: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$out/display")"
openbox >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
done

# In turns, so that whatever else the machine does weighs on both alike. The first start of each fills caches.
export XDG_RUNTIME_DIR=$out/runtime
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
for i in $(seq 0 "$runs"); do
    for program in kov_bare_window kov; do
        line=$("$bin/kov_startup_probe" "$bin/$program" 2>>"$out/startup.log") ||
            { cat "$out/startup.log" >&2; echo "bench: $program did not start" >&2; exit 1; }
        [ "$i" -eq 0 ] || echo "$line" >>"$out/$program.startup"
    done
done

google() {
    local name=$1; shift
    "$bin/$name" --benchmark_out="$out/$name.json" --benchmark_out_format=json "$@" >>"$out/benchmarks.log" 2>&1 ||
        { tail -n 20 "$out/benchmarks.log" >&2; echo "bench: $name failed" >&2; exit 1; }
}
google kov_bench --benchmark_repetitions=5
google kov_masking_bench --benchmark_repetitions=5
google kov_meters_bench --benchmark_repetitions=5
QT_QPA_PLATFORM=offscreen google kov_report_bench --benchmark_repetitions=5
google kov_folder_search_bench --benchmark_repetitions=3
google kov_ld824_bench

/usr/bin/python3 "$top/bench/figures.py" "$out" "$runs" | tee "$build/figures.md"
