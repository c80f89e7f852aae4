# The settings panel writes its choices at once, and starting with Windows follows them.

E2E_SCENARIOS+=(panel_choices)
scenario_panel_choices() {
    start_hexalune_shown
    assert_eq 1 "$(drv visible $IDC_SETTINGS_VIEW)" "settings view in front"

    # The display time's minute, stored as soon as it is chosen.
    must select $IDC_MINUTE_LIST 5 >/dev/null
    assert_eq "5 5" "$(drv combo $IDC_MINUTE_LIST)" "minute list"
    E2E_WAIT=3 wait_for_output 5 reg-get Minute
    assert_eq 7 "$(drv reg-get Hour)" "Hour untouched"
    assert_eq 0 "$(drv reg-get Second)" "Second untouched"

    # Run at start-up: the Run entry is there at once and the tray box can be used.
    assert_eq 0 "$(drv enabled $IDC_START_IN_TRAY)" "tray box disabled at first"
    must click $IDC_RUN_AT_STARTUP >/dev/null
    E2E_WAIT=3 wait_for_output 1 checked $IDC_RUN_AT_STARTUP
    assert_eq 0 "$(drv checked $IDC_DONT_RUN_AT_STARTUP)" "\"Don't run at start-up\" no longer chosen"
    assert_eq "$RUN_COMMAND" "$(drv run-get)" "Run entry"
    assert_eq 1 "$(drv enabled $IDC_START_IN_TRAY)" "tray box enabled"
    assert_eq 0 "$(drv checked $IDC_START_IN_TRAY)" "tray box not ticked yet"

    must click $IDC_START_IN_TRAY >/dev/null
    E2E_WAIT=3 wait_for_output 1 checked $IDC_START_IN_TRAY
    E2E_WAIT=3 wait_for_output True reg-get RunAtSysTray

    # Don't run at start-up: the entry goes, the box is cleared and disabled.
    must click $IDC_DONT_RUN_AT_STARTUP >/dev/null
    E2E_WAIT=3 wait_for_output 1 checked $IDC_DONT_RUN_AT_STARTUP
    assert_eq 0 "$(drv checked $IDC_RUN_AT_STARTUP)" "\"Run at start-up\" no longer chosen"
    assert_eq "<missing>" "$(drv run-get)" "Run entry after \"Don't run at start-up\""
    assert_eq 0 "$(drv checked $IDC_START_IN_TRAY)" "tray box cleared"
    assert_eq 0 "$(drv enabled $IDC_START_IN_TRAY)" "tray box disabled"
    assert_eq False "$(drv reg-get RunAtSysTray)" "stored RunAtSysTray"
    assert_eq 1 "$(drv visible $IDC_SETTINGS_VIEW)" "settings view still in front"
    drv no-msgbox >/dev/null || fail "a message box is showing"
}

E2E_SCENARIOS+=(autorun_entry_follows_option)
scenario_autorun_entry_follows_option() {
    # Chosen to start with Windows, but the entry has gone (a clean-up tool, say).
    seed_later_start
    must reg-set AutorunStartUp True >/dev/null
    must reg-set SystemTray False >/dev/null
    assert_eq "<missing>" "$(drv run-get)" "Run entry before the start"
    start_hexalune_shown
    assert_eq "$RUN_COMMAND" "$(drv run-get)" "Run entry written back"
    # The settings view is made when it first comes to the front: it shows what is stored.
    show_settings_view
    assert_eq 1 "$(drv checked $IDC_RUN_AT_STARTUP)" "\"Run at start-up\" shown as chosen"
    assert_eq 0 "$(drv checked $IDC_DONT_RUN_AT_STARTUP)" "\"Don't run at start-up\" not chosen"
    assert_eq 1 "$(drv enabled $IDC_START_IN_TRAY)" "tray box enabled"
    assert_eq 0 "$(drv checked $IDC_START_IN_TRAY)" "tray box not ticked"
    local hour
    hour=$(drv reg-get Hour)
    assert_eq "$hour $hour" "$(drv combo $IDC_HOUR_LIST)" "hour list"
    assert_eq "0 0" "$(drv combo $IDC_MINUTE_LIST)" "minute list"
    assert_eq "0 0" "$(drv combo $IDC_SECOND_LIST)" "second list"
    assert_eq "$(drv text $IDC_HEXAGRAM_FIGURE)" "$(drv text $IDC_SETTINGS_FIGURE)" "settings picture's name"
    quit_hexalune
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "the first run's process did not end"

    # Chosen not to, but an entry is there: the start takes it away.
    must reg-set AutorunStartUp False >/dev/null
    must run-set "$RUN_COMMAND" >/dev/null
    start_hexalune_shown
    assert_eq "<missing>" "$(drv run-get)" "Run entry after a start with AutorunStartUp False"
    show_settings_view
    assert_eq 1 "$(drv checked $IDC_DONT_RUN_AT_STARTUP)" "\"Don't run at start-up\" shown as chosen"
}

# Task Manager's record of the Run value, through Wine's reg tool: "add HEX", or "query" (the hex).
approval() {
    local log=$E2E_SCENARIO_DIR/approval.log key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
    : >"$log"
    if [[ $1 == add ]]; then
        e2e_detached "$log" timeout 30 "$WINE64" reg add "$key" /v Hexalune /t REG_BINARY /d "$2" /f || fail "reg add"
    else
        e2e_detached "$log" timeout 30 "$WINE64" reg query "$key" /v Hexalune
        sed -n 's/^ *Hexalune *REG_BINARY *//p' "$log" | tr -d '\r'
    fi
}

E2E_SCENARIOS+=(autorun_turned_off_in_task_manager)
scenario_autorun_turned_off_in_task_manager() {
    # Chosen to start with Windows, and then turned off in Task Manager's Startup apps.
    local record=030000005A6B7C8D9EAF0B01
    seed_later_start
    must reg-set AutorunStartUp True >/dev/null
    must run-set "$RUN_COMMAND" >/dev/null
    approval add $record
    start_hexalune_shown
    show_settings_view
    assert_eq 1 "$(drv checked $IDC_DONT_RUN_AT_STARTUP)" "\"Don't run at start-up\" shown as chosen"
    assert_eq "$RUN_COMMAND" "$(drv run-get)" "Run entry after the start"
    assert_eq $record "$(approval query)" "Task Manager's record after the start"

    # Chosen again: the Run entry is written, Task Manager's record is left, and the user is told.
    must run-del >/dev/null
    must click $IDC_RUN_AT_STARTUP >/dev/null
    assert_eq "Hexalune
Windows has Hexalune turned off in Task Manager's Startup apps. Turn it on there to start Hexalune with Windows." \
        "$(drv msgbox 5 Hexalune)" "the word on Task Manager"
    must answer ok Hexalune >/dev/null
    assert_eq "$RUN_COMMAND" "$(drv run-get)" "Run entry once chosen"
    assert_eq $record "$(approval query)" "Task Manager's record once chosen"
}

E2E_SCENARIOS+=(startup_switch)
scenario_startup_switch() {
    # Started by Windows with "Start at system tray" ticked.
    seed_later_start
    must reg-set AutorunStartUp True >/dev/null
    must reg-set SystemTray True >/dev/null
    must reg-set RunAtSysTray True >/dev/null
    must run-set "$RUN_COMMAND" >/dev/null
    start_hexalune /STARTUP
    local states
    states=$(drv watch-main 5) || fail "cannot watch the window"
    assert_match '^(none )?hidden$' "$states" "main window over 5 s after a start with /STARTUP"
    our_tray_icon >/dev/null || exit 1
    process_ended "$HEXALUNE_PID" && fail "the program ended"
    screenshot started-in-tray >/dev/null
    must wm-close >/dev/null
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "the program did not end on WM_CLOSE"

    # The switch is matched exactly: in other letters the window shows.
    start_hexalune /startup
    wait_main_window
    must wait-visible main 1 10 >/dev/null
    assert_eq 1 "$(drv visible $IDC_READING_VIEW)" "hexagram view in front"
}
