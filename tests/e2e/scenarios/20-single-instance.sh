# Only one copy runs at a time.

E2E_SCENARIOS+=(single_instance)
scenario_single_instance() {
    start_hexalune
    wait_main_window
    local first_pid first_wine_pid=$HEXALUNE_PID card lines date
    first_pid=$(drv pid) || fail "no process id for the main window"
    card=$(drv reg-get Card)
    lines=$(drv reg-get ChangingLines)
    date=$(drv reg-get Date)

    start_hexalune
    local second=$HEXALUNE_PID box
    box=$(drv msgbox 20 Hexalune) || fail "the second copy showed no message"
    assert_eq $'Hexalune\nApplication is already running' "$box" "second copy's message"
    screenshot already-running >/dev/null
    process_ended "$second" && fail "the second copy ended before its message was answered"
    must answer ok Hexalune >/dev/null
    wait_process_end "$second" 15 >/dev/null || fail "the second copy did not end after OK"

    # The first copy goes on as it was.
    process_ended "$first_wine_pid" && fail "the first copy ended"
    assert_eq "$first_pid" "$(drv pid)" "main window's process"
    assert_eq 1 "$(drv visible main)" "first copy's window shown"
    assert_eq 1 "$(drv visible $IDC_SETTINGS_VIEW)" "first copy's view"
    assert_eq "$card" "$(drv reg-get Card)" "Card unchanged"
    assert_eq "$lines" "$(drv reg-get ChangingLines)" "ChangingLines unchanged"
    assert_eq "$date" "$(drv reg-get Date)" "Date unchanged"
    drv no-msgbox >/dev/null || fail "a message box is still showing"
}
