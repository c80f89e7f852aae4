# Sourced: telling which X displays are in use.

# display_taken N: whether display :N is in use. A lock file left by an X server that is no
# longer running (killed, or gone with its machine's session) is removed, not honoured.
display_taken() {
    local pid
    [ -e "/tmp/.X$1-lock" ] || return 1
    pid=$(tr -dc 0-9 <"/tmp/.X$1-lock" 2>/dev/null)
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && return 0
    rm -f "/tmp/.X$1-lock" "/tmp/.X11-unix/X$1"
    return 1
}
