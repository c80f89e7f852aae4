# The program's web pages: the Help and Donate menus, the link labels, the About box,
# and the update reminder at start-up. A recorder stands in for the browser (see
# use_page_recorder), so each opened address can be counted.

ABOUT_TITLE=$MAIN_TITLE
ABOUT_OK=1 # IDOK
REMINDER_TEXT='There maybe an update to this software available\rDo you want to check for an update?'

# The update reminder's question is up: its wording (one CR between the two sentences),
# Yes and No with Yes the default, the information icon; the main window not shown yet.
check_reminder_question() {
    local info
    info=$(drv msgbox-info 30 Hexalune) || fail "the update reminder asked nothing"
    assert_eq "text: $REMINDER_TEXT" "$(sed -n 1p <<<"$info")" "update reminder's text"
    assert_eq "buttons: &Yes* &No" "$(sed -n 2p <<<"$info")" "update reminder's buttons"
    assert_match '^icon: information ' "$(sed -n 3p <<<"$info")" "update reminder's icon"
    assert_match '^(none|hidden)$' "$(drv main-state)" "main window while the reminder asks"
    screenshot update-reminder >/dev/null
}

# After the reminder's answer: the main window comes up and nothing else is asked.
wait_window_after_reminder() {
    wait_main_window
    must wait-visible main 1 10 >/dev/null
    drv no-msgbox >/dev/null || fail "another message box is showing"
}

E2E_SCENARIOS+=(update_reminder_answered_no)
scenario_update_reminder_answered_no() {
    keep_clear_of_midnight 60
    seed_later_start
    set_reminder_date "$(date_text "15 days ago")"
    start_hexalune
    check_reminder_question
    must answer no Hexalune >/dev/null
    wait_window_after_reminder
    assert_eq "$(today_text)" "$(reminder_date)" "reminder's date after No"
    quit_hexalune
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "the first run's process did not end"

    # Asked today already: the next start goes straight to the window.
    start_hexalune
    wait_window_after_reminder
    assert_eq "$(today_text)" "$(reminder_date)" "reminder's date on the second start"
    quit_hexalune
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "the second run's process did not end"

    # A date as far in the future counts as well.
    set_reminder_date "$(date_text "15 days")"
    start_hexalune
    check_reminder_question
    must answer no Hexalune >/dev/null
    wait_window_after_reminder
    assert_eq "$(today_text)" "$(reminder_date)" "reminder's date after one 15 days ahead"
}

E2E_SCENARIOS+=(update_reminder_answered_yes)
scenario_update_reminder_answered_yes() {
    keep_clear_of_midnight 60
    use_page_recorder
    seed_later_start
    set_reminder_date "$(date_text "15 days ago")"
    start_hexalune
    check_reminder_question
    must answer yes Hexalune >/dev/null
    wait_pages_opened 1
    wait_window_after_reminder
    assert_eq "$(today_text)" "$(reminder_date)" "reminder's date after Yes"
    quit_hexalune
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "the first run's process did not end"
    assert_eq "$PAGE_DOWNLOAD" "$(opened_pages)" "pages opened after Yes"

    # Fourteen days is not yet long enough: no question, and the date stays.
    local fortnight
    fortnight=$(date_text "14 days ago")
    set_reminder_date "$fortnight"
    start_hexalune
    wait_window_after_reminder
    assert_eq "$fortnight" "$(reminder_date)" "reminder's date after 14 days"
    assert_eq "$PAGE_DOWNLOAD" "$(opened_pages)" "pages opened in all"
}

E2E_SCENARIOS+=(web_pages)
scenario_web_pages() {
    use_page_recorder
    start_hexalune_shown
    local opened=0 id
    # Help > Online help, Help > Visit the home page, Help > Check for an update, Donate.
    for id in $IDM_ONLINE_HELP $IDM_VISIT_HOME $IDM_CHECK_UPDATE $IDM_DONATE; do
        must menu "$id" >/dev/null
        opened=$((opened + 1))
        wait_pages_opened $opened
    done
    # The link above the views and the one at the bottom, clicked with the mouse. The
    # co-branding label lies over the full-branding one: a click at that place is its.
    click_control $IDC_FORUM_LINK
    wait_pages_opened 5
    local rect left top right bottom reached
    rect=$(must rect $IDC_COBRAND_LINK) || exit 1
    read -r left top right bottom <<<"$rect"
    reached=$(must window-at $(((left + right) / 2)) $(((top + bottom) / 2))) || exit 1
    echo "a click on the co-branding label reaches: $reached" >>"$E2E_SCENARIO_DIR/log.txt"
    click_rect_middle "$rect"
    wait_pages_opened 6
    screenshot after-links >/dev/null
    # Late duplicates would show by now.
    sleep 1
    assert_eq "$(printf '%s\n' "$PAGE_ONLINE_HELP" "$PAGE_HOME" "$PAGE_DOWNLOAD" "$PAGE_DONATION" "$PAGE_HOME" \
        "$PAGE_CO_BRANDING")" "$(opened_pages)" "pages opened, in order"
    drv no-msgbox >/dev/null || fail "a message box is showing"
}

E2E_SCENARIOS+=(about_box)
scenario_about_box() {
    use_page_recorder
    start_hexalune_shown
    assert_eq 1 "$(drv enabled main)" "main window enabled before the About box"

    must menu $IDM_ABOUT >/dev/null
    assert_eq "open, owner main" "$(drv dlg-wait "$ABOUT_TITLE" 10)" "About box"
    assert_eq 0 "$(drv enabled main)" "main window disabled while the About box is open"
    screenshot about-box >/dev/null
    # Its links open their pages and leave it open.
    click_dialog_control "$ABOUT_TITLE" $IDC_ABOUT_HOME_LINK
    wait_pages_opened 1
    click_dialog_control "$ABOUT_TITLE" $IDC_ABOUT_DETAILS_LINK
    wait_pages_opened 2
    sleep 0.5
    assert_eq "open, owner main" "$(drv dlg-wait "$ABOUT_TITLE" 0)" "About box after its links"
    assert_eq 0 "$(drv enabled main)" "main window still disabled"
    assert_eq "$(printf '%s\n' "$PAGE_HOME" "$PAGE_FULL_BRANDING")" "$(opened_pages)" "pages from the About box"

    # OK closes it.
    click_dialog_control "$ABOUT_TITLE" $ABOUT_OK
    must dlg-gone "$ABOUT_TITLE" 10 >/dev/null
    assert_eq 1 "$(drv enabled main)" "main window enabled after OK"

    # So do Esc and Enter, on the real keyboard.
    local key
    for key in Escape Return; do
        must menu $IDM_ABOUT >/dev/null
        must dlg-wait "$ABOUT_TITLE" 10 >/dev/null
        assert_eq 0 "$(drv enabled main)" "main window disabled with the About box open again"
        press_key_in "$ABOUT_TITLE" "$key"
        drv dlg-gone "$ABOUT_TITLE" 10 >/dev/null || fail "the $key key left the About box open"
        assert_eq 1 "$(drv enabled main)" "main window enabled after $key"
    done

    # Enter on a link (Tab goes from OK to the first) follows it and leaves the box open;
    # Esc closes it from there too.
    must menu $IDM_ABOUT >/dev/null
    must dlg-wait "$ABOUT_TITLE" 10 >/dev/null
    press_key_in "$ABOUT_TITLE" Tab
    press_key_in "$ABOUT_TITLE" Return
    wait_pages_opened 3
    screenshot about-box-link-focused >/dev/null
    assert_eq "open, owner main" "$(drv dlg-wait "$ABOUT_TITLE" 0)" "About box after Enter on its link"
    press_key_in "$ABOUT_TITLE" Escape
    drv dlg-gone "$ABOUT_TITLE" 10 >/dev/null || fail "Esc on a link left the About box open"
    assert_eq 1 "$(drv visible main)" "main window shown"
    assert_eq "$(printf '%s\n' "$PAGE_HOME" "$PAGE_FULL_BRANDING" "$PAGE_HOME")" "$(opened_pages)" "pages opened in all"
}
