#!/usr/bin/env bash
# Installs what KOV needs to build, run and test, from Debian's own archive. Safe to run again: packages that
# are already there are left alone and nothing is fetched. Given package names, it installs those instead (the
# Windows build's tools).
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libqt6serialport6-dev libfreexl-dev libminizip-dev libquazip1-qt6-dev
    python3-xlwt python3-xlsxwriter
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core fonts-liberation2 xvfb xauth
    libcups2-dev cups cups-filters printer-driver-cups-pdf poppler-utils
    clang-14 libclang-rt-14-dev llvm-14 clang-format
    dpkg-dev desktop-file-utils appstream shared-mime-info libglib2.0-bin x11-utils libxcb-damage0-dev openbox
)

[ $# -gt 0 ] && packages=("$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "KOV needs these Debian packages: ${missing[*]}" >&2
    echo "Run this script as root (or with sudo) to install them." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
