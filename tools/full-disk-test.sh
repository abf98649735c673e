#!/usr/bin/env bash
# Saves each of KOV's four data files onto a full disk and checks that the failure is reported with the system's
# reason and that every old file stays byte for byte. The disk is a 64 KiB tmpfs, which only root on a real
# machine may mount; where mounting is not allowed the script says why and passes.
# Usage: tools/full-disk-test.sh [core_tests program]   (default: build/debug/bin/core_tests)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
tests=${1:-$top/build/debug/bin/core_tests}
if [[ ! -x $tests ]]; then
    echo "full-disk-test: $tests is not built" >&2
    exit 1
fi

disk=$(mktemp -d "${TMPDIR:-/tmp}/kov-full-disk.XXXXXX")
mounted=no
cleanup() {
    if [[ $mounted == yes ]]; then
        umount "$disk" || echo "full-disk-test: could not unmount $disk" >&2
    fi
    rmdir "$disk" 2>/dev/null || true
}
trap cleanup EXIT

if ! why=$(mount -t tmpfs -o size=64k,mode=0700 kov-full-disk "$disk" 2>&1); then
    echo "full-disk-test: skipped, cannot mount a small tmpfs here: ${why:-mount refused}"
    exit 0
fi
mounted=yes

# A filter that matches nothing would pass, so the count of passed tests is checked as well.
log=$(KOV_FULL_DISK_DIR=$disk QT_QPA_PLATFORM=offscreen "$tests" --gtest_filter='FullDiskTest.*' 2>&1) && status=0 || status=$?
echo "$log"
if [[ $status -ne 0 ]] || ! grep -q '^\[  PASSED  \] [1-9]' <<<"$log" || grep -q '^\[  SKIPPED \]' <<<"$log"; then
    echo "full-disk-test: FAILED" >&2
    exit 1
fi
echo "full-disk-test: every save onto a full disk failed as it should and kept the old file."
