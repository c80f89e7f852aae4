#!/usr/bin/env bash
# Installs what is missing, builds the x86_64 program, and starts it under Wine on the X display in
# DISPLAY. Arguments go to the program (/STARTUP, ...).
#
# Wine keeps its Windows (registry, user folders) in a prefix: this script uses its own, build/wine
# in the checkout, or WINEPREFIX when that is set; never ~/.wine. On a display with no window
# manager (xvfb-run, a bare X server) the program opens in a Wine virtual desktop, which gives its
# window a frame and a taskbar with the notification area.
#
# The first run on a fresh machine takes a few minutes (packages, building, making the prefix);
# later ones start the program within seconds. Each step says what it does in one line; the logs
# of the build and of Wine's set-up go to build/run-*.log.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/fixed-layout.sh" "$@"
here="$(cd "$(dirname "$0")/.." && pwd)"
. "$here/scripts/wine-session.sh"

say() { printf '%s\n' "$*"; }

mkdir -p "$here/build"
# The packages are checked again only when dpkg has changed something since the last check.
packages_checked="$here/build/.run-packages-checked"
if ! [ "$packages_checked" -nt /var/lib/dpkg/status ] || ! [ "$packages_checked" -nt "$here/scripts/ensure-packages.sh" ]; then
    say "Checking the Debian packages (a second)..."
    "$here/scripts/ensure-packages.sh" run
    touch "$packages_checked"
fi

if ! display_reachable; then
    why="DISPLAY is not set"
    [ -z "${DISPLAY:-}" ] || why="no X server answers on DISPLAY=$DISPLAY"
    echo "Hexalune needs an X display and $why: run it as 'xvfb-run -a scripts/run.sh'," \
        "or with DISPLAY set to a running X server." >&2
    exit 1
fi

# Wine's prefix, made on first use, while the program builds. Making one prints harmless
# complaints (rundll32's c0000135, fixme and err lines): they go to the log. The session
# (wineserver, services, ...) is started apart from us with no descriptor of ours, so that
# nothing waits for it once the program has ended.
prefix=${WINEPREFIX:-$here/build/wine}
wine_log="$here/build/run-wine.log"
if [ -f "$prefix/system.reg" ]; then
    say "Starting Wine in $prefix (a few seconds, alongside the build)..."
else
    say "Preparing Wine in $prefix (first time only, about a minute, alongside the build)..."
fi
wine_env "$prefix"
wine_session_start "$prefix" "$wine_log" 300 &
wine_starting=$!

# The same tree as scripts/build.sh (the x86_64 preset), and only the program. A tree already
# configured with today's toolchain file is not configured again: building it runs CMake again
# by itself when a CMakeLists.txt has changed. With nothing in the checkout newer than the last
# build (no file, and no folder whose files came or went), make is not even asked.
out="$here/build/x86_64"
exe="$out/app/win32/Hexalune.exe"
build_log="$here/build/run-build.log"
built="$out/.run-built"
configured=
[ -f "$out/CMakeCache.txt" ] &&
    [ "$(cat "$out/.toolchain-sum" 2>/dev/null)" = "$(sha256sum "$here/cmake/toolchain-mingw.cmake" | cut -d' ' -f1)" ] &&
    configured=1
if [ -n "$configured" ] && [ -f "$exe" ] && [ -f "$built" ] &&
    [ -z "$(find "$here" \( -path "$here/build" -o -path "$here/.git" \) -prune -o -newer "$built" -print -quit)" ]; then
    say "Hexalune.exe is up to date."
else
    if [ -n "$configured" ]; then
        say "Building Hexalune.exe (seconds when little has changed, about 2 minutes from scratch)..."
    else
        say "Configuring and building Hexalune.exe (about 2 minutes the first time)..."
        "$here/scripts/configure.sh" x86_64 "$out" >"$build_log" 2>&1 || {
            cat "$build_log" >&2
            exit 1
        }
    fi
    cmake --build "$out" -j"$(nproc)" --target Hexalune >>"$build_log" 2>&1 || {
        tail -n 40 "$build_log" >&2
        echo "The build failed; its whole log is $build_log" >&2
        exit 1
    }
    touch "$built"
fi

wait "$wine_starting" || {
    tail -n 20 "$wine_log" >&2
    echo "Wine could not start; its log is $wine_log" >&2
    exit 1
}

command=("$WINE64" "$exe" "$@")
# A window manager announces itself on the root window; with none, windows would have no frame.
if ! timeout 5 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    # "shell" is the desktop with a taskbar and the notification area; it starts the program by
    # its Windows path.
    command=("$WINE64" explorer /desktop=shell,1024x768 "$("$WINE64" winepath -w "$exe" 2>/dev/null)" "$@")
    say "Starting Hexalune in a Wine virtual desktop (it ends with the program)..."
else
    say "Starting Hexalune..."
fi
# Wine's own chatter (fixme, err, warn lines and the loader's complaints) is no news to a user.
"${command[@]}" 2> >(grep -vE '^[0-9a-f]{4}:(fixme|err|warn|trace):|c0000135' >&2 || true)
