#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test: the native unit tests, two
# clean builds of the release files compared byte for byte and their manifests checked,
# the Win32 adapters under Wine, and the end-to-end scenarios on the real program.
# The last line is "N passed, N failed"; the exit code is non-zero when anything failed.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/fixed-layout.sh" "$@"
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${HEXALUNE_BUILD:-$here/build}"
. "$here/scripts/wine-session.sh"

passed=0
failed=0
prefix=
cleanup() {
    wine_session_stop "$prefix"
    stop_display
    [ -n "$prefix" ] && rm -rf "$prefix"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if ! "$here/scripts/build.sh" "$out"; then
    echo "build failed"
    echo "0 passed, 1 failed"
    exit 1
fi

# count_gtest LOG STATUS: adds a GoogleTest run's counts. A run that ended badly with no
# failed test of its own (a crash, a failing set-up), or that counted nothing, is one
# failure more.
count_gtest() {
    local p f
    p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$1" | tail -1)
    f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*/\1/p' "$1" | tail -1)
    passed=$((passed + ${p:-0}))
    failed=$((failed + ${f:-0}))
    if [ -z "$p$f" ] || { [ "$2" -ne 0 ] && [ "${f:-0}" -eq 0 ]; }; then
        failed=$((failed + 1))
        echo "$1: exit status $2"
    fi
}

# count_summary LOG STATUS: adds the counts of a run whose log ends with "N passed, N failed".
# A run without that line, or that ended badly with no failure counted, is one failure more.
count_summary() {
    local line p f
    line=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$1" | tail -1)
    p=$(echo "$line" | cut -s -d' ' -f1)
    f=$(echo "$line" | cut -s -d' ' -f3)
    passed=$((passed + ${p:-0}))
    failed=$((failed + ${f:-0}))
    if [ -z "$line" ] || { [ "$2" -ne 0 ] && [ "${f:-0}" -eq 0 ]; }; then
        failed=$((failed + 1))
        echo "$1: exit status $2"
    fi
}

echo "== Native unit tests"
status=0
timeout 600 "$out/native/tests/hexalune_tests" --gtest_brief=1 </dev/null >"$out/native-tests.log" 2>&1 || status=$?
count_gtest "$out/native-tests.log" "$status"
tail -3 "$out/native-tests.log"

echo "== Release files: two clean builds, the manifests"
status=0
"$here/tests/release/run.sh" "$out/release-check" </dev/null >"$out/release-check.log" 2>&1 || status=$?
cat "$out/release-check.log"
count_summary "$out/release-check.log" "$status"

echo "== Win32 adapters under Wine"
prefix=$(mktemp -d /tmp/hexalune-adapters.XXXXXX)
start_display 81 90 || echo "no display for the adapter tests"
wine_session_start "$prefix"
# The 10,000-readings check alone takes one to two minutes under Wine.
status=0
timeout 900 "$WINE64" "$out/x86_64-tests/tests/win32/hexalune_adapter_tests.exe" --gtest_brief=1 \
    </dev/null >"$out/adapter-tests.log" 2>&1 || status=$?
count_gtest "$out/adapter-tests.log" "$status"
tail -3 "$out/adapter-tests.log"
cleanup
prefix=
unset WINEPREFIX

echo "== End-to-end scenarios under Wine"
version=$(sed -n 's/^#define HEXALUNE_VERSION_TEXT "\(.*\)"$/\1/p' "$out/x86_64/generated/core/Version.h")
HEXALUNE_EXE="$out/x86_64/app/win32/Hexalune.exe" HEXALUNE_DRIVER="$out/x86_64-tests/tests/win32/hexalune_driver.exe" \
    HEXALUNE_VERSION="$version" HEXALUNE_SETUP="$out/x86_64/package/Hexalune-$version-setup.exe" \
    "$here/tests/e2e/run.sh" </dev/null >"$out/e2e.log" 2>&1
status=$?
cat "$out/e2e.log"
count_summary "$out/e2e.log" "$status"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
