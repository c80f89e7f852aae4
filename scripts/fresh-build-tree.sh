#!/usr/bin/env bash
# Usage: scripts/fresh-build-tree.sh DIR FILE...
# CMake settles the compiler and its first flags when a build tree is made and keeps them,
# so a tree made before a toolchain file changed would go on building the old way. This
# removes DIR when FILE... (the toolchain files it is configured with) changed since it was
# made, and records what they are now.
set -euo pipefail
dir=$1
shift
sum=$(cat "$@" | sha256sum | cut -d' ' -f1)
stamp="$dir/.toolchain-sum"
if [ -d "$dir" ] && [ "$(cat "$stamp" 2>/dev/null)" != "$sum" ]; then
    rm -rf "$dir"
fi
mkdir -p "$dir"
echo "$sum" >"$stamp"
