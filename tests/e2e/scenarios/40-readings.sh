# Readings on later starts and at the display time: a new reading once the stored Date
# is due, otherwise the stored one again.

# A later start with a stored reading: seed_stored_reading <Date> <Card> <ChangingLines>.
seed_stored_reading() {
    seed_later_start
    must reg-set Date "$1" >/dev/null
    must reg-set Card "$2" >/dev/null
    must reg-set ChangingLines "$3" >/dev/null
}

# The stored reading is no longer Card $1 with lines $2. A new draw repeats both only
# about once in 11,000 draws.
check_reading_replaced() {
    local card lines
    card=$(drv reg-get Card)
    lines=$(drv reg-get ChangingLines)
    [[ $card == "$1" && $lines == "$2" ]] && fail "the reading is still hexagram $1 with lines $2"
    echo "ok: reading replaced by hexagram $card, lines $lines" >>"$E2E_SCENARIO_DIR/log.txt"
}

E2E_SCENARIOS+=(reading_renewed_when_due)
scenario_reading_renewed_when_due() {
    keep_clear_of_midnight 60
    # Last shown a week ago.
    seed_stored_reading "$(date_text "7 days ago")" 5 2,4
    start_hexalune_shown
    assert_eq 1 "$(drv visible $IDC_READING_VIEW)" "hexagram view in front"
    assert_eq "$(tomorrow_text)" "$(drv reg-get Date)" "Date after a week away"
    check_reading_shown
    check_reading_replaced 5 2,4
    quit_hexalune
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "the first run's process did not end"

    # A Date a month ahead (the clock was put back, say) cannot be trusted either.
    seed_stored_reading "$(date_text "1 month")" 46 4,1,6
    start_hexalune_shown
    assert_eq 1 "$(drv visible $IDC_READING_VIEW)" "hexagram view in front"
    assert_eq "$(tomorrow_text)" "$(drv reg-get Date)" "Date after one a month ahead"
    check_reading_shown
    check_reading_replaced 46 4,1,6
}

E2E_SCENARIOS+=(reading_kept_until_tomorrow)
scenario_reading_kept_until_tomorrow() {
    keep_clear_of_midnight 60
    # Today's reading was drawn at an earlier start.
    seed_stored_reading "$(tomorrow_text)" 46 4,1,6
    start_hexalune_shown
    assert_eq 1 "$(drv visible $IDC_READING_VIEW)" "hexagram view in front"
    assert_eq "Pushing Upward" "$(drv text $IDC_HEXAGRAM_NAME)" "name label"
    assert_eq "Hexagram 46, Pushing Upward" "$(drv text $IDC_HEXAGRAM_FIGURE)" "picture's accessible name"
    assert_eq "4,1,6" "$(drv text $IDC_CHANGING_LINES)" "changing-lines label"
    local judgment
    judgment=$(drv text $IDC_JUDGMENT_DESCRIPTION)
    [[ ${#judgment} -gt 40 ]] || fail "judgment text is missing: '$judgment'"
    assert_eq 46 "$(drv reg-get Card)" "stored Card"
    assert_eq "4,1,6" "$(drv reg-get ChangingLines)" "stored ChangingLines, in the order drawn"
    assert_eq "$(tomorrow_text)" "$(drv reg-get Date)" "stored Date"
    check_reading_shown
}

E2E_SCENARIOS+=(display_time_from_tray)
scenario_display_time_from_tray() {
    keep_clear_of_midnight 90
    # Wine's clock is the local time of this process (same TZ), so `date` gives the
    # display time as the program will see it.
    local at
    at=$(($(date +%s) + 15))
    must reg-set Hour "$(date -d "@$at" +%-H)" >/dev/null
    must reg-set Minute "$(date -d "@$at" +%-M)" >/dev/null
    must reg-set Second "$(date -d "@$at" +%-S)" >/dev/null
    must reg-set Date "$(today_text)" >/dev/null
    echo "display time $(date -d "@$at" +%T)" >>"$E2E_SCENARIO_DIR/log.txt"
    start_hexalune_shown
    close_to_tray
    our_tray_icon >/dev/null || exit 1

    # The start drew today's reading; make it due again, so that the display time must
    # draw a new one.
    must reg-set Date "$(date_text "7 days ago")" >/dev/null
    must reg-set Card 5 >/dev/null
    must reg-set ChangingLines 2,4 >/dev/null

    local now states
    now=$(date +%s)
    ((now < at - 1)) || fail "setting up took until $(date -d "@$now" +%T), past the display time"
    # Hidden in the tray up to a quarter of a second before the time.
    states=$(drv watch-main "@$((at - 1)).75") || fail "cannot watch the window"
    assert_eq hidden "$states" "window before the display time"
    must wait-visible main 1 8 >/dev/null
    now=$(date +%s)
    ((now >= at && now <= at + 4)) ||
        fail "window shown at $(date -d "@$now" +%T), the display time was $(date -d "@$at" +%T)"
    assert_eq shown "$(drv main-state)" "window state at the display time"
    assert_eq "$(tomorrow_text)" "$(drv reg-get Date)" "Date after the display time"
    check_reading_shown
    check_reading_replaced 5 2,4
    local icons
    icons=$(drv tray-icon "$HEXALUNE_WIN_PATH") || fail "cannot look at the taskbar"
    assert_match $'^1\n[0-9]+ [0-9]+ ours' "$icons" "tray icon kept at the display time"
    screenshot display-time >/dev/null
}
