# Values edited by hand never stop the program, and two copies started at once leave one.

# Starts the program on the values seeded so far, checks that it runs and shows its window,
# runs the given check, then ends it from outside.
start_check_end() {
    local label=$1
    shift
    start_hexalune
    wait_main_window
    sleep 1.5  # a tick or two on the stored display time
    process_ended "$HEXALUNE_PID" && fail "$label: the program stopped"
    drv no-msgbox >/dev/null || fail "$label: a message box showed"
    "$@" || fail "$label: check failed"
    must wm-close >/dev/null
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "$label: the program did not end"
}

# A valid reading on screen: stored Card 1..64, shown with its name.
valid_reading_shown() {
    local card
    card=$(drv reg-get Card)
    [[ $card =~ ^([1-9]|[1-5][0-9]|6[0-4])$ ]] || { echo "Card is '$card'" >&2; return 1; }
    [[ $(drv text $IDC_HEXAGRAM_NAME) == "$(hexagram_name "$card")" ]]
}

stored_lines_shown() {
    [[ $(drv text $IDC_CHANGING_LINES) == "$(drv reg-get ChangingLines)" ]] && valid_reading_shown
}

date_is_tomorrow() {
    [[ $(drv reg-get Date) == "$(tomorrow_text)" ]] && valid_reading_shown
}

# The start options are on the settings view, made when it first comes to the front.
run_option_is() {
    local expected=$1
    show_settings_view
    [[ $(drv checked $IDC_RUN_AT_STARTUP) == "$expected" ]] || return 1
    if [[ $expected == 1 ]]; then [[ $(drv run-get) != "<missing>" ]]; else [[ $(drv run-get) == "<missing>" ]]; fi
}

tray_box_clear() {
    show_settings_view
    [[ $(drv checked $IDC_START_IN_TRAY) == 0 ]]
}

E2E_SCENARIOS+=(hand_edited_reading)
scenario_hand_edited_reading() {
    keep_clear_of_midnight 300
    seed_later_start
    local value
    # A Card that is no hexagram number: a new reading instead (the date says nothing is due).
    for value in "" 0 65 -1 abc 99999 " 7"; do
        must reg-set Date "$(tomorrow_text)" >/dev/null
        must reg-set Card "$value" >/dev/null
        must reg-set ChangingLines 2,5 >/dev/null
        start_check_end "Card '$value'" valid_reading_shown
    done
    # Changing lines are shown as stored.
    local long
    long=$(printf '1,%.0s' $(seq 150))
    for value in "" 9,9 "${long%,}"; do
        must reg-set Date "$(tomorrow_text)" >/dev/null
        must reg-set Card 12 >/dev/null
        must reg-set ChangingLines "$value" >/dev/null
        start_check_end "ChangingLines of ${#value} characters" stored_lines_shown
    done
    # A Date that does not read as a date under the user's settings, or lies far ahead: due.
    for value in "" garbage 31/31/2031 "$(date +%F)" "$(date +%-d.%-m.%Y)" "$(date -d '+3 months' +%-m/%-d/%Y)"; do
        must reg-set Date "$value" >/dev/null
        must reg-set Card 12 >/dev/null
        start_check_end "Date '$value'" date_is_tomorrow
    done
}

E2E_SCENARIOS+=(hand_edited_options)
scenario_hand_edited_options() {
    keep_clear_of_midnight 300
    must reg-set Date "$(tomorrow_text)" >/dev/null
    must reg-set Card 30 >/dev/null
    must reg-set ChangingLines 6 >/dev/null
    local value
    # A display time out of range never matches and never stops the program.
    for value in 24 60 -1 x; do
        must reg-set Hour "$value" >/dev/null
        must reg-set Minute "$value" >/dev/null
        must reg-set Second "$value" >/dev/null
        start_check_end "display time '$value'" valid_reading_shown
        [[ $(drv reg-get Hour) == "$value" ]] || fail "display time '$value' was rewritten"
    done
    seed_later_start
    # The start option: "maybe" is no Boolean and counts as false; "2" and "TRUE" are true.
    must reg-set AutorunStartUp maybe >/dev/null
    start_check_end "AutorunStartUp 'maybe'" run_option_is 0
    must reg-set AutorunStartUp 2 >/dev/null
    start_check_end "AutorunStartUp '2'" run_option_is 1
    must reg-set AutorunStartUp TRUE >/dev/null
    # Only the exact text "True" checks the tray box.
    must reg-set RunAtSysTray true >/dev/null
    must reg-set SystemTray true >/dev/null
    start_check_end "tray options 'true'" tray_box_clear
    # The update reminder's value with garbage: counted from today, without a question.
    must reg-set-raw-ansi "$(scrambled_hex Duration)" "$(scrambled_hex xyz)" >/dev/null
    start_check_end "reminder value garbage" true
    assert_eq "$(scrambled_hex "$(today_text)")" "$(drv reg-get-raw-ansi "$(scrambled_hex Duration)")" \
        "reminder date after garbage"
}

E2E_SCENARIOS+=(simultaneous_starts)
scenario_simultaneous_starts() {
    seed_later_start
    local round first second survivors
    for round in $(seq 20); do
        start_hexalune
        first=$HEXALUNE_PID
        start_hexalune
        second=$HEXALUNE_PID
        drv msgbox 20 Hexalune >/dev/null || fail "round $round: no copy said it was already running"
        must answer ok Hexalune >/dev/null
        local deadline=$((SECONDS + 15))
        while ! process_ended "$first" && ! process_ended "$second" && ((SECONDS < deadline)); do sleep 0.1; done
        survivors=0
        process_ended "$first" || survivors=$((survivors + 1))
        process_ended "$second" || survivors=$((survivors + 1))
        assert_eq 1 "$survivors" "round $round: copies still running"
        wait_main_window
        must wm-close >/dev/null
        process_ended "$first" || wait_process_end "$first" 15 >/dev/null || fail "round $round: did not end"
        process_ended "$second" || wait_process_end "$second" 15 >/dev/null || fail "round $round: did not end"
    done
}
