# Sourced by the run and test commands: a Wine prefix of the project's own and a
# private X server. Call start_wine and start_xvfb; stop_all undoes both.

QUORVEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${QUORVEL_WINEPREFIX:-$QUORVEL_ROOT/build/wineprefix}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -x /usr/lib/wine/wine64 ]; then
    QUORVEL_WINE=/usr/lib/wine/wine64
else
    QUORVEL_WINE=wine
fi
QUORVEL_WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
QUORVEL_XVFB_PID=""

start_xvfb() {
    local displayfile
    displayfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$displayfile" 2>/dev/null &
    QUORVEL_XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$displayfile" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$displayfile")"
    rm -f "$displayfile"
}

start_wine() {
    mkdir -p "$WINEPREFIX"
    if [ ! -f "$WINEPREFIX/.quorvel-ready" ]; then
        echo "Preparing the Wine prefix in $WINEPREFIX ..."
        "$QUORVEL_WINE" wineboot -i >/dev/null 2>&1 || true
        "$QUORVEL_WINESERVER" -w
        "$QUORVEL_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        "$QUORVEL_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        "$QUORVEL_WINESERVER" -w
        touch "$WINEPREFIX/.quorvel-ready"
    fi
    # A persistent server with its services already up, so that ctest does not wait
    # on the pipes that services started by a test would inherit.
    "$QUORVEL_WINESERVER" -p </dev/null >/dev/null 2>&1
    "$QUORVEL_WINE" wineboot >/dev/null 2>&1 || true
}

stop_all() {
    "$QUORVEL_WINESERVER" -k >/dev/null 2>&1 || true
    if [ -n "$QUORVEL_XVFB_PID" ]; then
        kill "$QUORVEL_XVFB_PID" 2>/dev/null || true
        wait "$QUORVEL_XVFB_PID" 2>/dev/null || true
    fi
}

# Waits for Quorvel's window, confirming the "Cannot read config!" boxes of a first
# start; prints the window's X id.
wait_for_quorvel_window() {
    local window="" box
    for _ in $(seq 150); do
        for box in $(xdotool search --name '^Error$' 2>/dev/null); do
            xdotool key --window "$box" Return 2>/dev/null || true
        done
        window=$(xdotool search --name '^Quorvel ~' 2>/dev/null | head -n1 || true)
        [ -n "$window" ] && break
        sleep 0.2
    done
    [ -n "$window" ] || { echo "The Quorvel window did not appear." >&2; return 1; }
    echo "$window"
}

# Closes Quorvel the normal way (the close request), so that it writes its settings.
close_quorvel() {
    "$QUORVEL_WINE" taskkill /im quorvel.exe >/dev/null 2>&1 || true
}
