#!/usr/bin/env bash
# Usage: scripts/configure.sh [--source DIR] PRESET [BUILD-DIR [CMAKE-ARGUMENT...]]
# Configures a build tree from a configure preset of CMakePresets.json (native, i686, x86_64,
# x86_64-tests), in BUILD-DIR when given, else in the preset's own folder (build/PRESET).
# Further arguments go to cmake (-DHEXALUNE_BENCH=ON, ...). --source configures another
# project whose CMakePresets.json includes ours (bench/).
#
# CMake settles the compiler and its first flags when a tree is made and keeps them, so a
# tree made before its toolchain file changed would go on building the old way. Such a tree
# is removed and made anew: the checksum of the toolchain file a tree was made with is kept
# beside its cache.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source_dir=$here
if [ "${1:-}" = --source ]; then
    source_dir=$2
    shift 2
fi
preset=${1:?usage: scripts/configure.sh [--source DIR] PRESET [BUILD-DIR [CMAKE-ARGUMENT...]]}
dir=${2:-$source_dir/build/$preset}
shift $(($# < 2 ? $# : 2))
stamp="$dir/.toolchain-sum"

# The checksum of the toolchain file the tree's cache names ("" for a native tree, "missing"
# when that file is gone).
toolchain_sum() {
    local file
    file=$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=//p' "$dir/CMakeCache.txt" 2>/dev/null)
    [ -n "$file" ] || return 0
    if [ -f "$file" ]; then sha256sum "$file" | cut -d' ' -f1; else echo missing; fi
}

sum=$(toolchain_sum)
if [ -n "$sum" ] && [ "$sum" != "$(cat "$stamp" 2>/dev/null)" ]; then
    rm -rf "$dir"
fi
cmake -S "$source_dir" --preset "$preset" -B "$dir" "$@"
sum=$(toolchain_sum)
if [ -n "$sum" ]; then echo "$sum" >"$stamp"; fi
