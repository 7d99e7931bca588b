#!/usr/bin/env bash
# The zip, unpacked into a folder whose name has a blank and letters beyond ASCII, runs
# from there and writes its settings beside the exe when closed.
set -euo pipefail
build=$1
zip=$2
source "$(dirname "$0")/../scripts/wine-env.sh"
(cd "$build" && cpack -G ZIP >/dev/null)
for entry in quorvel.exe README.md LICENSE; do
    python3 -m zipfile -l "$zip" | grep -q "^$entry " || { echo "$entry is missing from $zip"; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder="$work/Quorvel Stúdió 曲"
mkdir -p "$folder"
(cd "$folder" && python3 -m zipfile -e "$zip" .)
(cd "$folder" && "$QUORVEL_WINE" ./quorvel.exe) &
app=$!
wait_for_quorvel_window >/dev/null
close_quorvel
wait "$app"
expected=$(printf 'OUT_OUTDIR=\r\nCMD_SHOW=0\r\n')
if [ "$(cat "$folder/quorvel.cfg" 2>/dev/null)" != "$expected" ]; then
    echo "no quorvel.cfg with the default settings beside the unpacked exe"
    ls -la "$folder"
    exit 1
fi
echo "package: $(basename "$zip") runs from '$folder' and keeps its settings there"
