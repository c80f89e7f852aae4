# Starting the program: the very first start, and a later start on the same day.

E2E_SCENARIOS+=(first_start)
scenario_first_start() {
    assert_eq "<missing>" "$(drv reg-get Hour)" "no settings before the first start"
    start_hexalune
    wait_main_window
    assert_eq 1 "$(drv visible main)" "main window shown"
    assert_eq 1 "$(drv visible $IDC_SETTINGS_VIEW)" "settings view in front"
    assert_eq 0 "$(drv visible $IDC_READING_VIEW)" "hexagram view hidden"

    assert_eq 7 "$(drv reg-get Hour)" "stored Hour"
    assert_eq 0 "$(drv reg-get Minute)" "stored Minute"
    assert_eq 0 "$(drv reg-get Second)" "stored Second"
    assert_eq "$(today_text)" "$(drv reg-get Date)" "stored Date"
    assert_eq "7 7" "$(drv combo $IDC_HOUR_LIST)" "hour list"
    assert_eq "0 0" "$(drv combo $IDC_MINUTE_LIST)" "minute list"
    assert_eq "0 0" "$(drv combo $IDC_SECOND_LIST)" "second list"
    check_reading_shown

    # Nobody asked to start with Windows.
    assert_eq 1 "$(drv checked $IDC_DONT_RUN_AT_STARTUP)" "\"Don't run at start-up\" chosen"
    assert_eq 0 "$(drv checked $IDC_RUN_AT_STARTUP)" "\"Run at start-up\" not chosen"
    assert_eq 0 "$(drv enabled $IDC_START_IN_TRAY)" "tray box disabled"
    assert_eq "<missing>" "$(drv run-get)" "no Run entry"

    # The update reminder starts counting from today without asking.
    assert_eq "$(scrambled_hex "$(today_text)")" "$(drv reg-get-raw-ansi "$(scrambled_hex Duration)")" \
        "update reminder's date"
    drv no-msgbox >/dev/null || fail "a message box showed at the first start"

    screenshot first-start >/dev/null || fail "no screenshot"
}

E2E_SCENARIOS+=(second_start_same_day)
scenario_second_start_same_day() {
    start_hexalune
    wait_main_window
    assert_eq "$(today_text)" "$(drv reg-get Date)" "Date after the first start"
    local first_pid=$HEXALUNE_PID
    quit_hexalune
    wait_process_end "$first_pid" 15 >/dev/null || fail "the first run's process did not end"

    start_hexalune
    wait_main_window
    assert_eq 1 "$(drv visible main)" "main window shown"
    assert_eq 1 "$(drv visible $IDC_READING_VIEW)" "hexagram view in front"
    assert_eq 0 "$(drv visible $IDC_SETTINGS_VIEW)" "settings view hidden"
    assert_eq "$(tomorrow_text)" "$(drv reg-get Date)" "stored Date"
    assert_eq 7 "$(drv reg-get Hour)" "Hour kept"
    check_reading_shown
    local judgment
    judgment=$(drv text $IDC_JUDGMENT_DESCRIPTION)
    [[ ${#judgment} -gt 40 ]] || fail "judgment text is missing: '$judgment'"
    screenshot second-start >/dev/null || fail "no screenshot"
}
