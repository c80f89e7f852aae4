#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Usage: scripts/ensure-packages.sh [run]
#   run   only what building the x86_64 program and starting it under Wine need (scripts/run.sh)
# Says nothing when every package is there: one query of dpkg, well under a second.
set -euo pipefail

packages=(cmake make g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 wine wine64 xvfb x11-utils)
if [ "${1:-}" != run ]; then
    packages+=(g++ googletest g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
               xdotool imagemagick nsis zip faketime git python3-yaml)
fi

# One line per package asked for: its name and its status; a package dpkg has never heard of
# gives no line at all.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
            awk '/ install ok installed$/ { print $1 }' || true)
missing=()
for p in "${packages[@]}"; do
    grep -qxF "$p" <<<"$installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing ${#missing[@]} missing Debian packages (about 2 minutes): ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
