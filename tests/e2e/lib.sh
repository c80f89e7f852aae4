# Shared functions of the end-to-end tests: a display, Wine prefixes, the program,
# the driver, assertions. Sourced by run.sh and by each scenario run.
#
# Inputs (environment):
#   HEXALUNE_EXE      the built x86_64 Hexalune.exe (required)
#   HEXALUNE_DRIVER   the built hexalune_driver.exe (required)
#   HEXALUNE_SETUP    the built 64-bit installer (for the installer scenario)
#   E2E_ARTIFACTS     screenshots and logs (default /tmp/e2e-artifacts)
#   E2E_WORK          prefixes and the template (default /tmp/e2e-work)
#   HEXALUNE_VERSION  the program's version as its captions show it (default: read from
#                     generated/core/Version.h of the build tree HEXALUNE_EXE comes from)
#   WINE64, WINESERVER  Wine's programs (default /usr/lib/wine/wine64 and wineserver)
#
# The display and the Wine sessions are started and ended by scripts/wine-session.sh, which
# keeps our descriptors from the processes that outlive the programs that started them.

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../scripts/wine-session.sh
source "$E2E_DIR/../../scripts/wine-session.sh"
: "${E2E_ARTIFACTS:=/tmp/e2e-artifacts}"
: "${E2E_WORK:=/tmp/e2e-work}"
export E2E_ARTIFACTS E2E_WORK WINE64 WINESERVER
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# Wine takes the user's regional settings from the locale: en-US dates (12/8/2026)
# unless a scenario exports another LC_ALL before starting the program.
export LC_ALL=${E2E_LC_ALL:-C.UTF-8}

# The desktop every program of a prefix opens on: one virtual desktop with a taskbar.
E2E_DESKTOP_SIZE=1024x768

# Control and menu ids as shell variables (IDC_HEXAGRAM_NAME=1012, IDM_EXIT=2002, ...),
# read from the program's own header so that they cannot drift apart.
E2E_CONTROL_IDS=$E2E_DIR/../../core/ControlIds.h
eval "$(sed -n 's/^#define \(ID[CM]_[A-Z0-9_]*\) \([0-9][0-9]*\)$/\1=\2/p' "$E2E_CONTROL_IDS")"
[[ -n ${IDC_READING_VIEW:-} && -n ${IDM_EXIT:-} ]] || echo "lib.sh: no control ids read from $E2E_CONTROL_IDS" >&2

# The captions name the version the program was built with (project() in CMakeLists.txt).
if [[ -z ${HEXALUNE_VERSION:-} && -n ${HEXALUNE_EXE:-} ]]; then
    HEXALUNE_VERSION=$(sed -n 's/^#define HEXALUNE_VERSION_TEXT "\(.*\)"$/\1/p' \
        "$(dirname "$HEXALUNE_EXE")/../../generated/core/Version.h" 2>/dev/null)
fi
export HEXALUNE_VERSION
MAIN_TITLE="Hexalune v${HEXALUNE_VERSION:-}"

e2e_log() { printf '%s %s\n' "$(date +%H:%M:%S)" "$*" >&2; }

# e2e_detached LOG COMMAND...: runs the command with no inherited descriptors beyond stdio,
# stdin from /dev/null and both outputs appended to LOG, and waits for it.
e2e_detached() { run_detached "$@"; }

# The same in the background; E2E_BG_PID is the command's own process.
e2e_detached_bg() {
    run_detached_bg "$@"
    E2E_BG_PID=$DETACHED_PID
}

# ---- Prefixes ----------------------------------------------------------------

# Runs Wine's server for the prefix $WINEPREFIX, detached from our streams.
e2e_start_wineserver() { wine_start_wineserver "$WINEPREFIX.log"; }

# Ends every process of the prefix $1 and its server.
e2e_stop_prefix() { wine_session_stop "$1"; }

# A booted prefix with the shared desktop set up, made once and then copied for every
# scenario. Kept between runs while Wine's version stays the same. Runs that share
# E2E_WORK take a lock: one makes the template, the others wait and copy it.
E2E_TEMPLATE=$E2E_WORK/template

e2e_template() {
    mkdir -p "$E2E_WORK"
    (
        flock -w 300 9 || exit 1
        e2e_template_ready || e2e_make_template
    ) 9>"$E2E_WORK/template.lock"
}

e2e_template_ready() {
    [[ -f $E2E_TEMPLATE/.e2e-ready && $(cat "$E2E_TEMPLATE/.e2e-ready") == "$("$WINE64" --version 2>&1)" ]]
}

e2e_make_template() {
    local template=$E2E_TEMPLATE
    e2e_log "creating the template prefix"
    e2e_stop_prefix "$template"
    rm -rf "$template" "$template.log"
    (
        wine_session_start "$template" "$template.log" &&
            wine_virtual_desktop "$E2E_DESKTOP_SIZE" "$template.log"
    ) || {
        e2e_log "template prefix failed, see $template.log"
        return 1
    }
    # Stopping the server writes the registry to disk.
    e2e_stop_prefix "$template"
    if ! grep -q '"Desktop"="shell"' "$template/user.reg"; then
        e2e_log "the template prefix lacks the desktop setting"
        return 1
    fi
    "$WINE64" --version >"$template/.e2e-ready" 2>&1
}

# Makes $1 a fresh copy of the template, starts its session and waits for its desktop.
# Exports WINEPREFIX for everything that follows.
e2e_new_prefix() {
    local prefix=$1
    e2e_template || return 1
    e2e_stop_prefix "$prefix"
    rm -rf "$prefix" "$prefix.log"
    mkdir -p "$(dirname "$prefix")"
    (
        flock -s -w 300 9 || exit 1
        cp -a "$E2E_TEMPLATE" "$prefix"
    ) 9>"$E2E_WORK/template.lock" || return 1
    rm -f "$prefix/.e2e-ready"
    export WINEPREFIX=$prefix
    mkdir -p "$prefix/drive_c/Program Files/Hexalune"
    cp "$HEXALUNE_EXE" "$prefix/drive_c/Program Files/Hexalune/Hexalune.exe" || return 1
    e2e_start_wineserver || return 1
    # The first program of the session starts the desktop and the rest of the session,
    # which then keep its descriptors: let that be a detached run of the driver.
    e2e_detached "$prefix.log" timeout 60 "$WINE64" "$HEXALUNE_DRIVER" wait-desktop 45 || {
        e2e_log "the Wine desktop did not come up, see $prefix.log"
        return 1
    }
}

# The Windows path of the program inside every prefix.
HEXALUNE_WIN_PATH='C:\Program Files\Hexalune\Hexalune.exe'

# ---- The program and the driver ----------------------------------------------

# Driver commands that only look, or set a value to the same end again: a second run of
# one does no harm.
E2E_REPEATABLE=(wait-window wait-gone title visible own-visible wait-visible text combo combo-items checked
    enabled pid msgbox msgbox-info no-msgbox reg-get reg-set reg-del reg-list reg-get-raw-ansi reg-set-raw-ansi
    run-get run-set run-del tray-icon popup-menu wait-desktop windows main-state window-at rect dlg-wait dlg-gone
    dlg-rect dlg-fits dlg-icon focus focus-id hkcu-get hkcu-set clip-get acc)

e2e_repeatable() {
    local command
    for command in "${E2E_REPEATABLE[@]}"; do [[ $command == "$1" ]] && return 0; done
    return 1
}

# Runs the driver with a time limit; its output is ours, its errors go to the scenario log
# and are remembered for the next failing assertion.
#
# The driver writes "driver: started" on stderr before it carries out the command, and
# reports each failure of its own there ("<command>: why", or its usage). A run that ends
# with neither says nothing about the program: once in a few thousand runs Wine's loader
# could not map the shared user data and ended the process at once (see
# scripts/fixed-layout.sh). Such a run is logged with whatever Wine printed (its error
# channel is on for the driver) and run again once if it never started the command, or if
# the command only looks.
drv() {
    local err=$E2E_SCENARIO_DIR/driver-stderr out=$E2E_SCENARIO_DIR/driver-stdout
    local status attempt
    for attempt in 1 2; do
        status=0
        WINEDEBUG=-all,err+all timeout 40 "$WINE64" "$HEXALUNE_DRIVER" "$@" </dev/null >"$out" 2>"$err" || status=$?
        ((status != 0)) || break
        grep -qE "^($1|usage|unknown command): " "$err" && break
        printf 'drv %s: the driver ended with exit %s before it could report (Wine said: %s)\n' "$*" "$status" \
            "$(grep -v '^driver: started' "$err" | tr '\r\n' '  ')" >>"$E2E_SCENARIO_DIR/log.txt"
        grep -q '^driver: started' "$err" && ! e2e_repeatable "$1" && break
    done
    cat "$out"
    if ((status != 0)); then
        E2E_LAST_DRIVER_ERROR="drv $*: $(grep -vE '^driver: started|^[0-9a-f]{4}:err:' "$err" | tr '\r\n' '  ')(exit $status)"
        printf '%s\n' "$E2E_LAST_DRIVER_ERROR" >>"$E2E_SCENARIO_DIR/log.txt"
        echo "$E2E_LAST_DRIVER_ERROR" >"$E2E_SCENARIO_DIR/last-driver-error"
    fi
    return $status
}

# Starts Hexalune.exe in the background with the given arguments. Registry values can be
# seeded before with `drv reg-set` / `drv run-set`. Sets HEXALUNE_PID (the Wine process).
start_hexalune() {
    local log=$E2E_SCENARIO_DIR/hexalune.log
    echo "--- start $* ($(date +%T))" >>"$log"
    e2e_detached_bg "$log" timeout 300 "$WINE64" "$HEXALUNE_WIN_PATH" "$@"
    HEXALUNE_PID=$E2E_BG_PID
}

# Whether the background process $1 has ended (a zombie counts as ended).
process_ended() {
    local state
    [[ -r /proc/$1/stat ]] || return 0
    state=$(sed 's/^.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1)
    [[ -z $state || $state == Z ]]
}

# Waits up to $2 seconds for the background process $1 to end; prints its exit code.
wait_process_end() {
    local pid=$1 seconds=${2:-20} i
    for ((i = 0; i < seconds * 10; i++)); do
        if process_ended "$pid"; then
            local code=0
            wait "$pid" 2>/dev/null || code=$?
            echo "$code"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Screenshot of the whole X screen into the scenario's artifacts.
screenshot() {
    local file=$E2E_SCENARIO_DIR/${1:-screen}.png
    timeout 20 import -display "$DISPLAY" -window root "$file" 2>>"$E2E_SCENARIO_DIR/log.txt" &&
        echo "$file"
}

# Today's and tomorrow's date in Wine's default (en-US) short form, as the program stores it.
today_text() { date +%-m/%-d/%Y; }
tomorrow_text() { date -d tomorrow +%-m/%-d/%Y; }
# The same for any day relative to today: date_text "7 days ago", date_text "1 month".
date_text() { date -d "$(date +%F) 12:00 $1" +%-m/%-d/%Y; }

# The catalogue name of hexagram $1, from the program's content files.
hexagram_name() {
    local file
    file=$(printf '%s/../../reading/content/hexagrams/%02d.txt' "$E2E_DIR" "$1")
    sed -n 's/^name: *//p' "$file" | tr -d '\r'
}

# Bytes of the ANSI text $1 shifted up by 85, as hex (the update reminder's scrambling).
scrambled_hex() {
    local text=$1 i code out=
    for ((i = 0; i < ${#text}; i++)); do
        printf -v code '%d' "'${text:i:1}"
        ((code + 85 <= 255)) && printf -v out '%s%02x' "$out" $((code + 85))
    done
    echo "$out"
}

# ---- Desktop geometry and the mouse --------------------------------------------

# Where the Wine desktop's top-left corner lies on the X screen: "x y".
desktop_origin() {
    local id
    id=$(timeout 10 xdotool search --name 'Wine desktop' 2>/dev/null | head -n1)
    if [[ -z $id ]]; then
        echo "0 0"
        return
    fi
    timeout 10 xdotool getwindowgeometry --shell "$id" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} END{print x+0, y+0}'
}

# Moves the real mouse to desktop coordinates ($1, $2), then runs the xdotool
# commands that follow ("click 3", "click --repeat 2 --delay 80 1", ...).
mouse_at() {
    local origin ox oy x=$1 y=$2
    shift 2
    origin=$(desktop_origin)
    read -r ox oy <<<"$origin"
    timeout 10 xdotool mousemove $((x + ox)) $((y + oy)) sleep 0.2 "$@"
}

double_click_at() { mouse_at "$1" "$2" click --repeat 2 --delay 80 1; }
right_click_at() { mouse_at "$1" "$2" click 3; }
click_at() { mouse_at "$1" "$2" click 1; }

# Prints "x y", the desktop position of the program's own tray icon; fails the scenario
# when the taskbar shows no such icon.
our_tray_icon() {
    local icons x y owner likeness
    icons=$(drv tray-icon "$HEXALUNE_WIN_PATH") || fail "cannot look at the taskbar"
    echo "taskbar icons: $(tr '\n' ' ' <<<"$icons")" >>"$E2E_SCENARIO_DIR/log.txt"
    while read -r x y owner likeness; do
        if [[ $owner == ours ]]; then
            echo "$x $y"
            return 0
        fi
    done < <(tail -n +2 <<<"$icons")
    fail "the program's icon is not in the notification area (taskbar: $(tr '\n' ' ' <<<"$icons"))"
}

# Clicks item $1 (0-based) of the open popup menu that has $2 items, by position.
click_popup_item() {
    local index=$1 count=$2 rect left top right bottom
    rect=$(drv popup-menu 5) || fail "no popup menu opened"
    read -r left top right bottom <<<"$rect"
    # Items share the height inside a 3-pixel frame; aim left of centre, clear of the
    # icon's tooltip that may hang over the menu's right part.
    local inner=$((bottom - top - 6))
    click_at $((left + (right - left) / 4)) $((top + 3 + inner * (2 * index + 1) / (2 * count)))
}

# ---- Assertions --------------------------------------------------------------

# Ends the scenario as failed with the reason $*. The first reason stands: a failure
# inside $(...) ends only that subshell, and what the scenario does next is beside the point.
fail() {
    local reason="$*"
    [[ -f $E2E_SCENARIO_DIR/last-driver-error ]] && reason+=" [$(cat "$E2E_SCENARIO_DIR/last-driver-error")]"
    [[ -f $E2E_SCENARIO_DIR/reason ]] || echo "$reason" >"$E2E_SCENARIO_DIR/reason"
    echo "FAIL: $reason" >>"$E2E_SCENARIO_DIR/log.txt"
    exit 1
}

# assert_eq <expected> <actual> <what>
assert_eq() {
    if [[ "$1" != "$2" ]]; then
        fail "$3: expected '$1', got '$2'"
    fi
    echo "ok: $3 = '$2'" >>"$E2E_SCENARIO_DIR/log.txt"
    rm -f "$E2E_SCENARIO_DIR/last-driver-error"
}

# assert_match <extended regex> <actual> <what>
assert_match() {
    if [[ ! "$2" =~ $1 ]]; then
        fail "$3: '$2' does not match /$1/"
    fi
    echo "ok: $3 = '$2'" >>"$E2E_SCENARIO_DIR/log.txt"
    rm -f "$E2E_SCENARIO_DIR/last-driver-error"
}

# Runs the driver and fails the scenario if it fails; prints its output.
must() {
    drv "$@" || fail "driver command failed"
}

# Polls `drv $2...` until it prints $1, for up to E2E_WAIT seconds (default 10).
wait_for_output() {
    local expected=$1 i out=
    shift
    local deadline=$((SECONDS + ${E2E_WAIT:-10}))
    while ((SECONDS <= deadline)); do
        out=$(drv "$@") && [[ $out == "$expected" ]] && return 0
        sleep 0.2
    done
    fail "drv $*: waited for '$expected', last got '$out'"
}

# The program's main window has appeared and shows one view: the first steps of most scenarios.
wait_main_window() {
    local title
    title=$(drv wait-window "${1:-30}") || fail "the main window did not appear"
    assert_eq "$MAIN_TITLE" "$title" "main window title"
}

# Starts the program with the given arguments and waits until its main window is on screen.
start_hexalune_shown() {
    start_hexalune "$@"
    wait_main_window
    must wait-visible main 1 >/dev/null
}

# Brings the settings view to the front as a user does, with its button.
show_settings_view() {
    must click $IDC_SETTINGS_BUTTON >/dev/null
    E2E_WAIT=5 wait_for_output 1 visible $IDC_SETTINGS_VIEW
}

# A later start on a known reading: hexagram 46 with lines 4,1,6, nothing due.
seed_known_reading() {
    keep_clear_of_midnight 120
    seed_later_start
    must reg-set Date "$(tomorrow_text)" >/dev/null
    must reg-set Card 46 >/dev/null
    must reg-set ChangingLines 4,1,6 >/dev/null
}

# Waits for the program to end and checks that it ended as a Windows program should: by
# returning from its message loop with exit code 0, its tray icon gone.
expect_clean_end() {
    # Waited for here, in the shell that started it: a subshell cannot collect its exit code.
    wait_process_end "$HEXALUNE_PID" 15 >"$E2E_SCENARIO_DIR/exit-code" || fail "the program did not end $1"
    local code
    code=$(<"$E2E_SCENARIO_DIR/exit-code")
    assert_eq 0 "$code" "exit code $1"
    assert_eq 0 "$(drv tray-icon | head -n1)" "tray icons after the end $1"
}

# Quits the program the way a user does: File > Exit, then Yes.
quit_hexalune() {
    must menu $IDM_EXIT >/dev/null
    local box
    box=$(drv msgbox 10 Hexalune) || fail "File > Exit asked nothing"
    assert_eq $'Hexalune\nAre You Sure You Want To Quit Hexalune?' "$box" "quit question"
    must answer yes Hexalune >/dev/null
    drv wait-gone 15 >/dev/null || fail "the program did not end after Yes"
}

# ---- Program checks shared by several scenarios ---------------------------------

# The reading on screen is the one stored: name label and picture text follow Card,
# the changing-lines label follows ChangingLines.
check_reading_shown() {
    local card lines name
    card=$(drv reg-get Card)
    lines=$(drv reg-get ChangingLines)
    assert_match '^([1-9]|[1-5][0-9]|6[0-4])$' "$card" "stored Card"
    assert_match '^[1-6](,[1-6]){0,5}$' "$lines" "stored ChangingLines"
    local distinct
    distinct=$(tr ',' '\n' <<<"$lines" | sort -u | wc -l)
    assert_eq "$(tr ',' '\n' <<<"$lines" | wc -l)" "$distinct" "changing lines are distinct"
    name=$(hexagram_name "$card")
    [[ -n $name ]] || fail "no catalogue name for hexagram $card"
    assert_eq "$name" "$(drv text $IDC_HEXAGRAM_NAME)" "name label"
    assert_eq "Hexagram $card, $name" "$(drv text $IDC_HEXAGRAM_FIGURE)" "picture's accessible name"
    assert_eq "$lines" "$(drv text $IDC_CHANGING_LINES)" "changing-lines label"
}

# Closes the window with the close box and checks that it went to the tray.
close_to_tray() {
    must close >/dev/null
    E2E_WAIT=10 wait_for_output 0 visible main
    drv no-msgbox >/dev/null || fail "the close box asked something"
}

# Settings of a program that has started before (the stored Hour is what tells), with
# the display time twelve hours away, so that it cannot come up during the scenario.
seed_later_start() {
    must reg-set Hour $(((10#$(date +%H) + 12) % 24)) >/dev/null
    must reg-set Minute 0 >/dev/null
    must reg-set Second 0 >/dev/null
}

# The Run entry the program writes for starting with Windows.
RUN_COMMAND="\"$HEXALUNE_WIN_PATH\" /STARTUP"

# The update reminder's stored date, as the plain date text ("" when missing or not scrambled).
reminder_date() {
    local hex text= i code
    hex=$(drv reg-get-raw-ansi "$(scrambled_hex Duration)") || fail "cannot read the update reminder's value"
    [[ $hex == "<missing>" ]] && return 0
    for ((i = 0; i < ${#hex}; i += 2)); do
        code=$((16#${hex:i:2} - 85))
        if ((code <= 0)); then
            echo "hex:$hex"
            return 0
        fi
        printf -v text '%s\\x%02x' "$text" "$code"
    done
    printf '%b\n' "$text"
}

set_reminder_date() {
    must reg-set-raw-ansi "$(scrambled_hex Duration)" "$(scrambled_hex "$1")" >/dev/null
}

# ---- Web pages -----------------------------------------------------------------

# The addresses a build with the default settings opens.
PAGE_ONLINE_HELP=https://hexalune.example.org/help/
PAGE_HOME=https://hexalune.example.org/
PAGE_DOWNLOAD=https://hexalune.example.org/download/
PAGE_DONATION=https://hexalune.example.org/donate/
PAGE_FULL_BRANDING=https://hexalune.example.org/full-branding/
PAGE_CO_BRANDING=https://hexalune.example.org/co-branding/

# Wine hands web addresses to winebrowser, which runs the first command that works from
# HKCU\Software\Wine\WineBrowser "Browsers" (a comma-separated list of Unix commands).
# Pointing it at a recorder script makes every page the program opens one line of
# $E2E_PAGES, and no browser starts. Call before starting the program.
use_page_recorder() {
    E2E_PAGES=$E2E_SCENARIO_DIR/opened-pages.txt
    local recorder=$E2E_SCENARIO_DIR/record-page.sh
    [[ $recorder != *[,\"]* ]] || fail "the recorder's path cannot go into the Browsers list: $recorder"
    : >"$E2E_PAGES"
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$E2E_PAGES" >"$recorder"
    chmod +x "$recorder"
    must hkcu-set 'Software\Wine\WineBrowser' Browsers "\"$recorder\"" >/dev/null
}

# The pages opened so far, one a line.
opened_pages() { cat "$E2E_PAGES"; }

# Waits up to $2 seconds (default 10) until $1 pages in all have been opened.
wait_pages_opened() {
    local count=$1 deadline=$((SECONDS + ${2:-10}))
    while (($(wc -l <"$E2E_PAGES") < count)); do
        ((SECONDS <= deadline)) || fail "waited for $count opened pages, have: $(tr '\n' ' ' <"$E2E_PAGES")"
        sleep 0.1
    done
}

# ---- Real mouse and keyboard on controls ------------------------------------------

# Clicks the middle of a screen rectangle "left top right bottom" with the real mouse.
click_rect_middle() {
    local left top right bottom
    read -r left top right bottom <<<"$1"
    [[ -n $bottom ]] || fail "no rectangle to click"
    click_at $(((left + right) / 2)) $(((top + bottom) / 2)) || fail "xdotool could not click"
}

# The main window's control $1, or control $2 of the dialog captioned $1, clicked with the mouse.
click_control() { click_rect_middle "$(must rect "$1")"; }
# A click on the changing lines' link, on its first characters (the link is only as wide as its text).
click_changing_lines() {
    local left top right bottom
    read -r left top right bottom <<<"$(must rect $IDC_CHANGING_LINES)"
    click_at $((left + 6)) $(((top + bottom) / 2)) || fail "xdotool could not click the changing lines"
}
click_dialog_control() { click_rect_middle "$(must dlg-rect "$1" "$2")"; }

# Presses key $2 (an xdotool key name: Return, Escape) on the real keyboard, once the
# dialog or message box captioned $1 is in the foreground.
press_key_in() {
    local caption=$1 key=$2 focus
    focus=$(drv focus) || fail "cannot tell which window has the focus"
    [[ $(head -n1 <<<"$focus") == "foreground: #32770 \"$caption\""* ]] ||
        fail "\"$caption\" is not in the foreground for the $key key: $(tr '\n' ' ' <<<"$focus")"
    echo "pressing $key, $(tr '\n' ' ' <<<"$focus")" >>"$E2E_SCENARIO_DIR/log.txt"
    timeout 10 xdotool key "$key" || fail "xdotool could not press $key"
}

# Waits for the next day when fewer than $1 seconds are left of this one: for scenarios
# whose dates must not change under them.
keep_clear_of_midnight() {
    local left=$((86400 - 10#$(date +%H) * 3600 - 10#$(date +%M) * 60 - 10#$(date +%S)))
    if ((left < $1)); then
        echo "waiting $((left + 2)) s for midnight to pass" >>"$E2E_SCENARIO_DIR/log.txt"
        sleep $((left + 2))
    fi
}
