#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program under Wine.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/fixed-layout.sh" "$@"
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/build.sh" "$here/build"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$here/build/x86_64/app/win32/Hexalune.exe" "$@"
