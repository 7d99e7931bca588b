#!/usr/bin/env bash
# Builds Quorvel and starts it under Wine.
#   ./run.sh                      on your $DISPLAY
#   ./run.sh --screenshot FILE    on a private X server: saves a PNG of the window and closes it
set -euo pipefail
cd "$(dirname "$0")"

screenshot=""
if [ "${1:-}" = "--screenshot" ]; then
    screenshot=${2:?"--screenshot needs a file name"}
    case "$screenshot" in /*) ;; *) screenshot="$PWD/$screenshot" ;; esac
fi

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)"

source scripts/wine-env.sh
trap stop_all EXIT
if [ -n "$screenshot" ] || [ -z "${DISPLAY:-}" ]; then
    [ -n "$screenshot" ] || screenshot="$PWD/screenshot.png"
    start_xvfb
fi
start_wine

app_dir="$PWD/build/app"
mkdir -p "$app_dir"
cp build/windows/bin/quorvel.exe "$app_dir/"

if [ -z "$screenshot" ]; then
    "$QUORVEL_WINE" "$app_dir/quorvel.exe"
    exit 0
fi

"$QUORVEL_WINE" "$app_dir/quorvel.exe" &
app_pid=$!
window=$(wait_for_quorvel_window)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$screenshot"
close_quorvel
wait "$app_pid" || true
echo "Saved $screenshot"
