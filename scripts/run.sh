#!/usr/bin/env bash
# Installs what is missing, builds the x86_64 program, and starts it under Wine on the
# X display in DISPLAY. Arguments go to the program (/STARTUP, ...).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/fixed-layout.sh" "$@"
here="$(cd "$(dirname "$0")/.." && pwd)"
. "$here/scripts/wine-session.sh"

"$here/scripts/ensure-packages.sh"

if ! display_reachable; then
    why="DISPLAY is not set"
    [ -z "${DISPLAY:-}" ] || why="no X server answers on DISPLAY=$DISPLAY"
    echo "Hexalune needs an X display and $why: run it as 'xvfb-run -a scripts/run.sh'," \
        "or with DISPLAY set to a running X server." >&2
    exit 1
fi

# The same tree as scripts/build.sh (the x86_64 preset), and only the program.
out="$here/build/x86_64"
"$here/scripts/configure.sh" x86_64 "$out" >/dev/null
cmake --build "$out" -j"$(nproc)" --target Hexalune

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec "$WINE64" "$out/app/win32/Hexalune.exe" "$@"
