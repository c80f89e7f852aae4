# A well-behaved Windows program: the layout at 100% and at 150% scale, and the
# per-user installer and its uninstaller.

# Width and height of a control on screen, "W H".
control_size() {
    local left top right bottom
    read -r left top right bottom <<<"$(drv rect "$1")" || return 1
    echo "$((right - left)) $((bottom - top))"
}

# Sets a value through Wine's own reg tool (for types the driver does not write).
wine_reg_add() {
    e2e_detached "$E2E_SCENARIO_DIR/reg.log" timeout 30 "$WINE64" reg add "$@" /f ||
        fail "reg add $* failed"
}

# Restarts the prefix's session, so that settings read at session start take effect.
restart_session() {
    e2e_stop_prefix "$WINEPREFIX"
    e2e_start_wineserver || fail "wineserver did not start again"
    e2e_detached "$E2E_SCENARIO_DIR/session.log" timeout 60 "$WINE64" "$HEXALUNE_DRIVER" wait-desktop 45 ||
        fail "the desktop did not come back"
}

E2E_SCENARIOS+=(layout_at_96_dpi)
scenario_layout_at_96_dpi() {
    seed_later_start
    start_hexalune_shown
    # The hexagram view: the text boxes' borders whole, under the labels below them.
    screenshot reading-at-96-dpi >/dev/null
    must menu $IDM_SETTINGS >/dev/null
    # Twips of the layout over 15.
    assert_eq "81 77" "$(control_size $IDC_SETTINGS_FIGURE)" "settings picture"
    assert_eq "475 387" "$(control_size $IDC_SETTINGS_VIEW)" "settings frame"
    assert_eq "475 33" "$(control_size $IDC_EXIT_BUTTON)" "Exit button"
    assert_eq "441 41" "$(control_size $IDC_SHOW_HEXAGRAM_BUTTON)" "confirm button"
    screenshot at-96-dpi >/dev/null
}

E2E_SCENARIOS+=(layout_at_144_dpi)
scenario_layout_at_144_dpi() {
    wine_reg_add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144
    wine_reg_add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /t REG_SZ /d 1280x1024
    restart_session
    seed_later_start
    start_hexalune_shown
    # Every rectangle 1.5 times its size at 100%, rounded to whole pixels.
    assert_eq "122 116" "$(control_size $IDC_HEXAGRAM_FIGURE)" "hexagram picture"
    assert_eq "326 122" "$(control_size $IDC_JUDGMENT_DESCRIPTION)" "judgment text"
    assert_eq "713 581" "$(control_size $IDC_READING_VIEW)" "hexagram frame"
    assert_eq "713 50" "$(control_size $IDC_EXIT_BUTTON)" "Exit button"
    # Nothing is cut off: the lowest visible control lies on the screen, below the Exit button.
    local left top right bottom el et er eb
    read -r left top right bottom <<<"$(drv rect $IDC_BRANDING_FRAME)"
    read -r el et er eb <<<"$(drv rect $IDC_EXIT_BUTTON)"
    ((left >= 0 && top >= eb && bottom <= 1024 && right <= 1280)) ||
        fail "the brand frame ($left $top $right $bottom) is cut off (Exit button $el $et $er $eb)"
    # The hexagram view: the text boxes' borders whole, under the labels below them.
    screenshot reading-at-144-dpi >/dev/null
    must menu $IDM_SETTINGS >/dev/null
    E2E_WAIT=5 wait_for_output 1 visible $IDC_SETTINGS_VIEW
    screenshot at-144-dpi >/dev/null
}

E2E_SCENARIOS+=(installer)
scenario_installer() {
    [[ -n ${HEXALUNE_SETUP:-} && -f $HEXALUNE_SETUP ]] || fail "HEXALUNE_SETUP must name the built installer"
    cp "$HEXALUNE_SETUP" "$WINEPREFIX/drive_c/setup.exe"
    e2e_detached "$E2E_SCENARIO_DIR/setup.log" timeout 120 "$WINE64" 'C:\setup.exe' /S ||
        fail "the installer failed"
    local installed
    installed=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local/Programs/Hexalune 2>/dev/null | head -n1)
    [[ -n $installed && -f $installed/Hexalune.exe && -f $installed/Uninstall.exe && -f $installed/LICENSE.txt ]] ||
        fail "the program and its licence were not installed under the user's local programs folder"
    ls "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/'Start Menu'/Programs/Hexalune.lnk >/dev/null 2>&1 ||
        fail "no Start-menu shortcut"
    local uninstall='Software\Microsoft\Windows\CurrentVersion\Uninstall\Hexalune'
    assert_eq Hexalune "$(drv hkcu-get "$uninstall" DisplayName)" "Apps and features entry"
    assert_eq "$HEXALUNE_VERSION" "$(drv hkcu-get "$uninstall" DisplayVersion)" "version shown in Apps and features"

    # The installed program starts from its folder and keeps its settings under its name.
    local user
    user=$(basename "$(dirname "$(dirname "$(dirname "$(dirname "$installed")")")")")
    e2e_detached_bg "$E2E_SCENARIO_DIR/hexalune.log" timeout 300 "$WINE64" \
        "C:\\users\\$user\\AppData\\Local\\Programs\\Hexalune\\Hexalune.exe"
    HEXALUNE_PID=$E2E_BG_PID
    wait_main_window
    must click $IDC_RUN_AT_STARTUP >/dev/null
    E2E_WAIT=10 wait_for_output "\"C:\\users\\$user\\AppData\\Local\\Programs\\Hexalune\\Hexalune.exe\" /STARTUP" run-get
    assert_eq 7 "$(drv reg-get Hour)" "settings of the installed copy"

    # The silent uninstaller ends the running copy, removes the files, the shortcut and the
    # Run value, and keeps the settings.
    e2e_detached "$E2E_SCENARIO_DIR/uninstall.log" timeout 120 "$WINE64" \
        "C:\\users\\$user\\AppData\\Local\\Programs\\Hexalune\\Uninstall.exe" /S || fail "the uninstaller failed"
    local deadline=$((SECONDS + 30))
    while [[ -e $installed ]] && ((SECONDS < deadline)); do sleep 0.5; done
    [[ ! -e $installed/Hexalune.exe ]] || fail "the program file is still there"
    [[ ! -e $installed ]] || fail "the program's folder is still there, with: $(ls "$installed")"
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "the running copy did not end"
    assert_eq "<missing>" "$(drv run-get)" "Run value removed"
    assert_eq "<missing>" "$(drv hkcu-get "$uninstall" DisplayName)" "Apps and features entry removed"
    ls "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/'Start Menu'/Programs/Hexalune.lnk >/dev/null 2>&1 &&
        fail "the Start-menu shortcut is still there"
    assert_eq 7 "$(drv reg-get Hour)" "settings kept by a silent removal"
    ls "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Hexalune/Hexalune/Journal.csv >/dev/null 2>&1 ||
        fail "the journal was not kept by a silent removal"
}
