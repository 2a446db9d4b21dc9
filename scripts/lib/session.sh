# Sourced by scripts/test and scripts/run: a display for Wine (Xvfb when
# there is none) and one persistent wineserver for the whole run, so that
# each Wine process starts in a fraction of a second. Both end on exit.
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export WINEPREFIX="${STARFOLD_WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
session_pids=() session_fifos=()

session_stop() {
    WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
    for pid in "${session_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -f "${session_fifos[@]}"
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
    # of their own (scripts/wine-exec), so that neither covers the other, and
    # a third for the second lane of scenarios.
    session_start_xvfb STARFOLD_BESIDE_DISPLAY
    session_start_xvfb STARFOLD_LANE_DISPLAY
    wineserver -k 2>/dev/null || true
    # What the server says as it is ended (the objects a process still held)
    # goes to a log of its own, not into the end of the run.
    wineserver -p >>"$root/build/wineserver.log" 2>&1
    # Each virtual desktop is started here, and kept, by a program that waits
    # on it until the session ends. A desktop's first program starts the
    # desktop's own process, which takes that program's output with it: a
    # test that started it would count as running until the desktop closes,
    # minutes later; and Wine closes a desktop a second after its last
    # program ends, which a lull between tests would give it.
    # The program is a pause whose input never comes: it ends with the
    # session, as the writer that never writes is ended.
    local desktop input
    for desktop in Default StarfoldBeside StarfoldLane; do
        input=$(mktemp -u)
        mkfifo "$input"
        STARFOLD_DESKTOP=${desktop#Default} "$root/scripts/wine-exec" \
            explorer "/desktop=$desktop" cmd /c pause <"$input" >/dev/null 2>&1 &
        session_pids+=($!)
        sleep infinity >"$input" &
        session_pids+=($!)
        session_fifos+=("$input")
    done
    # Each desktop is up before the tests race to start it.
    for desktop in Default StarfoldBeside StarfoldLane; do
        STARFOLD_DESKTOP=${desktop#Default} "$root/scripts/wine-exec" \
            explorer "/desktop=$desktop" cmd /c exit 0 >/dev/null 2>&1 || true
    done
}
