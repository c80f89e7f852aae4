# Sourced: starts and stops a Wine session of our own for one prefix.
# The session's processes outlive the program that started them and inherit every open
# descriptor, so they are started with all descriptors above 2 closed and stdio on /dev/null;
# otherwise whoever reads our output would wait for them forever.
WINE64=/usr/lib/wine/wine64

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
