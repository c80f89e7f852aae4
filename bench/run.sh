#!/usr/bin/env bash
# Benchmarks of Hexalune: start-up against its window alone, two idle minutes beside a bare
# window, memory, repaints, size, one look at the clock and opening a ten-year journal.
#
# Builds the program (x86_64 to run, with the readings check and the program's window alone
# beside it; i686 to measure the shipped size), builds the bench programs in bench/ (a
# minimal window as the reference, the start-up probe, the tick timer), boots a fresh Wine prefix on a private Xvfb display with a virtual desktop,
# keeps its wineserver warm, runs everything and writes bench/out/results.md (with the
# raw figures beside it). Every step has a time limit; Xvfb and the Wine session are
# ended on the way out, whatever happened.
#
# Settings (environment):
#   BENCH_BUILD, BENCH_BUILD32   Hexalune build trees, made from the x86_64 and i686 presets of
#                                CMakePresets.json (default build/bench/x86_64, build/bench/i686)
#   BENCH_TOOLS_BUILD            build tree of the bench programs (default build/bench/tools)
#   BENCH_WORK                   Wine prefix and logs (default /tmp/bench-run)
#   BENCH_OUT                    results (default bench/out)
#   BENCH_RUNS                   timed start-ups per program (default 10)
#   BENCH_REPAINTS               repaints in the repaint check (default 1000)
#   BENCH_TICKS                  ticks timed by tick_bench (default 100000)
#   BENCH_READINGS               new readings in the readings check (default 1000)
#   BENCH_JOURNAL_RUNS           timed runs of the journal bench (default 20)
#   BENCH_IDLE_SECONDS           how long the program and the floor sit idle side by side (default 120)
#   BENCH_DISPLAY_FIRST, BENCH_DISPLAY_LAST
#                                the displays Xvfb may take, the first free one (default 91..120)
#   BENCH_KEEP_PREFIX=1          keep the Wine prefix afterwards (it is deleted otherwise)
# Exit code: 0 when everything ran (whatever the figures), 1 when a step failed.
set -uo pipefail
# Wine starts as it does in the tests (see scripts/fixed-layout.sh).
. "$(dirname "${BASH_SOURCE[0]}")/../scripts/fixed-layout.sh" "$@"

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
# The build trees belong to this checkout: a tree is tied to the sources it was made from.
build64=${BENCH_BUILD:-$root/build/bench/x86_64}
build32=${BENCH_BUILD32:-$root/build/bench/i686}
tools=${BENCH_TOOLS_BUILD:-$root/build/bench/tools}
work=${BENCH_WORK:-/tmp/bench-run}
out=${BENCH_OUT:-$here/out}
runs=${BENCH_RUNS:-10}
repaints=${BENCH_REPAINTS:-1000}
ticks=${BENCH_TICKS:-100000}
readings_count=${BENCH_READINGS:-1000}
journal_runs=${BENCH_JOURNAL_RUNS:-20}
idle_seconds=${BENCH_IDLE_SECONDS:-120}
# Xvfb takes the first free display of this range.
display_first=${BENCH_DISPLAY_FIRST:-91}
display_last=${BENCH_DISPLAY_LAST:-120}

source "$root/scripts/wine-session.sh"
wine64=$WINE64
logs=$work/logs
prefix=$work/prefix
started=$(date +%s)

say() { printf '[bench %3ds] %s\n' $(($(date +%s) - started)) "$*"; }
fail() {
    say "FAILED: $*"
    exit 1
}

# Runs a command with its output in a log of its own and every other descriptor closed
# (see scripts/wine-session.sh).
run_closed() {
    : >"$1"
    run_detached "$@"
}

winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

session_up=0
cleanup() {
    if [ "$session_up" = 1 ]; then
        wine_session_stop "$prefix"
        # The prefix is some 700 MB; it is made anew by every run anyway.
        [ "${BENCH_KEEP_PREFIX:-0}" = 1 ] || rm -rf "$prefix"
    fi
    stop_display
}
trap cleanup EXIT
trap 'exit 1' INT TERM

mkdir -p "$logs" "$out" || fail "cannot create $logs or $out"

# ---- tools ----------------------------------------------------------------------------
if [ -x "$root/scripts/ensure-packages.sh" ]; then
    timeout 600 "$root/scripts/ensure-packages.sh" </dev/null >"$logs/packages.log" 2>&1 ||
        say "warning: scripts/ensure-packages.sh failed (see $logs/packages.log)"
fi
for tool in cmake x86_64-w64-mingw32-g++-win32 i686-w64-mingw32-objdump Xvfb xdpyinfo "$WINESERVER" timeout; do
    command -v "$tool" >/dev/null 2>&1 || fail "missing $tool"
done
[ -x "$wine64" ] || fail "missing $wine64"

# ---- builds ---------------------------------------------------------------------------
build_hexalune() {  # build_hexalune PRESET DIR LOG PHASES TARGET...
    local preset=$1 dir=$2 log=$3 phases=$4
    shift 4
    timeout 600 "$root/scripts/configure.sh" "$preset" "$dir" -DHEXALUNE_BENCH=ON -DHEXALUNE_BENCH_PHASES="$phases" \
        >"$log" 2>&1 </dev/null &&
        timeout 900 cmake --build "$dir" -j2 --target "$@" >>"$log" 2>&1 </dev/null
}
# The x86_64 program marks its phases for the breakdown (core/BenchPhases.h); the i686 one,
# measured for its size, is built as it is shipped.
say "building Hexalune (x86_64) in $build64"
build_hexalune x86_64 "$build64" "$logs/build64.log" ON Hexalune hexalune_readings_bench hexalune_window_alone ||
    { tail -20 "$logs/build64.log"; fail "x86_64 build"; }
say "building Hexalune (i686) in $build32"
build_hexalune i686 "$build32" "$logs/build32.log" OFF Hexalune ||
    { tail -20 "$logs/build32.log"; fail "i686 build"; }
# bench/ is a project of its own; its CMakePresets.json takes the program's presets.
say "building the bench programs in $tools"
{ timeout 300 "$root/scripts/configure.sh" --source "$here" x86_64 "$tools" \
    -DHEXALUNE_GENERATED_DIR="$build64/generated" >"$logs/tools.log" 2>&1 </dev/null &&
    timeout 900 cmake --build "$tools" -j2 >>"$logs/tools.log" 2>&1 </dev/null; } ||
    { tail -20 "$logs/tools.log"; fail "bench programs build"; }

hexalune64=$build64/app/win32/Hexalune.exe
hexalune32=$build32/app/win32/Hexalune.exe
readings_bench=$build64/hexalune_readings_bench.exe
window_alone=$build64/hexalune_window_alone.exe
for f in "$hexalune64" "$hexalune32" "$readings_bench" "$window_alone" "$tools/minimal_window.exe" "$tools/minimal_window_dlls.exe" "$tools/startup_probe.exe" \
    "$tools/tick_bench.exe" "$tools/journal_bench.exe"; do
    [ -f "$f" ] || fail "missing $f"
done

# ---- the machine ----------------------------------------------------------------------
machine=$out/machine.txt
{
    echo "nproc=$(nproc)"
    echo "cpu=$(grep -m1 'model name' /proc/cpuinfo | sed 's/^[^:]*: *//')"
    echo "memory=$(awk '/MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo)"
    echo "kernel=$(uname -sr)"
    echo "os=$(. /etc/os-release 2>/dev/null && echo "$PRETTY_NAME")"
    echo "compiler=$(x86_64-w64-mingw32-g++-win32 -dumpfullversion 2>/dev/null) (mingw-w64, win32 threads, as the shipped program)"
    echo "loadavg_start=$(cut -d' ' -f1-3 /proc/loadavg)"
} >"$machine"
timeout 30 "$wine64" --version </dev/null >"$logs/wine-version.txt" 2>&1
echo "wine=$(head -1 "$logs/wine-version.txt")" >>"$machine"

# ---- size -----------------------------------------------------------------------------
say "measuring the i686 executable"
size_file=$out/size.txt
{
    echo "bytes=$(stat -c %s "$hexalune32")"
    i686-w64-mingw32-objdump -p "$hexalune32" | awk '/DLL Name:/ {printf "%s%s", sep, $3; sep=" "} END {print ""}' |
        sed 's/^/imports=/'
} >"$size_file"
i686-w64-mingw32-objdump -h "$hexalune32" >"$out/sections-i686.txt" 2>&1
# DLLs that come with Windows itself (7 and later); anything else would have to be shipped.
system_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll comctl32.dll comdlg32.dll ole32.dll
 oleaut32.dll msvcrt.dll uxtheme.dll shlwapi.dll version.dll winmm.dll ws2_32.dll rpcrt4.dll imm32.dll
 oleacc.dll dwmapi.dll ntdll.dll psapi.dll shcore.dll secur32.dll crypt32.dll wininet.dll winhttp.dll
 setupapi.dll userenv.dll gdiplus.dll msimg32.dll "
system_dlls=" $(echo $system_dlls) "
foreign=""
for dll in $(sed -n 's/^imports=//p' "$size_file"); do
    lower=$(printf '%s' "$dll" | tr 'A-Z' 'a-z')
    case "$lower" in api-ms-win-*) continue ;; esac
    [[ "$system_dlls" == *" $lower "* ]] || foreign="$foreign $dll"
done
echo "foreign_imports=${foreign# }" >>"$size_file"
while read -r _ name hexsize _; do
    [[ "$name" == .* && "$hexsize" =~ ^[0-9a-f]+$ ]] && echo "section$name=$((16#$hexsize))"
done <"$out/sections-i686.txt" >>"$size_file"

# ---- the Wine session -----------------------------------------------------------------
rm -f "$logs/xvfb.log" "$logs/wineboot.log" "$logs/reg.log" "$logs/wineboot2.log"
say "starting Xvfb"
start_display "$display_first" "$display_last" "$logs/xvfb.log" || fail "Xvfb did not start (see $logs/xvfb.log)"
say "booting a fresh prefix in $prefix on $DISPLAY"
rm -rf "$prefix"
session_up=1
wine_session_start "$prefix" "$logs/wineboot.log" 180 || fail "wineboot (see $logs/wineboot.log)"
# Every program of the prefix opens on one virtual desktop: windows hide without the
# wait a bare X server without a window manager imposes.
wine_virtual_desktop 1024x768 "$logs/reg.log" || fail "reg add (see $logs/reg.log)"
wine_session_stop
wine_session_start "$prefix" "$logs/wineboot2.log" || fail "wineboot (see $logs/wineboot2.log)"

# ---- idle -----------------------------------------------------------------------------
# The program, started as at a log-on into the notification area with no display time due,
# and the floor sit idle side by side. Wake-ups are the voluntary context switches of all of
# a process's threads; processor time is their run time (schedstat, in nanoseconds).
idle_sample() {  # idle_sample PID: prints "switches nanoseconds"
    local task switches=0 ns=0 n
    for task in /proc/"$1"/task/*; do
        n=$(awk '/^voluntary_ctxt_switches/ { print $2 }' "$task/status" 2>/dev/null) && switches=$((switches + ${n:-0}))
        read -r n _ <"$task/schedstat" 2>/dev/null && ns=$((ns + n))
    done
    echo "$switches $ns"
}
say "idle: the program in the notification area and the floor, side by side for $idle_seconds s"
idle_reg() { run_closed "$logs/idle-reg.log" timeout 60 "$wine64" reg add "$1" /v "$2" /d "$3" /f; }
settings_key='HKCU\Software\Hexalune\Hexalune\Settings'
idle_reg 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' Hexalune "\"$(winpath "$hexalune64")\" /STARTUP" &&
    idle_reg "$settings_key" RunAtSysTray True && idle_reg "$settings_key" Hour $((($(date +%-H) + 12) % 24)) &&
    idle_reg "$settings_key" Minute 0 && idle_reg "$settings_key" Second 0 &&
    idle_reg "$settings_key" Date "$(date -d tomorrow +%-m/%-d/%Y)" || fail "reg add (see $logs/idle-reg.log)"
run_detached_bg "$logs/idle-hexalune.log" timeout $((idle_seconds + 60)) "$wine64" "$hexalune64" /STARTUP
idle_hexalune=$DETACHED_PID
run_detached_bg "$logs/idle-floor.log" timeout $((idle_seconds + 60)) "$wine64" "$tools/minimal_window.exe"
idle_floor=$DETACHED_PID
sleep 10  # both started, shown or in the tray, and settled
# timeout runs the program as its child.
idle_pid() { pgrep -P "$1" | head -1; }
hexalune_pid=$(idle_pid "$idle_hexalune") floor_pid=$(idle_pid "$idle_floor")
[ -n "$hexalune_pid" ] && [ -n "$floor_pid" ] || fail "the idle programs did not start (see $logs/idle-*.log)"
read -r h_sw0 h_ns0 <<<"$(idle_sample "$hexalune_pid")"
read -r f_sw0 f_ns0 <<<"$(idle_sample "$floor_pid")"
sleep "$idle_seconds"
read -r h_sw1 h_ns1 <<<"$(idle_sample "$hexalune_pid")"
read -r f_sw1 f_ns1 <<<"$(idle_sample "$floor_pid")"
{
    echo "idle_seconds=$idle_seconds"
    echo "idle.hexalune.wakeups=$((h_sw1 - h_sw0))"
    echo "idle.hexalune.cpu_ms=$(awk -v a="$h_ns0" -v b="$h_ns1" 'BEGIN { printf "%.1f", (b - a) / 1e6 }')"
    echo "idle.hexalune.threads=$(ls /proc/"$hexalune_pid"/task | wc -l)"
    echo "idle.floor.wakeups=$((f_sw1 - f_sw0))"
    echo "idle.floor.cpu_ms=$(awk -v a="$f_ns0" -v b="$f_ns1" 'BEGIN { printf "%.1f", (b - a) / 1e6 }')"
    echo "idle.floor.threads=$(ls /proc/"$floor_pid"/task | wc -l)"
} >"$out/idle.txt"
kill "$idle_hexalune" "$idle_floor" 2>/dev/null
wait "$idle_hexalune" "$idle_floor" 2>/dev/null
run_closed "$logs/idle-reg.log" timeout 60 "$wine64" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Hexalune /f
cat "$out/idle.txt"

# ---- the tick -------------------------------------------------------------------------
say "timing $ticks ticks with the registry store"
rm -f "$out/tick.txt"
run_closed "$logs/tick_bench.log" timeout 300 "$wine64" "$tools/tick_bench.exe" --ticks "$ticks" --batch 1000 \
    --out "$(winpath "$out/tick.txt")" || fail "tick_bench (see $logs/tick_bench.log)"

# ---- the journal ----------------------------------------------------------------------
say "opening a ten-year journal, $journal_runs runs"
rm -f "$out/journal.txt"
run_closed "$logs/journal_bench.log" timeout 600 "$wine64" "$tools/journal_bench.exe" --runs "$journal_runs" \
    --out "$(winpath "$out/journal.txt")" || fail "journal_bench (see $logs/journal_bench.log)"
# A journal of about 4,000 rows and one of 100,000, each in a process of its own: time and memory.
for rows in 4000 100000; do
    say "opening a journal of $rows rows, with its memory"
    run_closed "$logs/journal_bench_$rows.log" timeout 600 "$wine64" "$tools/journal_bench.exe" --rows "$rows" \
        --out "$(winpath "$out/journal.txt")" || fail "journal_bench --rows $rows (see $logs/journal_bench_$rows.log)"
done

# ---- start-up, memory, repaints -------------------------------------------------------
say "start-up: $runs runs each, then $repaints repaints"
rm -f "$out/probe.tsv" "$out/probe.tsv.summary" "$out/probe.tsv.phases.md"
run_closed "$logs/probe.log" timeout 900 "$wine64" "$tools/startup_probe.exe" --out "$(winpath "$out/probe.tsv")" \
    --runs "$runs" --repaints "$repaints" --settle-ms 300 --poll-ms 2 \
    --repaint-target minimal --repaint-target minimal_dlls --repaint-target hexalune --repaint-target window_alone \
    --target minimal BenchMinimalWindow "$(winpath "$tools/minimal_window.exe")" - \
    --target minimal_dlls BenchMinimalWindow "$(winpath "$tools/minimal_window_dlls.exe")" - \
    --target window_alone HexaluneMainWindow "$(winpath "$window_alone")" - \
    --target hexalune HexaluneMainWindow "$(winpath "$hexalune64")" 'keep:Software\Hexalune\Hexalune' \
    --target hexalune_fresh HexaluneMainWindow "$(winpath "$hexalune64")" 'fresh:Software\Hexalune\Hexalune'
probe_rc=$?
[ -f "$out/probe.tsv.summary" ] || fail "startup_probe wrote no summary (exit $probe_rc, see $logs/probe.log)"
[ "$probe_rc" = 0 ] || say "warning: startup_probe exit $probe_rc (see $logs/probe.log)"
# ---- 1,000 new readings in the program's window --------------------------------------
say "$readings_count new readings in the program's window"
rm -f "$out/readings.txt" "$out/readings.txt.phases.md"
run_closed "$logs/readings_bench.log" timeout 900 "$wine64" "$readings_bench" --readings "$readings_count" \
    --out "$(winpath "$out/readings.txt")" || fail "hexalune_readings_bench (see $logs/readings_bench.log)"
echo "loadavg_end=$(cut -d' ' -f1-3 /proc/loadavg)" >>"$machine"

# ---- results --------------------------------------------------------------------------
say "writing $out/results.md"
elapsed=$(($(date +%s) - started))
cat "$machine" "$size_file" "$out/idle.txt" "$out/tick.txt" "$out/journal.txt" "$out/readings.txt" "$out/probe.tsv.summary" | sed 's/\r$//' >"$out/all.txt"
awk -F= -v elapsed="$elapsed" '
    { v[$1] = substr($0, length($1) + 2) }
    function ratio(a, b) { return b + 0 > 0 ? sprintf("%.2f", a / b) : "n/a" }
    function verdict(ok) { return ok ? "pass" : "FAIL" }
    function mib(x) { return sprintf("%.2f MiB", x / 1048576) }
    END {
        print "# Hexalune benchmarks: results of bench/run.sh"
        print ""
        printf "Machine: %s CPU(s), %s, %s; %s; %s; %s. Load average %s at the start, %s at the end. Whole run %d s.\n\n",
            v["nproc"], v["cpu"], v["memory"], v["os"], v["kernel"], v["wine"], v["loadavg_start"], v["loadavg_end"], elapsed
        # The goals: the program against its own window alone, and idle against nothing.
        print "Goals, in this run:"
        print ""
        print "| Figure | Goal | Hexalune | Reference | Ratio | Result |"
        print "| --- | --- | --- | --- | --- | --- |"
        r = ratio(v["hexalune.startup_cpu_ms_median"], v["window_alone.startup_cpu_ms_median"])
        printf "| Processor time to the first painted window, median (store kept), against the window alone (bench/window_alone.cpp) | <= 1.10 x window alone | %s ms | %s ms | %s | %s |\n",
            v["hexalune.startup_cpu_ms_median"], v["window_alone.startup_cpu_ms_median"], r, verdict(r != "n/a" && r + 0 <= 1.10)
        printf "| Wake-ups over %s idle seconds in the notification area, no display time due (voluntary context switches, all threads) | <= 4 | %s | floor: %s | - | %s |\n",
            v["idle_seconds"], v["idle.hexalune.wakeups"], v["idle.floor.wakeups"], verdict(v["idle.hexalune.wakeups"] != "" && v["idle.hexalune.wakeups"] + 0 <= 4)
        printf "| Processor time over those %s idle seconds | <= 10 ms | %s ms | floor: %s ms | - | %s |\n",
            v["idle_seconds"], v["idle.hexalune.cpu_ms"], v["idle.floor.cpu_ms"], verdict(v["idle.hexalune.cpu_ms"] != "" && v["idle.hexalune.cpu_ms"] + 0 <= 10)
        printf "| One new reading (draw, store, show, paint), wall | <= 15 ms | %s ms | - | - | %s |\n",
            v["readings_ms_each"], verdict(v["readings_ms_each"] + 0 > 0 && v["readings_ms_each"] + 0 <= 15)
        print ""
        # The floor: the minimal window with the manifest and system DLLs of Hexalune, for reference.
        print "Against the floor (the minimal window with the manifest and system DLLs of Hexalune), for reference, in this run:"
        print ""
        print "| Figure | Hexalune | Floor | Ratio |"
        print "| --- | --- | --- | --- |"
        printf "| Processor time of the program to the first painted window, median (store kept) | %s ms | %s ms | %s |\n",
            v["hexalune.startup_cpu_ms_median"], v["minimal_dlls.startup_cpu_ms_median"], ratio(v["hexalune.startup_cpu_ms_median"], v["minimal_dlls.startup_cpu_ms_median"])
        printf "| Processor time, as above, store deleted before each run | %s ms | %s ms | %s |\n",
            v["hexalune_fresh.startup_cpu_ms_median"], v["minimal_dlls.startup_cpu_ms_median"], ratio(v["hexalune_fresh.startup_cpu_ms_median"], v["minimal_dlls.startup_cpu_ms_median"])
        printf "| Start-up to the first painted window, wall, median of %s (store kept) | %s ms | %s ms | %s |\n",
            v["hexalune.samples"], v["hexalune.startup_ms_median"], v["minimal_dlls.startup_ms_median"], ratio(v["hexalune.startup_ms_median"], v["minimal_dlls.startup_ms_median"])
        printf "| Start-up, wall, store deleted before each run | %s ms | %s ms | %s |\n",
            v["hexalune_fresh.startup_ms_median"], v["minimal_dlls.startup_ms_median"], ratio(v["hexalune_fresh.startup_ms_median"], v["minimal_dlls.startup_ms_median"])
        printf "| One full repaint, wall (processor) | %s (%s) ms | %s (%s) ms | %s |\n",
            v["hexalune.repaint_ms_each"], v["hexalune.repaint_cpu_ms_each"], v["minimal_dlls.repaint_ms_each"],
            v["minimal_dlls.repaint_cpu_ms_each"], ratio(v["hexalune.repaint_ms_each"], v["minimal_dlls.repaint_ms_each"])
        printf "| Private bytes after start-up (PagefileUsage) | %s | %s | %s |\n",
            mib(v["hexalune.pagefile_usage_median"]), mib(v["minimal_dlls.pagefile_usage_median"]), ratio(v["hexalune.pagefile_usage_median"], v["minimal_dlls.pagefile_usage_median"])
        print ""
        # The window alone: what showing the window of the program costs, against what the program adds.
        print "The window of Hexalune alone (bench/window_alone.cpp: the main window made by the code of the program, showing one reading, none of the other work of the program), in the same run:"
        print ""
        print "| Figure | Window alone | Floor | Window alone / floor | Hexalune (store kept) | Hexalune / window alone |"
        print "| --- | --- | --- | --- | --- | --- |"
        printf "| Processor time to the first painted window, median | %s ms | %s ms | %s | %s ms | %s |\n",
            v["window_alone.startup_cpu_ms_median"], v["minimal_dlls.startup_cpu_ms_median"],
            ratio(v["window_alone.startup_cpu_ms_median"], v["minimal_dlls.startup_cpu_ms_median"]),
            v["hexalune.startup_cpu_ms_median"], ratio(v["hexalune.startup_cpu_ms_median"], v["window_alone.startup_cpu_ms_median"])
        printf "| Start-up to the first painted window, wall, median | %s ms | %s ms | %s | %s ms | %s |\n",
            v["window_alone.startup_ms_median"], v["minimal_dlls.startup_ms_median"],
            ratio(v["window_alone.startup_ms_median"], v["minimal_dlls.startup_ms_median"]),
            v["hexalune.startup_ms_median"], ratio(v["hexalune.startup_ms_median"], v["window_alone.startup_ms_median"])
        printf "| One full repaint, wall | %s ms | %s ms | %s | %s ms | %s |\n",
            v["window_alone.repaint_ms_each"], v["minimal_dlls.repaint_ms_each"],
            ratio(v["window_alone.repaint_ms_each"], v["minimal_dlls.repaint_ms_each"]),
            v["hexalune.repaint_ms_each"], ratio(v["hexalune.repaint_ms_each"], v["window_alone.repaint_ms_each"])
        printf "| Private bytes after start-up | %s | %s | %s | %s | %s |\n",
            mib(v["window_alone.pagefile_usage_median"]), mib(v["minimal_dlls.pagefile_usage_median"]),
            ratio(v["window_alone.pagefile_usage_median"], v["minimal_dlls.pagefile_usage_median"]),
            mib(v["hexalune.pagefile_usage_median"]), ratio(v["hexalune.pagefile_usage_median"], v["window_alone.pagefile_usage_median"])
        print ""
        print "Against the bare minimal window (figures for reference), and the rest:"
        print ""
        print "| Figure | Goal | Measured | Reference (minimal window) | Ratio | Result |"
        print "| --- | --- | --- | --- | --- | --- |"
        r = ratio(v["hexalune.startup_ms_median"], v["minimal.startup_ms_median"])
        printf "| Start-up to window shown and painted, warm, median of %s (store kept) | (no goal) | %s ms | %s ms | %s | - |\n",
            v["hexalune.samples"], v["hexalune.startup_ms_median"], v["minimal.startup_ms_median"], r
        r = ratio(v["hexalune_fresh.startup_ms_median"], v["minimal.startup_ms_median"])
        printf "| Start-up, as above, store deleted before each run | (no goal) | %s ms | %s ms | %s | - |\n",
            v["hexalune_fresh.startup_ms_median"], v["minimal.startup_ms_median"], r
        r = ratio(v["hexalune.pagefile_usage_median"], v["minimal.pagefile_usage_median"])
        printf "| Private bytes after start-up (GetProcessMemoryInfo PagefileUsage) | (no goal) | %s | %s | %s | - |\n",
            mib(v["hexalune.pagefile_usage_median"]), mib(v["minimal.pagefile_usage_median"]), r
        r = ratio(v["hexalune.startup_ms_median"], v["minimal_dlls.startup_ms_median"])
        printf "| Start-up (store kept) against the minimal window with the manifest and system DLLs of Hexalune | (no goal: the share of Hexalune itself) | %s ms | %s ms | %s | - |\n",
            v["hexalune.startup_ms_median"], v["minimal_dlls.startup_ms_median"], r
        r = ratio(v["hexalune.pagefile_usage_median"], v["minimal_dlls.pagefile_usage_median"])
        printf "| Private bytes against the minimal window with the manifest and system DLLs of Hexalune | (no goal: the share of Hexalune itself) | %s | %s | %s | - |\n",
            mib(v["hexalune.pagefile_usage_median"]), mib(v["minimal_dlls.pagefile_usage_median"]), r
        r = ratio(v["hexalune.private_commit_median"], v["minimal.private_commit_median"])
        printf "| Committed private memory after start-up (VirtualQueryEx) | (second view of the above) | %s | %s | %s | - |\n",
            mib(v["hexalune.private_commit_median"]), mib(v["minimal.private_commit_median"]), r
        r = ratio(v["hexalune.working_set_median"], v["minimal.working_set_median"])
        printf "| Working set after start-up | (no goal) | %s | %s | %s | - |\n",
            mib(v["hexalune.working_set_median"]), mib(v["minimal.working_set_median"]), r
        printf "| GDI objects after start-up (own, stock excluded) | (no goal) | %s | %s | - | - |\n",
            v["hexalune.gdi_median"], v["minimal.gdi_median"]
        printf "| USER objects after start-up (windows) | (no goal) | %s | %s | - | - |\n",
            v["hexalune.windows_median"], v["minimal.windows_median"]
        gd = v["hexalune.repaint_gdi_after"] - v["hexalune.repaint_gdi_before"]
        wd = v["hexalune.repaint_windows_after"] - v["hexalune.repaint_windows_before"]
        printf "| GDI objects before -> after %s full repaints | flat | %s -> %s (%+d) | %s -> %s | - | %s |\n",
            v["repaints"], v["hexalune.repaint_gdi_before"], v["hexalune.repaint_gdi_after"], gd,
            v["minimal.repaint_gdi_before"], v["minimal.repaint_gdi_after"], verdict(gd == 0 && v["hexalune.repaint_gdi_before"] + 0 > 0)
        printf "| USER objects (windows) before -> after %s full repaints | flat | %s -> %s (%+d) | %s -> %s | - | %s |\n",
            v["repaints"], v["hexalune.repaint_windows_before"], v["hexalune.repaint_windows_after"], wd,
            v["minimal.repaint_windows_before"], v["minimal.repaint_windows_after"], verdict(wd == 0 && v["hexalune.repaint_windows_before"] + 0 > 0)
        gd = v["readings_gdi_after"] - v["readings_gdi_before"]
        wd = v["readings_user_after"] - v["readings_user_before"]
        printf "| GDI objects before -> after %s new readings (drawn, stored, shown and painted) | flat | %s -> %s (%+d) | - | - | %s |\n",
            v["readings"], v["readings_gdi_before"], v["readings_gdi_after"], gd, verdict(gd == 0 && v["readings_gdi_before"] + 0 > 0)
        printf "| USER objects (windows) before -> after %s new readings | flat | %s -> %s (%+d) | - | - | %s |\n",
            v["readings"], v["readings_user_before"], v["readings_user_after"], wd, verdict(wd == 0 && v["readings_user_before"] + 0 > 0)
        printf "| Private bytes (PagefileUsage) / working set before -> after %s new readings | (no goal) | %s -> %s / %s -> %s | - | - | - |\n",
            v["readings"], mib(v["readings_pagefile_usage_before"]), mib(v["readings_pagefile_usage_after"]),
            mib(v["readings_working_set_before"]), mib(v["readings_working_set_after"])
        printf "| Private bytes (PagefileUsage) before -> after %s full repaints | (no goal) | %s -> %s | %s -> %s | - | - |\n",
            v["repaints"], mib(v["hexalune.repaint_pagefile_usage_before"]), mib(v["hexalune.repaint_pagefile_usage_after"]),
            mib(v["minimal.repaint_pagefile_usage_before"]), mib(v["minimal.repaint_pagefile_usage_after"])
        printf "| One full repaint, wall / processor time of the program | (no goal) | %s / %s ms | %s / %s ms | - | - |\n",
            v["hexalune.repaint_ms_each"], v["hexalune.repaint_cpu_ms_each"], v["minimal.repaint_ms_each"], v["minimal.repaint_cpu_ms_each"]
        ok = v["bytes"] + 0 <= 262144
        printf "| Size of the i686 Hexalune.exe | <= 262,144 bytes | %s bytes | - | %.2f of the goal | %s |\n",
            v["bytes"], v["bytes"] / 262144, verdict(ok)
        printf "| DLLs imported by the i686 exe | Windows DLLs only | %s (not from Windows: %s) | - | - | %s |\n",
            v["imports"], v["foreign_imports"] == "" ? "none" : v["foreign_imports"], verdict(v["foreign_imports"] == "" && v["imports"] != "")
        r = v["tick_ms_median"] / 0.2
        printf "| One tick (ReadDisplayTime + Now + TickMatches), registry store, median of %s batches of %s | < 0.2 ms | %s ms | - | %.2f of the goal | %s |\n",
            v["batches"], v["batch"], v["tick_ms_median"], r, verdict(v["tick_ms_median"] + 0 > 0 && v["tick_ms_median"] + 0 < 0.2)
        printf "| Opening a ten-year journal (%s entries with notes, %s bytes): read and parsed, median of %s | < 100 ms | %s ms | - | %.2f of the goal | %s |\n",
            v["journal_entries"], v["journal_bytes"], v["journal_runs"], v["journal_open_ms_median"],
            v["journal_open_ms_median"] / 100, verdict(v["journal_open_ms_median"] + 0 > 0 && v["journal_open_ms_median"] + 0 < 100)
        print ""
        print "Details"
        print ""
        printf "- Start-up, processor time of the program process itself, read from its Linux process at the moment its window was found painted (10 ms steps; wineserver and X server time not included), median: Hexalune %s ms (kept store), %s ms (fresh store); minimal window %s ms.\n",
            v["hexalune.startup_cpu_ms_median"], v["hexalune_fresh.startup_cpu_ms_median"], v["minimal.startup_cpu_ms_median"]
        printf "- Start-up range (min..max): Hexalune %s..%s ms; fresh store %s..%s ms; minimal window %s..%s ms.\n",
            v["hexalune.startup_ms_min"], v["hexalune.startup_ms_max"], v["hexalune_fresh.startup_ms_min"],
            v["hexalune_fresh.startup_ms_max"], v["minimal.startup_ms_min"], v["minimal.startup_ms_max"]
        printf "- Modules loaded: Hexalune %s, minimal window %s, minimal window with the system DLLs of Hexalune %s.\n",
            v["hexalune.module_count"], v["minimal.module_count"], v["minimal_dlls.module_count"]
        printf "- Minimal window with the manifest and system DLLs of Hexalune: start-up %s ms (range %s..%s), private bytes %s, processor time %s ms.\n",
            v["minimal_dlls.startup_ms_median"], v["minimal_dlls.startup_ms_min"], v["minimal_dlls.startup_ms_max"],
            mib(v["minimal_dlls.pagefile_usage_median"]), v["minimal_dlls.startup_cpu_ms_median"]
        printf "- Tick parts (median per call): ReadDisplayTime %s ms, Win32Calendar().Now() %s ms, TickMatches %s ms; one RegQueryValueExW %s ms, one RegOpenKeyExW + RegCloseKey %s ms.\n",
            v["read_display_time_ms_median"], v["clock_now_ms_median"], v["tick_matches_ms_median"],
            v["reg_query_value_ms_median"], v["reg_open_close_ms_median"]
        printf "- One new reading (draw, store, show in the reading view, paint), wall time: %s ms; committed private memory before -> after the readings: %s -> %s.\n",
            v["readings_ms_each"], mib(v["readings_private_commit_before"]), mib(v["readings_private_commit_after"])
        printf "- Journal of ten years: open %s ms (slowest run %s; processor time %s ms; reading the file %s, parsing it %s); the first entry added after a start %s ms, a later one %s ms, a note set %s ms; with every note at 4,000 characters (%s bytes) an open takes %s ms.\n",
            v["journal_open_ms_median"], v["journal_open_ms_max"], v["journal_open_cpu_ms_mean"], v["journal_read_ms_median"], v["journal_parse_ms_median"],
            v["journal_startup_append_ms_median"], v["journal_later_append_ms_median"], v["journal_set_note_ms_median"],
            v["journal_longest_bytes"], v["journal_longest_open_ms_median"]
        printf "- Tick spread over the batches: min %s ms, 90th percentile %s ms, max %s ms.\n",
            v["tick_ms_min"], v["tick_ms_p90"], v["tick_ms_max"]
        printf "- i686 sections (bytes): .text %s, .rdata %s, .eh_fram %s, .rsrc %s, .data %s, .idata %s, .reloc %s.\n",
            v["section.text"], v["section.rdata"], v["section.eh_fram"], v["section.rsrc"], v["section.data"],
            v["section.idata"], v["section.reloc"]
        print "- GetGuiResources returns 0 under Wine (not implemented there); GDI objects are counted from the process GDI handle table, USER objects as the windows of the process."
        print "- Raw figures: probe.tsv (every run), all.txt (every key), sections-i686.txt."
    }' "$out/all.txt" >"$out/results.md"
# Where the time goes: the phases the program marked.
{
    echo ""
    echo "## Phases"
    echo ""
    cat "$out/probe.tsv.phases.md" "$out/readings.txt.phases.md" 2>/dev/null | sed 's/\r$//'
} >>"$out/results.md"
cat "$out/results.md"
say "done"
[ "$probe_rc" = 0 ] || exit 1
exit 0
