#!/usr/bin/env bash
# Runs every fuzzer for longer than the test command does, before a release.
#   scripts/fuzz-long.sh [SECONDS per fuzzer, default 600]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j"$(nproc)"
for fuzzer in build/linux/bin/fuzz_*; do
    corpus="build/fuzz-corpus/$(basename "$fuzzer")"
    mkdir -p "$corpus"
    echo "== $(basename "$fuzzer") for ${seconds}s"
    "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 "$corpus"
done
