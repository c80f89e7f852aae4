#!/usr/bin/env bash
# Runs scripts/release.sh twice, each time in a clean folder of WORK, and checks that the two
# give the same exe and the same release files byte for byte, and that the manifests are whole
# and name the files' true hashes (check_release.py). Ends with "N passed, N failed".
# Usage: tests/release/run.sh WORK
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$1
passed=0
failed=0

for run in a b; do
    rm -rf "${work:?}/$run"
    mkdir -p "$work/$run"
    if ! "$here/scripts/release.sh" "$work/$run/dist" "$work/$run/build" </dev/null >"$work/$run/release.log" 2>&1; then
        tail -20 "$work/$run/release.log"
        echo "FAIL release build $run: scripts/release.sh failed"
        echo "$passed passed, $((failed + 1)) failed"
        exit 1
    fi
done

differ=$(cmp "$work/a/build/app/win32/Hexalune.exe" "$work/b/build/app/win32/Hexalune.exe" 2>&1;
         diff -rq "$work/a/dist" "$work/b/dist")
if [ -z "$differ" ]; then
    echo "PASS two clean builds give the same exe and release files"
    passed=$((passed + 1))
else
    echo "FAIL two clean builds differ: $differ"
    failed=$((failed + 1))
fi

python3 "$here/tests/release/check_release.py" "$work/a/dist" "$work/a/build" >"$work/checks.log" 2>&1
status=$?
cat "$work/checks.log"
passed=$((passed + $(grep -c '^PASS' "$work/checks.log")))
failed=$((failed + $(grep -c '^FAIL' "$work/checks.log")))
if [ "$status" -ne 0 ]; then
    echo "FAIL manifest checks: exit status $status"
    failed=$((failed + 1))
fi
echo "$passed passed, $failed failed"
