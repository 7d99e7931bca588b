#!/usr/bin/env bash
# Times Quorvel's start-up against a minimal program with the same window and controls, both
# under the same Wine and X server in one run, and prints the ratio and the size of quorvel.exe.
#   bench/startup.sh [STARTS]      (15 timed starts of each program by default)
set -euo pipefail
cd "$(dirname "$0")/.."
starts=${1:-15}

cmake --preset windows >/dev/null
cmake --build --preset windows -j2

out=build/bench
mkdir -p "$out"
cxx="x86_64-w64-mingw32-g++-posix -O2 -static -municode"
$cxx -mwindows -o "$out/ref_window.exe" bench/ref_window.cpp
$cxx -o "$out/startup_probe.exe" bench/startup_probe.cpp

source scripts/wine-env.sh
work=$(mktemp -d)
trap 'stop_all; rm -rf "$work"' EXIT
start_xvfb
start_wine

cp build/windows/bin/quorvel.exe "$out/ref_window.exe" "$work/"
printf 'OUT_OUTDIR=\r\nCMD_SHOW=0\r\n' >"$work/quorvel.cfg"
windows_path() { "$QUORVEL_WINE" winepath -w "$1" 2>/dev/null | tr -d '\r'; }

echo "Timing $starts starts of each program, taking turns ..."
results=$("$QUORVEL_WINE" "$out/startup_probe.exe" "$starts" \
    "$(windows_path "$work/quorvel.exe")" QuorvelMainWindow \
    "$(windows_path "$work/ref_window.exe")" QuorvelReferenceWindow | tr -d '\r')
read -r quorvel_median quorvel_min _ <<<"$(sed -n 1p <<<"$results")"
read -r ref_median ref_min _ <<<"$(sed -n 2p <<<"$results")"

size=$(stat -c %s build/windows/bin/quorvel.exe)
printf 'quorvel.exe     median %8.1f ms  min %8.1f ms\n' "$quorvel_median" "$quorvel_min"
printf 'reference       median %8.1f ms  min %8.1f ms\n' "$ref_median" "$ref_min"
awk -v q="$quorvel_median" -v r="$ref_median" \
    'BEGIN { printf "ratio Quorvel/reference (medians): %.2f\n", q / r }'
awk -v s="$size" 'BEGIN { printf "quorvel.exe size: %.0f KiB\n", s / 1024 }'
