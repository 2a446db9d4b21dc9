# Sourced by scripts/test and scripts/run: a display for Wine (Xvfb when
# there is none) and one persistent wineserver for the whole run, so that
# each Wine process starts in a fraction of a second. Both end on exit.
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export WINEPREFIX="${STARFOLD_WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
session_pids=()

session_stop() {
    WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
    for pid in "${session_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}

# Starts a private Xvfb and names its display in the variable.
session_start_xvfb() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    session_pids+=($!)
    local number
    read -r number <"$fifo"
    rm -f "$fifo"
    export "$1=:$number"
}

session_start() {
    trap session_stop EXIT
    if [ -z "${DISPLAY:-}" ] || [ "${STARFOLD_XVFB:-}" = 1 ]; then session_start_xvfb DISPLAY; fi
    # A second screen for the tests that run beside the others on a desktop
    # of their own (scripts/wine-exec), so that neither covers the other.
    session_start_xvfb STARFOLD_BESIDE_DISPLAY
    wineserver -k 2>/dev/null || true
    # What the server says as it is ended (the objects a process still held)
    # goes to a log of its own, not into the end of the run.
    wineserver -p >>"$root/build/wineserver.log" 2>&1
    # Starts the virtual desktop once, before the tests race to start it.
    "$root/scripts/wine-exec" cmd /c exit 0 >/dev/null 2>&1 || true
}
