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

# Runs a program on the named desktop (Default is the shared one), its output
# going nowhere.
session_on_desktop() {
    local desktop=$1
    shift
    STARFOLD_DESKTOP=${desktop#Default} "$root/scripts/wine-exec" explorer "/desktop=$desktop" "$@" \
        </dev/null >/dev/null 2>&1
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
    # Each virtual desktop is started here, one after the other, by a
    # program whose output goes nowhere: the tests' own keeper, which holds it
    # open until the session ends, where it is built. A desktop's first
    # program starts the desktop's own process, which takes that program's
    # output with it: a test that started a desktop (Wine closes one a second
    # after its last program ends) would count as running until the desktop
    # closed, minutes later; and two programs starting one desktop at once may
    # leave it without its screen.
    local desktop keeper="$root/build/windows/tests/tools/hold_desktop.exe" kept=0 waited
    for desktop in Default StarfoldBeside StarfoldLane; do
        if [ ! -f "$keeper" ]; then
            session_on_desktop "$desktop" cmd /c exit 0 || true
            continue
        fi
        session_on_desktop "$desktop" "Z:${keeper//\//\\}" &
        session_pids+=($!)
        kept=$((kept + 1)) waited=0
        while [ "$(pgrep -c -f '^Z:.*\\hold_desktop\.exe$' || true)" -lt "$kept" ] && [ "$waited" -lt 300 ]; do
            sleep 0.1
            waited=$((waited + 1))
        done
    done
}
