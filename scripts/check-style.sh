#!/usr/bin/env bash
# The tree is clean under clang-format, and the code that builds natively under clang-tidy.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/linux}
mapfile -t sources < <(git ls-files -co --exclude-standard -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp')
clang-format --dry-run -Werror "${sources[@]}"
mapfile -t native < <(git ls-files -co --exclude-standard -- 'src/*.cpp' | while read -r f; do
    grep -q "$f" "$build/compile_commands.json" && echo "$f"; done)
if ! report=$(clang-tidy -p "$build" --quiet "${native[@]}" 2>&1); then
    echo "$report"
    exit 1
fi
echo "style: clean (${#sources[@]} files formatted, ${#native[@]} checked by clang-tidy)"
