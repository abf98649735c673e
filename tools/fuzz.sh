#!/usr/bin/env bash
# Builds the libFuzzer targets of the file readers, the meters' readers and the LD824 exchange with clang in
# build/fuzz (or $KOV_FUZZ_BUILD) and runs each one for the given number of seconds on a corpus seeded from
# fuzz/corpus/, the golden files, the shipped data and the meter fixtures. Fails when any target finds a crash, a
# sanitizer error, a hang or a broken invariant (a file that does not come back the same after saving); the input
# is kept in build/fuzz/artifacts/<target>/ and the log in build/fuzz/logs/<target>.log.
#
# Usage: tools/fuzz.sh [seconds-per-target] [target...]    targets: project_file eq_file spectrum_database
#                                                  folder_file text_fields meter_text spectrum_report
#                                                  frequency_response meter_table meter_format workbook_xlsx
#                                                  ld824 (default: all)
# Needs the Debian packages clang-14 and libclang-rt-14-dev (llvm-14 for readable stack traces).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
if [ $# -gt 0 ]; then shift; fi
all=(project_file eq_file spectrum_database folder_file text_fields meter_text spectrum_report frequency_response
    meter_table meter_format workbook_xlsx ld824)
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=("${all[@]}"); fi
build=${KOV_FUZZ_BUILD:-$top/build/fuzz}

for tool in clang++-14 cmake ninja; do
    if ! command -v "$tool" >/dev/null; then
        echo "fuzz.sh: $tool is missing (Debian packages: clang-14 libclang-rt-14-dev cmake ninja-build)" >&2
        exit 1
    fi
done

# No NDEBUG in the flags, so the index checks of the data object stay on.
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
    -DCMAKE_CXX_COMPILER=clang++-14 -DKOV_BUILD_FUZZ=ON -DKOV_BUILD_TESTS=OFF -DKOV_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

# Seeds that are files of the product itself, besides the hand-made ones in fuzz/corpus/<target>/.
seeds_of() {
    case $1 in
        project_file) echo "$top/tests/fixtures/golden/HANDBUILT.MSK" ;;
        eq_file) echo "$top/tests/fixtures/golden/HANDBUILT.EQ" ;;
        spectrum_database) echo "$top/data/KOVSPEC.DAT" ;;
        folder_file) echo "$top/data/DIRFILE.DAT" ;;
        text_fields) echo "$top/data/KOVSPEC.DAT $top/data/DIRFILE.DAT $top/tests/fixtures/golden/HANDBUILT.EQ" ;;
        workbook_xlsx) echo "$top"/tests/fixtures/meters/*.xlsx ;;
        spectrum_report) echo "$top"/tests/fixtures/meters/slm_report*.txt ;;
        frequency_response) echo "$top"/tests/fixtures/meters/response_*.txt ;;
        meter_table) echo "$top"/tests/fixtures/meters/table_*.csv ;;
        # Every meter file of the fixtures but the large workbook, whose cells say nothing of its format.
        meter_format) find "$top/tests/fixtures/meters" -type f ! -name '*.py' ! -name bigsheet.xls | sort ;;
        meter_text | ld824) ;;
        *) echo "fuzz.sh: no target $1" >&2; return 1 ;;
    esac
}

symbolizer=$(command -v llvm-symbolizer-14 || command -v llvm-symbolizer || true)
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}${symbolizer:+:external_symbolizer_path=$symbolizer}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=()
for t in "${targets[@]}"; do
    corpus=$build/corpus/$t
    artifacts=$build/artifacts/$t
    log=$build/logs/$t.log
    mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
    for seed in $(seeds_of "$t"); do
        cp "$seed" "$corpus/"
    done
    [ -d "$top/fuzz/corpus/$t" ] && cp "$top/fuzz/corpus/$t"/* "$corpus/"
    # The text exports behind the two bytes that choose the reader and the PAA3's records (1..10, 3..5, 9..12).
    if [ "$t" = meter_text ]; then
        fixtures=$top/tests/fixtures/meters
        printf '\000\000' | cat - "$fixtures/dsp30.txt" >"$corpus/dsp30.txt"
        printf '\001\000' | cat - "$fixtures/ie45.ivi" >"$corpus/ie45.ivi"
        printf '\002\171' | cat - "$fixtures/paa3.paa" >"$corpus/paa3.paa"
        printf '\002\077' | cat - "$fixtures/paa3.paa" >"$corpus/paa3_3_to_5.paa"
        printf '\002\231' | cat - "$fixtures/paa3_short.paa" >"$corpus/paa3_short.paa"
    fi
    echo "== $t: ${seconds}s"
    if "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1; then
        grep -E '^#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::peak_rss_mb' "$log" || true
    else
        failed+=("$t")
        tail -n 60 "$log"
        echo "== $t FAILED; input in $artifacts/, log in $log" >&2
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzz.sh: targets that failed: ${failed[*]}" >&2
    exit 1
fi
echo "All fuzz targets ran ${seconds}s without a finding."
