#!/usr/bin/env bash
# Builds both presets and runs every test: native unit tests under sanitizers, the
# fuzzers briefly, and the Windows program end to end under Wine on a private X server.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

cmake --preset linux >/dev/null
cmake --build --preset linux -j"$(nproc)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)"

source scripts/wine-env.sh
trap stop_all EXIT
start_xvfb
start_wine

status=0
ctest --preset linux --timeout 600 || status=1
ctest --preset windows --timeout 600 || status=1
exit $status
