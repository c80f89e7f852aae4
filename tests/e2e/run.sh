#!/usr/bin/env bash
# Runs the end-to-end scenarios against the real Hexalune.exe under Xvfb and Wine,
# each in a fresh Wine prefix, and prints one line per scenario and a total.
#
#   HEXALUNE_EXE=.../Hexalune.exe HEXALUNE_DRIVER=.../hexalune_driver.exe tests/e2e/run.sh [name...]
#
# With names, only those scenarios run. Logs and screenshots go to $E2E_ARTIFACTS/<name>/.
# E2E_SCENARIO_TIMEOUT (seconds, default 120) bounds each scenario; E2E_KEEP_PREFIX=1
# keeps the prefixes (in $E2E_WORK/run.<pid>) for a look afterwards. Xvfb takes the first
# free display of E2E_DISPLAY_FIRST..E2E_DISPLAY_LAST (default 91..120).
set -u
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/fixed-layout.sh" "$@"

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$E2E_DIR/lib.sh"

# Nothing we start may hold descriptors our caller gave us besides stdio.
close_descriptors

E2E_SCENARIOS=()
for file in "$E2E_DIR"/scenarios/*.sh; do
    # shellcheck disable=SC1090
    source "$file"
done

# ---- One scenario, in a process of its own (run.sh --one <name>) ----------------
if [[ ${1:-} == --one ]]; then
    name=$2
    export E2E_SCENARIO_DIR=$E2E_ARTIFACTS/$name
    e2e_new_prefix "$E2E_RUN_DIR/prefix-$name" || fail "the Wine prefix could not be prepared"
    "scenario_$name"
    [[ -f $E2E_SCENARIO_DIR/reason ]] && exit 1
    exit 0
fi

# ---- Every scenario ------------------------------------------------------------
for var in HEXALUNE_EXE HEXALUNE_DRIVER; do
    if [[ -z ${!var:-} || ! -f ${!var} ]]; then
        echo "$var must name the built file (now '${!var:-}')" >&2
        echo "0 passed, 1 failed"
        exit 2
    fi
done
if [[ -z $HEXALUNE_VERSION ]]; then
    echo "HEXALUNE_VERSION must name the program's version: it is not in the build tree of $HEXALUNE_EXE" >&2
    echo "0 passed, 1 failed"
    exit 2
fi
HEXALUNE_EXE=$(realpath "$HEXALUNE_EXE")
HEXALUNE_DRIVER=$(realpath "$HEXALUNE_DRIVER")
export HEXALUNE_EXE HEXALUNE_DRIVER

selected=("$@")
((${#selected[@]})) || selected=("${E2E_SCENARIOS[@]}")
for name in "${selected[@]}"; do
    if [[ $(type -t "scenario_$name") != function ]]; then
        echo "no scenario named '$name' (have: ${E2E_SCENARIOS[*]})" >&2
        echo "0 passed, 1 failed"
        exit 2
    fi
done

# This run's prefixes; other runs may share E2E_WORK (and its template).
export E2E_RUN_DIR=$E2E_WORK/run.$$
mkdir -p "$E2E_ARTIFACTS" "$E2E_RUN_DIR"
current_prefix=
cleanup() {
    [[ -n $current_prefix ]] && e2e_stop_prefix "$current_prefix"
    [[ ${E2E_KEEP_PREFIX:-0} == 1 ]] || rm -rf "$E2E_RUN_DIR"
    stop_display
}
trap cleanup EXIT
trap 'exit 130' INT TERM

run_started=$SECONDS
passed=0
failed=0
mkdir -p "$E2E_WORK"
if ! start_display "${E2E_DISPLAY_FIRST:-91}" "${E2E_DISPLAY_LAST:-120}" "$E2E_WORK/xvfb.log"; then
    echo "FAIL display: Xvfb did not start"
    echo "0 passed, ${#selected[@]} failed"
    exit 1
fi
template_started=$SECONDS
if ! e2e_template; then
    echo "FAIL template: the Wine prefix could not be made (see $E2E_WORK/template.log)"
    echo "0 passed, ${#selected[@]} failed"
    exit 1
fi
echo "prefix template ready in $((SECONDS - template_started)) s, display $DISPLAY" >&2

for name in "${selected[@]}"; do
    dir=$E2E_ARTIFACTS/$name
    rm -rf "$dir"
    mkdir -p "$dir"
    current_prefix=$E2E_RUN_DIR/prefix-$name
    started=$SECONDS
    status=0
    timeout -k 5 "${E2E_SCENARIO_TIMEOUT:-120}" bash "$E2E_DIR/run.sh" --one "$name" \
        </dev/null >>"$dir/log.txt" 2>&1 || status=$?
    if ((status != 0)); then
        # A last look at the screen and the windows, before the prefix goes.
        E2E_SCENARIO_DIR=$dir screenshot failure >/dev/null 2>&1
        [[ -d $current_prefix ]] && WINEPREFIX=$current_prefix e2e_detached "$dir/windows-at-failure.txt" \
            timeout 30 "$WINE64" "$HEXALUNE_DRIVER" windows
    fi
    e2e_stop_prefix "$current_prefix"
    [[ ${E2E_KEEP_PREFIX:-0} == 1 ]] || rm -rf "$current_prefix" "$current_prefix.log"
    current_prefix=
    echo "$name took $((SECONDS - started)) s" >&2
    if ((status == 0)); then
        echo "PASS $name"
        passed=$((passed + 1))
    else
        if [[ -f $dir/reason ]]; then
            reason=$(head -c 600 "$dir/reason" | tr '\n' ' ')
        elif ((status == 124 || status == 137)); then
            reason="timed out after ${E2E_SCENARIO_TIMEOUT:-120} s"
        else
            reason="exit status $status, see $dir/log.txt"
        fi
        echo "FAIL $name: $reason"
        failed=$((failed + 1))
    fi
done

echo "e2e took $((SECONDS - run_started)) s; artifacts in $E2E_ARTIFACTS" >&2
echo "$passed passed, $failed failed"
((failed == 0))
