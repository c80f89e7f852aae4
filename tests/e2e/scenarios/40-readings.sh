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

# The hexagram numbers in the journal, oldest first, one a line.
journal_hexagrams() {
    local file
    file=$(ls "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Hexalune/Hexalune/Journal.csv 2>/dev/null | head -n1)
    [[ -n $file ]] && sed -n 's/^[0-9-]\{10\} [0-9:]\{8\},\([0-9]*\),.*/\1/p' "$file"
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
    assert_eq "$(drv reg-get Card)" "$(journal_hexagrams)" "the journal's one entry"
    quit_hexalune
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "the first run's process did not end"

    # A Date a month ahead (the clock was put back, say) cannot be trusted either.
    seed_stored_reading "$(date_text "1 month")" 46 4,1,6
    start_hexalune_shown
    assert_eq 1 "$(drv visible $IDC_READING_VIEW)" "hexagram view in front"
    assert_eq "$(tomorrow_text)" "$(drv reg-get Date)" "Date after one a month ahead"
    check_reading_shown
    check_reading_replaced 46 4,1,6
    assert_eq "$(drv reg-get Card)" "$(journal_hexagrams | tail -n1)" "the journal's newest entry"
    assert_eq 2 "$(journal_hexagrams | wc -l)" "entries in the journal"
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

# Stores a display time $1 seconds from now (in DISPLAY_AT, as a Unix time), and a reading
# that is due.
seed_display_in() {
    DISPLAY_AT=$(($(date +%s) + $1))
    must reg-set Hour "$(date -d "@$DISPLAY_AT" +%-H)" >/dev/null
    must reg-set Minute "$(date -d "@$DISPLAY_AT" +%-M)" >/dev/null
    must reg-set Second "$(date -d "@$DISPLAY_AT" +%-S)" >/dev/null
    must reg-set Date "$(today_text)" >/dev/null
    echo "display time $(date -d "@$DISPLAY_AT" +%T)" >>"$E2E_SCENARIO_DIR/log.txt"
}

E2E_SCENARIOS+=(display_time_from_tray)
scenario_display_time_from_tray() {
    keep_clear_of_midnight 90
    # Wine's clock is the local time of this process (same TZ), so `date` gives the
    # display time as the program will see it.
    seed_display_in 15
    local at=$DISPLAY_AT
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

# The display time changed in the registry by another program while the window waits in the
# tray takes effect at once: the program sleeps until the time it had, but hears the change.
E2E_SCENARIOS+=(display_time_changed_by_another_program)
scenario_display_time_changed_by_another_program() {
    keep_clear_of_midnight 120
    seed_display_in 7200
    start_hexalune_shown
    close_to_tray
    sleep 2
    seed_display_in 6
    local at=$DISPLAY_AT now
    must wait-visible main 1 12 >/dev/null
    now=$(date +%s)
    ((now >= at && now <= at + 2)) ||
        fail "window shown at $(date -d "@$now" +%T), the display time was $(date -d "@$at" +%T)"
}

# At the display time the window comes up above the program the user is working in,
# without taking the keyboard from it.
E2E_SCENARIOS+=(display_time_above_the_work)
scenario_display_time_above_the_work() {
    keep_clear_of_midnight 90
    seed_display_in 14
    start_hexalune_shown
    close_to_tray
    local seen
    seen=$(drv work-elsewhere 16) || fail "the driver could not stand in for other work"
    assert_eq "main above: 1" "$(sed -n 1p <<<"$seen")" "the window above the active one"
    assert_eq "still active: 1" "$(sed -n 2p <<<"$seen")" "the user's window keeps the keyboard"
    assert_eq shown "$(drv main-state)" "window state after the display time"
    screenshot above-the-work >/dev/null
}

# The changing lines open their own window, by mouse and by keyboard, with each line's text
# from the bottom up and the hexagram they lead to: 46 with lines 4,1,6 turns into 14.
E2E_SCENARIOS+=(changing_lines_window)
scenario_changing_lines_window() {
    seed_known_reading
    start_hexalune_shown
    click_changing_lines
    assert_eq "open, owner main" "$(drv dlg-wait "Changing Lines" 10)" "the Changing Lines window"
    assert_eq ours "$(drv dlg-icon "Changing Lines" "$HEXALUNE_WIN_PATH")" "the program's icon on the Changing Lines window"
    assert_eq "Hexagram 46, Pushing Upward" "$(drv dlg-text "Changing Lines" $IDC_LINES_NAME)" "the day's hexagram"
    assert_eq "Hexagram 14, Possession in Great Measure" "$(drv dlg-text "Changing Lines" $IDC_LEADING_NAME)" \
        "where the lines lead"
    local content=$E2E_DIR/../../reading/content/hexagrams expected
    expected=$(printf 'Line %s\n%s\n\n' 1 "$(sed -n 's/^line1: //p' "$content/46.txt")" \
        4 "$(sed -n 's/^line4: //p' "$content/46.txt")" 6 "$(sed -n 's/^line6: //p' "$content/46.txt")")
    assert_eq "$expected" "$(drv dlg-text "Changing Lines" $IDC_LINES_TEXT)" "the lines' texts, from the bottom up"
    assert_eq "$(sed -n 's/^judgmentDescription: //p' "$content/14.txt")" \
        "$(drv dlg-text "Changing Lines" $IDC_LEADING_TEXT)" "the judgment of the hexagram they lead to"
    screenshot changing-lines >/dev/null
    press_key_in "Changing Lines" Escape
    drv dlg-gone "Changing Lines" 10 >/dev/null || fail "Esc left the Changing Lines window open"

    # From the keyboard: Tab to the link, Enter opens the window, Enter closes it.
    local i
    for ((i = 0; i < 15; i++)); do
        [[ $(drv focus-id) == "$IDC_CHANGING_LINES" ]] && break
        timeout 10 xdotool key Tab || fail "xdotool could not press Tab"
        sleep 0.15
    done
    assert_eq "$IDC_CHANGING_LINES" "$(drv focus-id)" "Tab reaches the changing lines"
    timeout 10 xdotool key Return || fail "xdotool could not press Enter"
    assert_eq "open, owner main" "$(drv dlg-wait "Changing Lines" 10)" "the window from the keyboard"
    press_key_in "Changing Lines" Return
    drv dlg-gone "Changing Lines" 10 >/dev/null || fail "Enter left the Changing Lines window open"
}

# Starts the program with libfaketime and the variables given (its clock; its timers still
# count real time), waits for its window and sends it to the notification area.
start_on_a_faked_clock_in_tray() {
    e2e_detached_bg "$E2E_SCENARIO_DIR/hexalune.log" timeout 300 env "$@" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 "$WINE64" "$HEXALUNE_WIN_PATH"
    HEXALUNE_PID=$E2E_BG_PID
    wait_main_window
    must wait-visible main 1 >/dev/null
    close_to_tray
}

# A reading drawn a week ago (5, lines 2 and 4), due for renewal.
seed_week_old_reading() {
    must reg-set Date "$(date_text "7 days ago")" >/dev/null
    must reg-set Card 5 >/dev/null
    must reg-set ChangingLines 2,4 >/dev/null
}

# A computer that slept through the display time: the broadcast that it has resumed brings
# the renewed reading up at once, and only once. The program's clock is moved on as a
# sleep moves it, through libfaketime.
# The program's clock starts $1 seconds off the real one, with the display time $2 (H:M:S)
# still ahead; in the tray, the computer sleeps for $3 seconds, over the display time, then
# Windows says it has resumed: the window comes up at once with a new reading, and only once.
resume_over_display_time() {
    local clock=$E2E_SCENARIO_DIR/clock offset=$1 slept=$3 hour minute second
    IFS=: read -r hour minute second <<<"$2"
    # Only the program's clock moves: not the time limit's around it, not the driver's.
    printf '%+d\n' "$offset" >"$clock"
    must reg-set Hour "$hour" >/dev/null
    must reg-set Minute "$minute" >/dev/null
    must reg-set Second "$second" >/dev/null
    must reg-set Date "$(date -d "@$(($(date +%s) + offset))" +%-m/%-d/%Y)" >/dev/null
    start_on_a_faked_clock_in_tray FAKETIME_TIMESTAMP_FILE="$clock" FAKETIME_NO_CACHE=1
    seed_week_old_reading

    # Asleep (after a tick or two before it); then Windows says it has resumed.
    sleep 2
    printf '%+d\n' $((offset + slept)) >"$clock"
    must resume >/dev/null
    must wait-visible main 1 3 >/dev/null
    # The day after the program's today.
    assert_eq "$(date -d "$(date -d "@$(($(date +%s) + offset + slept))" +%F) 12:00 1 day" +%-m/%-d/%Y)" \
        "$(drv reg-get Date)" "Date after the resume"
    check_reading_replaced 5 2,4
    local card lines
    card=$(drv reg-get Card)
    lines=$(drv reg-get ChangingLines)

    # Back to the tray; another resume (or tick) that day brings nothing.
    close_to_tray
    must resume >/dev/null
    sleep 2
    assert_eq hidden "$(drv main-state)" "window after a second resume"
    assert_eq "$card $lines" "$(drv reg-get Card) $(drv reg-get ChangingLines)" "reading after a second resume"
}

# A quarter of an hour asleep over the display time ten minutes ahead.
E2E_SCENARIOS+=(resume_past_display_time)
scenario_resume_past_display_time() {
    resume_over_display_time 0 "$(date -d "now 600 seconds" +%-H:%-M:%-S)" 900
}

# Closed at 20:00, opened at 08:00 the next morning: the evening's display at 21:00 comes up
# on waking instead of being lost.
E2E_SCENARIOS+=(resume_next_morning_after_evening_time)
scenario_resume_next_morning_after_evening_time() {
    keep_clear_of_midnight 60
    resume_over_display_time $(($(date -d "today 20:00" +%s) - $(date +%s))) 21:0:0 $((12 * 3600))
}

# A night on a clock running 50 times as fast as the real one (libfaketime; the program's
# timers still count real time): the program, asleep in the tray, comes up once at the
# display time, with the reading renewed.
E2E_SCENARIOS+=(night_on_a_fast_clock)
scenario_night_on_a_fast_clock() {
    keep_clear_of_midnight 120
    must reg-set Hour 7 >/dev/null
    must reg-set Minute 0 >/dev/null
    must reg-set Second 0 >/dev/null
    must reg-set Date "$(tomorrow_text)" >/dev/null
    # 06:40 on the program's clock; 07:00 comes 24 real seconds later.
    start_on_a_faked_clock_in_tray FAKETIME="@$(date +%F) 06:40:00 x50"
    seed_week_old_reading
    must wait-visible main 1 40 >/dev/null
    assert_eq "$(tomorrow_text)" "$(drv reg-get Date)" "Date after the display time"
    check_reading_replaced 5 2,4
    # Once: back in the tray, ten real seconds (over eight minutes on its clock) bring nothing.
    close_to_tray
    sleep 10
    assert_eq hidden "$(drv main-state)" "window after the display time"
}

# Three mornings in Berlin time over the change to summer time, on a clock running 3,600
# times as fast as the real one (an hour a second): the window comes up once each morning,
# and each time renews the reading for the next day.
E2E_SCENARIOS+=(mornings_over_summer_time_on_a_fast_clock)
scenario_mornings_over_summer_time_on_a_fast_clock() {
    must reg-set Hour 7 >/dev/null
    must reg-set Minute 0 >/dev/null
    must reg-set Second 0 >/dev/null
    must reg-set Date 3/27/2027 >/dev/null
    # Friday 26 March 2027 at 20:00; summer time starts on Sunday the 28th at 02:00.
    start_on_a_faked_clock_in_tray TZ=Europe/Berlin FAKETIME="@2027-03-26 20:00:00 x3600"
    local due
    for due in 3/28/2027 3/29/2027 3/30/2027; do
        must wait-visible main 1 40 >/dev/null
        assert_eq "$due" "$(drv reg-get Date)" "Date after the morning before $due"
        close_to_tray
    done
}

