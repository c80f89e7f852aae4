# Sourced: an X display and a Wine session of our own, started and ended in one place for
# the tests, the end-to-end rig and the benchmarks.
#
# Wine's session processes (wineserver, services.exe, explorer.exe /desktop, ...) outlive the
# program that started them and inherit every open descriptor, not only stdio; so does an
# Xvfb. Everything here starts them with every descriptor above 2 closed and stdio pointed
# away from ours, or whoever reads our output would wait for them for ever.
#
#   start_display FIRST LAST [LOG]    an Xvfb on the first free display of FIRST..LAST, exported as DISPLAY
#   stop_display                      ends it
#   display_reachable [DISPLAY]       whether an X server answers there
#   wine_session_start PREFIX [LOG [SECONDS]]
#                                     boots PREFIX (creating it when new) in a session of its own
#   wine_start_wineserver [LOG]       starts the server of $WINEPREFIX alone
#   wine_virtual_desktop SIZE [LOG]   every program of $WINEPREFIX opens on one virtual desktop
#   wine_session_stop [PREFIX]        ends every process of the prefix and waits for its server
#   run_detached LOG COMMAND...       runs COMMAND with no inherited descriptors, output appended to LOG
#   run_detached_bg LOG COMMAND...    the same in the background; DETACHED_PID is COMMAND's own process

: "${WINE64:=/usr/lib/wine/wine64}"
: "${WINESERVER:=/usr/lib/wine/wineserver}"

# ---- Descriptors ---------------------------------------------------------------

# Closes every descriptor of the current shell above 2.
close_descriptors() {
    local fd
    for fd in /proc/$BASHPID/fd/*; do
        fd=${fd##*/}
        [[ $fd =~ ^[0-9]+$ ]] && ((fd > 2)) && eval "exec $fd>&-" 2>/dev/null
    done
    return 0
}

run_detached() {
    local log=$1
    shift
    (
        close_descriptors
        exec "$@"
    ) </dev/null >>"$log" 2>&1
}

# The subshell itself goes to the background and becomes the command: a function call put in
# the background instead would leave a waiting copy of the shell that still holds our stdout,
# and its process id would not be the command's.
run_detached_bg() {
    local log=$1
    shift
    (
        close_descriptors
        exec "$@"
    ) </dev/null >>"$log" 2>&1 &
    DETACHED_PID=$!
}

# ---- The display ---------------------------------------------------------------

# display_taken N: whether display :N is in use. A lock file left by an X server that is no
# longer running (killed, or gone with its machine's session) is removed, not honoured; a
# socket with no lock file beside it is not ours to remove, and counts as taken.
display_taken() {
    local pid
    if [[ -e /tmp/.X$1-lock ]]; then
        pid=$(tr -dc 0-9 <"/tmp/.X$1-lock" 2>/dev/null)
        [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null && return 0
        rm -f "/tmp/.X$1-lock" "/tmp/.X11-unix/X$1"
    fi
    [[ -e /tmp/.X11-unix/X$1 ]]
}

display_reachable() {
    local display=${1:-${DISPLAY:-}}
    [[ -n $display ]] && timeout 5 xdpyinfo -display "$display" >/dev/null 2>&1 </dev/null
}

start_display() {
    local first=$1 last=$2 log=${3:-/dev/null} n i
    for ((n = first; n <= last; n++)); do
        display_taken "$n" && continue
        run_detached_bg "$log" Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp
        XVFB_PID=$DETACHED_PID
        for ((i = 0; i < 100; i++)); do
            if [[ -e /tmp/.X11-unix/X$n ]] && display_reachable ":$n"; then
                XVFB_PREVIOUS_DISPLAY=${DISPLAY-} XVFB_HAD_DISPLAY=${DISPLAY+1}
                export DISPLAY=":$n"
                XVFB_DISPLAY=$n
                # The server is the process its lock file names; stop_display ends that one
                # too, should it not be the process we started.
                XVFB_SERVER_PID=$(tr -dc 0-9 <"/tmp/.X$n-lock" 2>/dev/null)
                return 0
            fi
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        # Another server may have taken the display first; try the next one.
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=
    done
    echo "could not start Xvfb on any display from :$first to :$last" >&2
    return 1
}

# Whether process $1 is still running (a zombie has ended).
process_running() {
    local state
    state=$(sed 's/^.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1)
    [[ -n $state && $state != Z ]]
}

stop_display() {
    local pid i
    for pid in $(printf '%s\n' ${XVFB_SERVER_PID:-} ${XVFB_PID:-} | sort -u); do
        kill "$pid" 2>/dev/null || continue
        for ((i = 0; i < 10; i++)); do
            process_running "$pid" || break
            sleep 0.2
        done
        process_running "$pid" && kill -9 "$pid" 2>/dev/null
    done
    [[ -n ${XVFB_PID:-} ]] && wait "$XVFB_PID" 2>/dev/null
    # DISPLAY goes back to what it was before start_display.
    if [[ -n ${XVFB_DISPLAY:-} ]]; then
        if [[ -n $XVFB_HAD_DISPLAY ]]; then export DISPLAY=$XVFB_PREVIOUS_DISPLAY; else unset DISPLAY; fi
    fi
    XVFB_PID=
    XVFB_SERVER_PID=
    XVFB_DISPLAY=
    return 0
}

# ---- The Wine session ----------------------------------------------------------

wine_env() {
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

wine_start_wineserver() {
    mkdir -p "$WINEPREFIX" &&
        run_detached "${1:-/dev/null}" timeout 30 "$WINESERVER" -p
}

# wine_session_start PREFIX [LOG [SECONDS]]: the server first, then the boot (at most
# SECONDS, default 120), which makes a new prefix and starts the session's processes.
wine_session_start() {
    local log=${2:-/dev/null}
    wine_env "$1"
    wine_start_wineserver "$log" &&
        run_detached "$log" timeout "${3:-120}" "$WINE64" wineboot -i
}

# A virtual desktop with a taskbar and its notification area, for every program of the
# prefix: hiding a window takes no time there, where a bare X server with no window manager
# makes every hide wait. Read when the session starts: stop it and start it again after this.
wine_virtual_desktop() {
    local size=$1 log=${2:-/dev/null}
    run_detached "$log" timeout 60 "$WINE64" reg add 'HKCU\Software\Wine\Explorer' \
        /v Desktop /t REG_SZ /d shell /f &&
        run_detached "$log" timeout 60 "$WINE64" reg add 'HKCU\Software\Wine\Explorer\Desktops' \
            /v shell /t REG_SZ /d "$size" /f
}

# Ends every process of the prefix (default $WINEPREFIX) and waits for its server to go, so
# that the registry is on disk and the next session starts clean: a desktop session started
# while the server of another is still ending takes some ten seconds for its first window.
wine_session_stop() {
    local prefix=${1:-${WINEPREFIX:-}}
    [[ -n $prefix && -d $prefix ]] || return 0
    WINEPREFIX=$prefix timeout 20 "$WINESERVER" -k >/dev/null 2>&1 </dev/null
    WINEPREFIX=$prefix timeout 20 "$WINESERVER" -w >/dev/null 2>&1 </dev/null
    return 0
}
