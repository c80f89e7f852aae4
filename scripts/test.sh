#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test: the native unit tests,
# the Win32 adapters under Wine, and the end-to-end scenarios on the real program.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/fixed-layout.sh" "$@"
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${HEXALUNE_BUILD:-$here/build}"
"$here/scripts/build.sh" "$out" || { echo "build failed"; exit 1; }
. "$here/scripts/wine-session.sh"

passed=0
failed=0
count_gtest() {  # adds a GoogleTest log's counts
    local p f
    p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$1" | tail -1)
    f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*/\1/p' "$1" | tail -1)
    passed=$((passed + ${p:-0}))
    failed=$((failed + ${f:-0}))
    [ -n "$p$f" ] || failed=$((failed + 1))
}

echo "== Native unit tests"
(cd "$out/native" && ctest --output-on-failure -j"$(nproc)") | tail -3
"$out/native/tests/hexalune_tests" --gtest_brief=1 >"$out/native-tests.log" 2>&1
count_gtest "$out/native-tests.log"
tail -3 "$out/native-tests.log"

echo "== Win32 adapters under Wine"
prefix=$(mktemp -d /tmp/hexalune-adapters.XXXXXX)
start_display || echo "no display for the adapter tests"
wine_session_start "$prefix"
# The 10,000-readings check alone takes one to two minutes under Wine.
timeout 900 "$WINE64" "$out/x86_64-tests/tests/win32/hexalune_adapter_tests.exe" --gtest_brief=1 \
    </dev/null >"$out/adapter-tests.log" 2>&1
count_gtest "$out/adapter-tests.log"
tail -3 "$out/adapter-tests.log"
wine_session_stop
stop_display
rm -rf "$prefix"

echo "== End-to-end scenarios under Wine"
HEXALUNE_EXE="$out/x86_64/app/win32/Hexalune.exe" HEXALUNE_DRIVER="$out/x86_64-tests/tests/win32/hexalune_driver.exe" \
    HEXALUNE_SETUP="$out/x86_64/package/Hexalune-1.20-setup.exe" \
    "$here/tests/e2e/run.sh" </dev/null >"$out/e2e.log" 2>&1
cat "$out/e2e.log"
e2e=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$out/e2e.log" | tail -1)
if [ -n "$e2e" ]; then
    passed=$((passed + $(echo "$e2e" | cut -d' ' -f1)))
    failed=$((failed + $(echo "$e2e" | cut -d' ' -f3)))
else
    failed=$((failed + 1))
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
