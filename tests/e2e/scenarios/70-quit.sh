# Quitting: File > Exit and the Exit button ask first; No sends the window to the tray,
# Yes (or Enter) ends the program. A close from another program ends it without asking.

QUIT_TEXT='Are You Sure You Want To Quit Hexalune?'

# Chooses "Run at start-up" with "Start at system tray" on the panel (the first start's
# view), so that the saved options differ from the defaults.
choose_run_in_tray() {
    assert_eq 1 "$(drv visible $IDC_SETTINGS_VIEW)" "settings view in front"
    must click $IDC_RUN_AT_STARTUP >/dev/null
    E2E_WAIT=3 wait_for_output 1 enabled $IDC_START_IN_TRAY
    must click $IDC_START_IN_TRAY >/dev/null
    E2E_WAIT=3 wait_for_output 1 checked $IDC_START_IN_TRAY
    assert_eq "<missing>" "$(drv reg-get AutorunStartUp)" "AutorunStartUp before saving"
    assert_eq "<missing>" "$(drv reg-get SystemTray)" "SystemTray before saving"
}

check_quit_question() {
    local info
    info=$(drv msgbox-info 10 Hexalune) || fail "quitting asked nothing"
    assert_eq "text: $QUIT_TEXT" "$(sed -n 1p <<<"$info")" "quit question"
    assert_eq "buttons: &Yes* &No" "$(sed -n 2p <<<"$info")" "quit question's buttons"
}

E2E_SCENARIOS+=(quit_no_then_enter)
scenario_quit_no_then_enter() {
    start_hexalune_shown
    choose_run_in_tray

    # File > Exit, No: the options are saved and the window goes to the tray.
    must menu $IDM_EXIT >/dev/null
    check_quit_question
    must answer no Hexalune >/dev/null
    must wait-visible main 0 10 >/dev/null
    assert_eq hidden "$(drv main-state)" "main window after No"
    assert_eq True "$(drv reg-get AutorunStartUp)" "AutorunStartUp saved"
    assert_eq True "$(drv reg-get SystemTray)" "SystemTray saved"
    assert_eq 1 "$(drv own-visible $IDC_READING_VIEW)" "hexagram view in front"
    assert_eq 0 "$(drv own-visible $IDC_SETTINGS_VIEW)" "settings view behind"
    sleep 1
    process_ended "$HEXALUNE_PID" && fail "the program ended after No"
    local position x y
    position=$(our_tray_icon) || exit 1
    read -r x y <<<"$position"

    # Back from the tray, the Exit button, and Enter: Yes is the default answer.
    double_click_at "$x" "$y" || fail "xdotool could not click at $x,$y"
    must wait-visible main 1 10 >/dev/null
    must click $IDC_EXIT_BUTTON >/dev/null
    check_quit_question
    press_key_in Hexalune Return
    expect_clean_end "after Enter"
    assert_eq True "$(drv reg-get AutorunStartUp)" "AutorunStartUp at the end"
    assert_eq True "$(drv reg-get SystemTray)" "SystemTray at the end"
}

E2E_SCENARIOS+=(wm_close_ends)
scenario_wm_close_ends() {
    start_hexalune_shown
    choose_run_in_tray
    # As the task list does it.
    must wm-close >/dev/null
    local box
    box=$(drv msgbox 3 2>/dev/null) && fail "WM_CLOSE asked: $(tr '\n' ' ' <<<"$box")"
    expect_clean_end "on WM_CLOSE"
    assert_eq True "$(drv reg-get AutorunStartUp)" "AutorunStartUp saved"
    assert_eq True "$(drv reg-get SystemTray)" "SystemTray saved"
    assert_eq 0 "$(drv tray-icon | head -n1)" "tray icons after the end"
}

# Logging off with the About box open: the box closes,
# the options are saved, and the program ends cleanly.
E2E_SCENARIOS+=(log_off_ends)
scenario_log_off_ends() {
    start_hexalune_shown
    choose_run_in_tray
    must menu $IDM_ABOUT >/dev/null
    must dlg-wait "$MAIN_TITLE" >/dev/null
    must end-session >/dev/null
    expect_clean_end "at log-off"
    assert_eq True "$(drv reg-get AutorunStartUp)" "AutorunStartUp saved at log-off"
}

# The program ended from outside while the quit question is open ($1 says how): it ends
# with the options that were on screen, and the next start keeps starting with Windows.
end_during_quit_question() {
    must click $IDC_EXIT_BUTTON >/dev/null
    check_quit_question
    case $1 in
        wm-close | end-session) must "$1" >/dev/null ;;
        tray-exit)
            must tray-event 0x7B 300 200 >/dev/null  # the icon's menu
            click_popup_item 1 2
            ;;
    esac
    expect_clean_end "on $1 during the quit question"
    assert_eq True "$(drv reg-get AutorunStartUp)" "AutorunStartUp after $1"
    assert_eq True "$(drv reg-get SystemTray)" "SystemTray after $1"
    assert_eq "$RUN_COMMAND" "$(drv run-get)" "Run value after $1"

    start_hexalune_shown
    assert_eq "$RUN_COMMAND" "$(drv run-get)" "Run value after the next start"
    show_settings_view
    assert_eq 1 "$(drv checked $IDC_START_IN_TRAY)" "Start at system tray after the next start"
    quit_hexalune
}

E2E_SCENARIOS+=(closed_during_quit_question)
scenario_closed_during_quit_question() {
    start_hexalune_shown
    choose_run_in_tray
    end_during_quit_question wm-close
}

E2E_SCENARIOS+=(log_off_during_quit_question)
scenario_log_off_during_quit_question() {
    start_hexalune_shown
    choose_run_in_tray
    end_during_quit_question end-session
}

# The window came up from the tray at the display time, so its icon is still there.
E2E_SCENARIOS+=(tray_exit_during_quit_question)
scenario_tray_exit_during_quit_question() {
    keep_clear_of_midnight 90
    start_hexalune_shown
    choose_run_in_tray
    close_to_tray
    seed_display_in 3
    must wait-visible main 1 10 >/dev/null
    end_during_quit_question tray-exit
}
