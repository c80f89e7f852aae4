# Sourced: starts and stops a Wine session of our own for one prefix.
# The session's processes outlive the program that started them and inherit every open
# descriptor, so they are started with all descriptors above 2 closed and stdio on /dev/null;
# otherwise whoever reads our output would wait for them forever.
WINE64=/usr/lib/wine/wine64

source "$(dirname "${BASH_SOURCE[0]}")/x-display.sh"

wine_env() {
    export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

run_detached() {
    (
        for fd in /proc/$BASHPID/fd/*; do
            n=${fd##*/}
            [ "$n" -gt 2 ] 2>/dev/null && eval "exec $n>&-"
        done
        exec "$@"
    ) </dev/null >/dev/null 2>&1
}

# wine_session_start PREFIX: boots the prefix (creating it when new).
wine_session_start() {
    wine_env "$1"
    mkdir -p "$WINEPREFIX"
    run_detached wineserver -p
    run_detached timeout 120 "$WINE64" wineboot -i
}

wine_session_stop() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
}

# start_display: an Xvfb of our own on the first free display from :81, exported as DISPLAY.
start_display() {
    local n
    for n in $(seq 81 90); do
        display_taken "$n" && continue
        run_detached Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp &
        XVFB_PID=$!
        for _ in $(seq 50); do
            if [ -e /tmp/.X11-unix/X$n ]; then
                export DISPLAY=":$n"
                XVFB_DISPLAY=$n
                return 0
            fi
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null
    done
    return 1
}

stop_display() {
    # Xvfb runs two shells below the job that started it: the server itself is the one
    # whose process id its lock file holds.
    local pid
    if [ -n "${XVFB_DISPLAY:-}" ]; then
        pid=$(tr -dc 0-9 <"/tmp/.X$XVFB_DISPLAY-lock" 2>/dev/null)
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
    fi
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=
    XVFB_DISPLAY=
}
