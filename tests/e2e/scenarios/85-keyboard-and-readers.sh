# The keyboard reaches every control, screen readers get meaningful names, and the
# clipboard guard touches only what was copied out of the program.

# Presses Tab in the main window `count` times and prints the id of each control reached.
tab_through() {
    local count=$1 i
    for ((i = 0; i < count; i++)); do
        timeout 10 xdotool key Tab || fail "xdotool could not press Tab"
        sleep 0.15
        drv focus-id
    done
}

# Fails unless every id after the first argument appears in the list in $1.
expect_reached() {
    local reached=$1 id
    shift
    for id in "$@"; do
        grep -qx "$id" <<<"$reached" || fail "Tab never reached control $id (reached: $(tr '\n' ' ' <<<"$reached"))"
    done
}

E2E_SCENARIOS+=(keyboard_reaches_every_control)
scenario_keyboard_reaches_every_control() {
    seed_known_reading
    start_hexalune
    wait_main_window
    click_control $IDC_HEXAGRAM_NAME  # the window in the foreground, focus inside it
    local reached
    reached=$(tab_through 12)
    expect_reached "$reached" $IDC_JUDGMENT_DESCRIPTION $IDC_IMAGE_DESCRIPTION $IDC_JUDGMENT_POEM \
        $IDC_IMAGE_POEM $IDC_SETTINGS_BUTTON $IDC_EXIT_BUTTON

    # The access key of "&Settings" brings the settings view.
    timeout 10 xdotool key alt+s || fail "xdotool could not press Alt+S"
    E2E_WAIT=5 wait_for_output 1 visible $IDC_SETTINGS_VIEW
    reached=$(tab_through 12)
    expect_reached "$reached" $IDC_HOUR_LIST $IDC_MINUTE_LIST $IDC_SECOND_LIST $IDC_DONT_RUN_AT_STARTUP \
        $IDC_SHOW_HEXAGRAM_BUTTON $IDC_EXIT_BUTTON
    grep -qx "$IDC_READING_VIEW" <<<"$reached" && fail "Tab reached the hidden view"
    # What lies below the client area is never reached: an arrow key there could change an
    # option that nobody can see.
    local hidden
    for hidden in $IDC_DISPLAY_DAILY $IDC_DISPLAY_HOURLY; do
        grep -qx "$hidden" <<<"$reached" && fail "Tab reached control $hidden below the window"
    done
    screenshot settings-by-keyboard >/dev/null
}

# The start options are a group of their own: the arrow keys stay within the pair, and
# focus on an option acts as Windows makes it act (BN_CLICKED when it was not chosen).
E2E_SCENARIOS+=(start_options_by_keyboard)
scenario_start_options_by_keyboard() {
    seed_known_reading
    start_hexalune_shown
    must click $IDC_SETTINGS_BUTTON >/dev/null
    must wait-visible $IDC_SETTINGS_VIEW 1 >/dev/null
    assert_eq group "$(drv style $IDC_RUN_AT_STARTUP)" "the pair's first option: a group, no tab stop"
    assert_eq tabstop "$(drv style $IDC_DONT_RUN_AT_STARTUP)" "the chosen option: the pair's tab stop"
    assert_eq $'group\ntabstop' "$(drv style $IDC_START_IN_TRAY)" "the check box after the pair starts a group"

    click_control $IDC_RUN_AT_STARTUP  # chosen with the mouse: focus on it, Run entry written
    E2E_WAIT=5 wait_for_output "$RUN_COMMAND" run-get
    assert_eq $'group\ntabstop' "$(drv style $IDC_RUN_AT_STARTUP)" "the tab stop moves with the choice"

    # Up from the pair's first option comes round to its last, not to the check box.
    timeout 10 xdotool key Up || fail "xdotool could not press Up"
    E2E_WAIT=3 wait_for_output $IDC_DONT_RUN_AT_STARTUP focus-id
    must button-clicked $IDC_DONT_RUN_AT_STARTUP >/dev/null
    E2E_WAIT=5 wait_for_output 1 checked $IDC_DONT_RUN_AT_STARTUP
    assert_eq "<missing>" "$(drv run-get)" "Run entry after the arrow key chose \"Don't run\""
    assert_eq 0 "$(drv enabled $IDC_START_IN_TRAY)" "tray box after the arrow key"

    # Focus on the option already chosen changes nothing.
    must button-clicked $IDC_DONT_RUN_AT_STARTUP >/dev/null
    sleep 0.5
    assert_eq 1 "$(drv checked $IDC_DONT_RUN_AT_STARTUP)" "choice after focus on the chosen option"
    assert_eq 0 "$(drv checked $IDC_RUN_AT_STARTUP)" "the other option after focus on the chosen one"
    assert_eq "<missing>" "$(drv run-get)" "Run entry after focus on the chosen option"
}

E2E_SCENARIOS+=(screen_reader_names)
scenario_screen_reader_names() {
    seed_known_reading
    start_hexalune
    wait_main_window
    assert_eq "Hexagram 46, Pushing Upward" "$(drv acc $IDC_HEXAGRAM_FIGURE | head -n1)" "the picture"
    assert_eq "Changing lines 4, 1, 6" "$(drv acc $IDC_CHANGING_LINES | head -n1)" "the changing lines"
    assert_eq "4,1,6" "$(drv text $IDC_CHANGING_LINES)" "the changing lines on screen"
    assert_eq link "$(drv acc $IDC_CHANGING_LINES | tail -n1)" "the changing lines' role"
    assert_eq link "$(drv acc $IDC_FORUM_LINK | tail -n1)" "the forum link's role"
    assert_eq link "$(drv acc $IDC_COBRAND_LINK | tail -n1)" "the co-branding link's role"
    assert_eq "Judgment Description" "$(drv acc $IDC_JUDGMENT_DESCRIPTION | head -n1)" "a reading text's name"
    assert_eq "Image Poem" "$(drv acc $IDC_IMAGE_POEM | head -n1)" "another reading text's name"
    # The lists are read where the user meets them, in the settings view.
    must click $IDC_SETTINGS_BUTTON >/dev/null
    must wait-visible $IDC_SETTINGS_VIEW 1 >/dev/null
    assert_eq "Hour" "$(drv acc $IDC_HOUR_LIST | head -n1)" "the hour list's name"
    assert_eq "Second" "$(drv acc $IDC_SECOND_LIST | head -n1)" "the second list's name"
}

E2E_SCENARIOS+=(clipboard_guard)
scenario_clipboard_guard() {
    seed_known_reading
    start_hexalune
    wait_main_window
    local left top right bottom
    read -r left top right bottom <<<"$(must rect $IDC_JUDGMENT_POEM)"

    # Text another program put there survives the mouse moving over the reading texts.
    must clip-set "copied elsewhere" >/dev/null
    mouse_at $(((left + right) / 2)) $(((top + bottom) / 2)) mousemove_relative 5 5 || fail "xdotool failed"
    sleep 0.5
    assert_eq "copied elsewhere" "$(drv clip-get)" "another program's text"

    # Text copied out of a reading text is gone at the next mouse move over one; the moves
    # after it leave the clipboard alone.
    must copy-text $IDC_IMAGE_POEM >/dev/null
    assert_eq "$(drv text $IDC_IMAGE_POEM)" "$(drv clip-get)" "the copied reading text"
    local copied i
    copied=$(drv clip-seq)
    for ((i = 0; i < 10; i++)); do
        mouse_at $(((left + right) / 2 + i)) $(((top + bottom) / 2)) || fail "xdotool failed"
        sleep 0.05
    done
    E2E_WAIT=5 wait_for_output "<empty>" clip-get
    (($(drv clip-seq) - copied <= 1)) || fail "ten moves changed the clipboard $(($(drv clip-seq) - copied)) times"
}

# The control that had the focus has it again once the About box is closed.
E2E_SCENARIOS+=(focus_survives_the_about_box)
scenario_focus_survives_the_about_box() {
    seed_known_reading
    start_hexalune_shown
    click_control $IDC_HEXAGRAM_NAME  # the window in the foreground, focus inside it
    local before
    before=$(tab_through 3 | tail -n1)
    ((before != 0)) || fail "Tab reached no control"
    must menu $IDM_ABOUT >/dev/null
    must dlg-wait "$MAIN_TITLE" 10 >/dev/null
    press_key_in "$MAIN_TITLE" Escape
    drv dlg-gone "$MAIN_TITLE" 10 >/dev/null || fail "Esc left the About box open"
    E2E_WAIT=3 wait_for_output "$before" focus-id
}
