#!/usr/bin/env bash
# Builds the program: the native logic library and tests, the x86_64 program (run under
# Wine here) with its test tools, and the shipped i686 program.
# Usage: scripts/build.sh [build-root]   (default: build/)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$here/build}"

"$here/scripts/ensure-packages.sh"

# Each tree is a configure preset of CMakePresets.json, made under the build root.
"$here/scripts/configure.sh" native "$out/native" >/dev/null
cmake --build "$out/native" -j"$(nproc)"

# The programs, x86_64 (run under Wine here) and i686 (shipped), are built alike: win32
# thread model (they start no threads, and the posix model would link winpthread in).
# The Win32 tests get a tree of their own with the posix model, because GoogleTest needs
# std::mutex, which the win32 model of GCC 12 lacks.
for arch in x86_64 i686; do
    "$here/scripts/configure.sh" "$arch" "$out/$arch" >/dev/null
    cmake --build "$out/$arch" -j"$(nproc)" --target Hexalune
    # The installer and the portable zip: the shipped ones from i686, a 64-bit installer for the tests.
    cmake --build "$out/$arch" --target package-windows
done
"$here/scripts/configure.sh" x86_64-tests "$out/x86_64-tests" >/dev/null
cmake --build "$out/x86_64-tests" -j"$(nproc)" --target hexalune_adapter_tests hexalune_driver

# The program imports only DLLs that Windows itself protects (its known DLLs, and comctl32,
# which comes through the manifest): the loader would take any other one from the exe's
# folder before the system's, so a DLL planted beside a downloaded exe would run in it.
# Every other DLL is loaded at run time from the system folder (core/win32/SystemLibrary.h).
for arch in x86_64 i686; do
    exe="$out/$arch/app/win32/Hexalune.exe"
    dlls=$("$arch-w64-mingw32-objdump" -p "$exe" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
    for dll in $dlls; do
        case "$dll" in
            kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|comctl32.dll|ole32.dll|oleaut32.dll|msvcrt.dll) ;;
            *) echo "$exe imports $dll, which is not one of Windows' known DLLs: load it with LoadSystemLibrary" >&2
               exit 1 ;;
        esac
    done
    echo "$arch: $(stat -c %s "$exe") bytes, imports: $(echo $dlls)"
done
# The 32-bit program may use more than 2 GB of address space (a large journal).
header=$(i686-w64-mingw32-objdump -p "$out/i686/app/win32/Hexalune.exe")
if ! grep -qi "large address aware" <<<"$header"; then
    echo "$out/i686/app/win32/Hexalune.exe is not large address aware" >&2
    exit 1
fi
