#!/usr/bin/env bash
# Measures Quorvel's runs of the tool (its test double) against a minimal program doing the same
# work, under the same Wine and X server in one sitting, and prints each figure with its ratio and
# target: speed on 16 MB of output, processor use while the tool is silent, the cost of each list
# entry, and peak memory.
#   bench/run.sh [ROUNDS]      (3 measured turns of each program by default)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-3}

cmake --preset windows >/dev/null
cmake --build --preset windows -j2

out=build/bench
mkdir -p "$out"
cxx="x86_64-w64-mingw32-g++-posix -O2 -static -municode"
$cxx -mwindows -o "$out/run_reference.exe" bench/run_reference.cpp -lpsapi
$cxx -DUNICODE -D_UNICODE -DNOMINMAX -Itests/driver -o "$out/run_probe.exe" \
    bench/run_probe.cpp tests/driver/driver.cpp

source scripts/wine-env.sh
trap stop_all EXIT
start_xvfb
start_wine

# This prefix's wineserver is the one whose working folder is named after the prefix's
# device and inode.
server_dir=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
server_pid=0
for p in /proc/[0-9]*; do
    if [[ "$(readlink "$p/cwd" 2>/dev/null)" == */"$server_dir" ]] &&
        [[ "$(cat "$p/comm" 2>/dev/null)" == wineserver* ]]; then
        server_pid=${p#/proc/}
        break
    fi
done

export QUORVEL_EXE=$PWD/build/windows/bin/quorvel.exe
export QUORVEL_FAKE_TOOL=$PWD/build/windows/fake_tool/spleeter.exe
echo "Measuring, $rounds turns of each program per figure (a few minutes) ..."
results=$("$QUORVEL_WINE" "$out/run_probe.exe" "$rounds" "$PWD/$out/run_reference.exe" \
    "$server_pid" "$(getconf CLK_TCK)" | tr -d '\r')
field() { awk -v name="$1" -v n="$2" '$1 == "result" && $2 == name { print $(n + 2) }' <<<"$results"; }

row() {  # label, Quorvel figure, reference figure, ratio, target text, met (1/0)
    printf '%-34s %14s %14s %8.3f  %-8s %s\n' "$1" "$2" "$3" "$4" "$5" "$([ "$6" = 1 ] || echo MISSED)"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", (b > 0 ? a / b : 0) }'; }
at_least() { awk -v r="$1" -v t="$2" 'BEGIN { print (r >= t ? 1 : 0) }'; }
at_most() { awk -v r="$1" -v t="$2" 'BEGIN { print (r <= t ? 1 : 0) }'; }
mib() { awk -v b="$1" 'BEGIN { printf "%.1f MiB", b / 1048576 }'; }

q_speed=$(field speed_ms 1) r_speed=$(field speed_ms 2)
q_file=$(field perfile_ms 1) r_file=$(field perfile_ms 2)
cpu=$(field waiting 1) wall=$(field waiting 2)
quiet_cpu=$(field waiting 3) quiet_wall=$(field waiting 4) server_cpu=$(field waiting 5)
q_res=$(field peak_resident 1) r_res=$(field peak_resident 2)
q_priv=$(field peak_private 1) r_priv=$(field peak_private 2)

echo
printf '%-34s %14s %14s %8s  %s\n' "figure (medians)" "Quorvel" "reference" "ratio" "target"
r=$(ratio "$r_speed" "$q_speed")
row "run speed, 16 MB (ref/Quorvel)" "$q_speed ms" "$r_speed ms" "$r" ">= 0.9" "$(at_least "$r" 0.9)"
r=$(ratio "$cpu" "$wall")
row "CPU while waiting (CPU s/wall s)" "$cpu s" "wall $wall s" "$r" "<= 0.01" "$(at_most "$r" 0.01)"
r=$(ratio "$q_file" "$r_file")
row "per-file, 200 entries (Q/ref)" "$q_file ms" "$r_file ms" "$r" "<= 1.1" "$(at_most "$r" 1.1)"
r=$(ratio "$q_res" "$r_res")
row "peak memory, resident (Q/ref)" "$(mib "$q_res")" "$(mib "$r_res")" "$r" "<= 1.2" "$(at_most "$r" 1.2)"
r=$(ratio "$q_priv" "$r_priv")
row "peak memory, private (Q/ref)" "$(mib "$q_priv")" "$(mib "$r_priv")" "$r" "<= 1.2" "$(at_most "$r" 1.2)"
echo
printf 'while waiting: Quorvel %s s CPU over %s s in the silent middle of the run' "$quiet_cpu" "$quiet_wall"
if [ "$server_pid" != 0 ]; then
    printf '; wineserver %s s CPU over the whole run' "$server_cpu"
fi
echo
echo "processor time of the program itself: 16 MB run Quorvel $(field speed_cpu 1) s, reference $(field speed_cpu 2) s; 200 entries Quorvel $(field perfile_cpu 1) s, reference $(field perfile_cpu 2) s"
echo "reference on 16 MB: $(field reference_speed_parts 1) ms running the tool and reading its output, $(field reference_speed_parts 2) ms decoding and streaming it into the box"
echo "resident = Linux VmHWM; private = highest RssAnon seen every 10 ms (Wine gives no peak of its own)"
echo "reference's own GetProcessMemoryInfo: PeakWorkingSetSize $(mib "$(field reference_self 1)"), PeakPagefileUsage $(mib "$(field reference_self 2)") (under Wine the current RssAnon)"
