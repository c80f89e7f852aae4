#!/usr/bin/env bash
# Builds the program: the native logic library and tests, the x86_64 program (run under
# Wine here) with its test tools, and the shipped i686 program.
# Usage: scripts/build.sh [build-root]   (default: build/)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$here/build}"

"$here/scripts/ensure-packages.sh"

cmake -S "$here" -B "$out/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$out/native" -j"$(nproc)"

# The x86_64 tree holds the Win32 tests too, and GoogleTest needs std::mutex, which the win32
# thread model of GCC 12 lacks: that tree uses the posix model. The shipped i686 program uses
# the win32 model (it starts no threads, and winpthread would only add to its size).
for arch in x86_64 i686; do
    "$here/scripts/fresh-build-tree.sh" "$out/$arch" "$here/cmake/toolchain-mingw-$arch.cmake"
done
cmake -S "$here" -B "$out/x86_64" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-mingw-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=MinSizeRel -DHEXALUNE_THREADS=posix >/dev/null
cmake -S "$here" -B "$out/i686" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$out/x86_64" -j"$(nproc)" --target Hexalune hexalune_adapter_tests hexalune_driver
cmake --build "$out/i686" -j"$(nproc)" --target Hexalune
# The installer and the portable zip: the shipped ones from i686, a 64-bit installer for the tests.
cmake --build "$out/i686" --target package-windows
cmake --build "$out/x86_64" --target package-windows

# The program must need no DLL that Windows does not ship.
for arch in x86_64 i686; do
    exe="$out/$arch/app/win32/Hexalune.exe"
    dlls=$("$arch-w64-mingw32-objdump" -p "$exe" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
    for dll in $dlls; do
        case "$dll" in
            kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|comctl32.dll|ole32.dll|oleaut32.dll|oleacc.dll|msvcrt.dll) ;;
            *) echo "$exe imports $dll, which Windows does not ship" >&2; exit 1 ;;
        esac
    done
    echo "$arch: $(stat -c %s "$exe") bytes, imports: $(echo $dlls)"
done
