# The Journal window: every reading drawn, newest first, and the reader's notes kept
# through a close, the program's end and a log-off.

JOURNAL_TITLE="Hexalune Journal"

journal_file() {
    ls "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Hexalune/Hexalune/Journal.csv 2>/dev/null | head -n1
}

# The cells of column $1 of the Journal window's list, top row first.
journal_column() { drv dlg-rows "$JOURNAL_TITLE" $IDC_JOURNAL_LIST | cut -f"$1"; }

# Opens the Journal window from the main window with Ctrl+J, a click on the window first
# when it is not the active one (it comes up at the display time without the keyboard).
open_journal() {
    [[ $(head -n1 <<<"$(must focus)") == "foreground: "*"\"$MAIN_TITLE\""* ]] || click_control $IDC_HEXAGRAM_NAME
    timeout 10 xdotool key ctrl+j || fail "xdotool could not press Ctrl+J"
    assert_eq "open, owner main" "$(drv dlg-wait "$JOURNAL_TITLE" 10)" "the Journal window"
}

# The journal file as Python's csv module reads it: the Hexagram column, then the notes
# (each with its line breaks as \n), one row a line.
csv_read_back() {
    python3 - "$1" <<'PY'
import csv, sys
with open(sys.argv[1], newline="", encoding="utf-8-sig") as f:
    rows = list(csv.reader(f))
assert rows[0][0] == "Drawn at", rows[0]
for row in rows[1:]:
    print(row[1], row[6].replace("\r\n", "\\n"))
PY
}

E2E_SCENARIOS+=(journal_lists_readings_and_keeps_notes)
scenario_journal_lists_readings_and_keeps_notes() {
    keep_clear_of_midnight 150
    # A first start draws a reading.
    start_hexalune_shown
    quit_hexalune
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "the first start's process did not end"
    local file first
    file=$(journal_file)
    [[ -n $file ]] || fail "no journal file after the first start"
    first=$(csv_read_back "$file" | cut -d' ' -f1)
    assert_eq 1 "$(wc -l <<<"$first")" "readings drawn by the first start"

    # A later start with nothing due; the journal is open, with a note being typed, when the
    # display time draws a reading. The typing goes on where it was.
    seed_display_in 25
    must reg-set Date "$(tomorrow_text)" >/dev/null
    start_hexalune_shown
    open_journal
    assert_eq "$first" "$(journal_column 2 | cut -d' ' -f1)" "the first start's reading, listed"
    must dlg-type "$JOURNAL_TITLE" $IDC_JOURNAL_NOTE 'Rain by noon, as "foretold".' >/dev/null
    must reg-set Date "$(date_text "7 days ago")" >/dev/null
    local listed deadline=$((SECONDS + 40))
    until [[ $(journal_column 2 | wc -l) == 2 ]]; do
        ((SECONDS <= deadline)) || fail "the reading drawn at the display time was not listed"
        sleep 0.5
    done
    must dlg-type "$JOURNAL_TITLE" $IDC_JOURNAL_NOTE '\nCalled Ana.' >/dev/null
    local drawn
    drawn=$(csv_read_back "$file" | cut -d' ' -f1)
    assert_eq "$(tac <<<"$drawn")" "$(journal_column 2 | cut -d' ' -f1)" "the entries, newest first"
    assert_eq "$(drv reg-get Card)" "$(journal_column 2 | head -n1 | cut -d' ' -f1)" "the newest: the reading on screen"
    assert_match '2026|[0-9]/' "$(journal_column 1 | head -n1)" "the date column"
    assert_eq "Hexagram $first, $(hexagram_name "$first")" "$(drv dlg-text "$JOURNAL_TITLE" $IDC_JOURNAL_NAME)" \
        "the entry on show, kept when the list grew"
    # Saved in the pause after the typing, in the order it was typed.
    local expected="$first Rain by noon, as \"foretold\".\\nCalled Ana."$'\n'"$(sed -n 2p <<<"$drawn") "
    deadline=$((SECONDS + 10))
    until [[ $(csv_read_back "$file") == "$expected" ]] || ((SECONDS > deadline)); do sleep 0.5; done
    assert_eq "$expected" "$(csv_read_back "$file")" "the note, typed on while the list grew, saved to its own entry"
    screenshot journal >/dev/null
    press_key_in "$JOURNAL_TITLE" Escape
    drv dlg-gone "$JOURNAL_TITLE" 10 >/dev/null || fail "Esc left the Journal window open"

    # After the program's end and a new start, the note is shown again.
    quit_hexalune
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "the second run's process did not end"
    must reg-set Date "$(tomorrow_text)" >/dev/null
    start_hexalune_shown
    open_journal
    assert_eq 'Rain by noon, as "foretold".' "$(journal_column 5 | sed -n 2p)" "the note's first line, listed"
    press_key_in "$JOURNAL_TITLE" Down
    assert_eq "Hexagram $first, $(hexagram_name "$first")" "$(drv dlg-text "$JOURNAL_TITLE" $IDC_JOURNAL_NAME)" \
        "the entry chosen with the arrow key"
    assert_eq $'Rain by noon, as "foretold".\nCalled Ana.' "$(drv dlg-text "$JOURNAL_TITLE" $IDC_JOURNAL_NOTE)" \
        "the note after a restart"

    # A note being typed when the session ends is kept, though the process ends at once.
    press_key_in "$JOURNAL_TITLE" Up
    must dlg-type "$JOURNAL_TITLE" $IDC_JOURNAL_NOTE 'Typed at log-off' >/dev/null
    must end-session kill >/dev/null
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "the program did not end with the session"
    assert_eq "$(sed -n 2p <<<"$drawn") Typed at log-off" "$(csv_read_back "$file" | sed -n 2p)" \
        "the note typed when the session ended"
}

# A journal changed by hand so that part of it cannot be read: the file as it was is set
# aside once, and the rows that can be read are still listed.
E2E_SCENARIOS+=(journal_damaged_file_set_aside)
scenario_journal_damaged_file_set_aside() {
    seed_known_reading
    local folder
    folder=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Roaming)/Hexalune/Hexalune
    mkdir -p "$folder"
    printf '%s\r\n' "Drawn at,Hexagram,Hexagram name,Changing lines,Leading to,Leading to name,Note" \
        "2026-11-02 07:00:01,12,Standstill,3,19,Approach,kept" \
        "2026-11-03 07:00:01,forty,broken by hand" \
        "2026-11-04 07:00:01,29,The Abysmal,,,,also kept" >"$folder/Journal.csv"
    cp "$folder/Journal.csv" "$E2E_SCENARIO_DIR/original.csv"
    start_hexalune_shown
    timeout 10 xdotool key ctrl+j || fail "xdotool could not press Ctrl+J"
    local box
    box=$(drv msgbox 10 Hexalune) || fail "nothing said that the journal could not be read"
    assert_match "could not be read" "$box" "the message about the damaged journal"
    must answer ok Hexalune >/dev/null
    assert_eq "open, owner main" "$(drv dlg-wait "$JOURNAL_TITLE" 10)" "the Journal window"
    assert_eq "29 $(hexagram_name 29)"$'\n'"12 $(hexagram_name 12)" "$(journal_column 2)" "the rows that could be read"
    local aside
    aside=$(ls "$folder"/Journal-*.bad.csv 2>/dev/null)
    assert_eq 1 "$(wc -l <<<"$aside")" "files set aside"
    cmp -s "$aside" "$E2E_SCENARIO_DIR/original.csv" || fail "the file set aside is not the original"

    # Export: a copy where the user chooses, which a CSV reader reads back.
    must dlg-click "$JOURNAL_TITLE" $IDC_JOURNAL_EXPORT >/dev/null
    must dlg-wait "Save As" 15 >/dev/null
    local deadline=$((SECONDS + 10))
    until [[ $(drv focus | head -n1) == 'foreground: #32770 "Save As"'* ]]; do
        ((SECONDS <= deadline)) || fail "the Save As dialog did not take the keyboard"
        sleep 0.2
    done
    local copy=$E2E_SCENARIO_DIR/exported.csv
    timeout 10 xdotool key ctrl+a type --delay 20 "Z:${copy//\//\\}" || fail "xdotool could not type the file name"
    timeout 10 xdotool key Return || fail "xdotool could not press Enter"
    deadline=$((SECONDS + 10))
    until [[ -s $copy ]] || ((SECONDS > deadline)); do sleep 0.2; done
    assert_eq $'12 kept\n29 also kept' "$(csv_read_back "$copy")" "the exported journal, read back"
    drv no-msgbox 1 Hexalune >/dev/null || fail "a message box showed after the export"
}

# A note typed and then left alone is in the file within seconds, though the program then
# ends with no chance to save anything (a crash, a power cut). A paste too long for the note.
E2E_SCENARIOS+=(journal_note_saved_in_a_pause)
scenario_journal_note_saved_in_a_pause() {
    keep_clear_of_midnight 60
    start_hexalune_shown
    open_journal
    must dlg-type "$JOURNAL_TITLE" $IDC_JOURNAL_NOTE 'Typed, then left' >/dev/null
    sleep 5
    must terminate >/dev/null
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "the program's process did not end"
    assert_eq "$(drv reg-get Card) Typed, then left" "$(csv_read_back "$(journal_file)")" "the note after the kill"

    # A paste past the limit is cut before a character beyond U+FFFF that would not fit
    # whole, and the reader is told how much was kept.
    start_hexalune_shown
    open_journal
    must clip-set "$(printf 'a%.0s' {1..3999})"$'\xf0\x9f\x8c\x99'" and on" >/dev/null
    click_dialog_control "$JOURNAL_TITLE" $IDC_JOURNAL_NOTE
    timeout 10 xdotool key ctrl+Home ctrl+shift+End ctrl+v || fail "xdotool could not paste"
    assert_match "only the first 3,999 of the 4,008 characters pasted were kept" "$(drv msgbox 10 Hexalune)" \
        "the message about the cut paste"
    must answer ok Hexalune >/dev/null
    press_key_in "$JOURNAL_TITLE" Escape
    drv dlg-gone "$JOURNAL_TITLE" 10 >/dev/null || fail "Esc left the Journal window open"
    assert_eq "$(drv reg-get Card) $(printf 'a%.0s' {1..3999})" "$(csv_read_back "$(journal_file)" | tail -n1)" \
        "the note on show (the newest), as it was cut, with no half character"
}

# A journal saved again by a spreadsheet program (the ANSI code page, the user's own dates,
# no seconds, CR LF) and one with CR alone after each row: every row is listed.
E2E_SCENARIOS+=(journal_other_forms_read_in_full)
scenario_journal_other_forms_read_in_full() {
    seed_known_reading
    local folder
    folder=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Roaming)/Hexalune/Hexalune
    mkdir -p "$folder"
    printf '%s\r\n' "Drawn at,Hexagram,Hexagram name,Changing lines,Leading to,Leading to name,Note" \
        "11/2/2026 7:00,12,Standstill,3,33,Retreat,$(printf 'Caf\xe9 au lait')" \
        "11/10/2026 7:00,29,The Abysmal,,,,\"two, \"\"quoted\"\"\"" \
        "11/4/2026 7:00,46,Pushing Upward,\"4,1,6\",14,Possession,plain" >"$folder/Journal.csv"
    start_hexalune_shown
    timeout 10 xdotool key ctrl+j || fail "xdotool could not press Ctrl+J"
    drv msgbox 10 Hexalune >/dev/null || fail "nothing said that the journal was set aside"
    must answer ok Hexalune >/dev/null
    assert_eq "open, owner main" "$(drv dlg-wait "$JOURNAL_TITLE" 10)" "the Journal window"
    assert_eq "29 $(hexagram_name 29)"$'\n'"46 $(hexagram_name 46)"$'\n'"12 $(hexagram_name 12)" \
        "$(journal_column 2)" "the spreadsheet's rows, by date"
    assert_eq $'12 Caf\xc3\xa9 au lait\n29 two, "quoted"\n46 plain' "$(csv_read_back "$folder/Journal.csv" | sort)" \
        "the rows written back in the journal's own form"
    assert_eq 1 "$(ls "$folder"/Journal-*.bad.csv | wc -l)" "files set aside"
    press_key_in "$JOURNAL_TITLE" Escape
    drv dlg-gone "$JOURNAL_TITLE" 10 >/dev/null || fail "Esc left the Journal window open"
    quit_hexalune
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "the first run's process did not end"

    printf '\xef\xbb\xbf' >"$folder/Journal.csv"
    printf '%s\r' "Drawn at,Hexagram,Hexagram name,Changing lines,Leading to,Leading to name,Note" \
        "2026-11-01 07:00:01,12,Standstill,3,33,Retreat,one" \
        "2026-11-02 07:00:01,29,The Abysmal,,,,\"two"$'\r'"lines\"" \
        "2026-11-03 07:00:01,46,Pushing Upward,\"4,1,6\",14,Possession,three" >>"$folder/Journal.csv"
    start_hexalune_shown
    open_journal
    assert_eq "46 $(hexagram_name 46)"$'\n'"29 $(hexagram_name 29)"$'\n'"12 $(hexagram_name 12)" \
        "$(journal_column 2)" "the rows of a file with CR alone after each"
}

# Journal.csv held open with no sharing by another program while the display time draws a
# reading, then a log-off: the row waits beside the file, and the next start, with the lock
# gone, puts it in the journal after every earlier row and note.
E2E_SCENARIOS+=(journal_locked_at_the_display_time)
scenario_journal_locked_at_the_display_time() {
    seed_known_reading
    local folder
    folder=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Roaming)/Hexalune/Hexalune
    mkdir -p "$folder"
    {
        printf '\xEF\xBB\xBF%s\r\n' "Drawn at,Hexagram,Hexagram name,Changing lines,Leading to,Leading to name,Note"
        printf '%s\r\n' "2026-11-02 07:00:01,12,Standstill,3,33,Retreat,kept" \
            $'2026-11-04 07:00:01,29,The Abysmal,,,,"two lines,\r\nboth kept"'
    } >"$folder/Journal.csv"
    cp "$folder/Journal.csv" "$E2E_SCENARIO_DIR/original.csv"
    seed_display_in 25
    must reg-set Date "$(tomorrow_text)" >/dev/null
    start_hexalune_shown

    local hold=$E2E_SCENARIO_DIR/hold.txt
    WINEDEBUG=-all "$WINE64" "$HEXALUNE_DRIVER" hold-file '%APPDATA%\Hexalune\Hexalune\Journal.csv' \
        $((DISPLAY_AT - $(date +%s) + 25)) </dev/null >"$hold" 2>&1 &
    local holder=$!
    local deadline=$((SECONDS + 15))
    until grep -q '^held' "$hold"; do
        ((SECONDS <= deadline)) || fail "the driver could not hold the journal: $(cat "$hold")"
        sleep 0.2
    done
    local due
    due=$(date_text "7 days ago")
    must reg-set Date "$due" >/dev/null
    local box
    box=$(drv msgbox 35 Hexalune) || fail "nothing said that the journal could not be saved"
    assert_match "cannot save its journal to.*Journal\.csv" "$box" "the message about the locked journal"
    [[ $(drv reg-get Date) != "$due" ]] || fail "no reading was drawn at the display time"
    local card
    card=$(drv reg-get Card)
    cmp -s "$folder/Journal.csv" "$E2E_SCENARIO_DIR/original.csv" || fail "the locked journal changed"
    must answer ok Hexalune >/dev/null
    must end-session kill >/dev/null
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "the program did not end with the session"
    wait "$holder"
    grep -q '^released' "$hold" || fail "the driver did not let the journal go: $(cat "$hold")"

    start_hexalune_shown
    quit_hexalune
    wait_process_end "$HEXALUNE_PID" 15 >/dev/null || fail "the second start's process did not end"
    assert_eq $'12 kept\n29 two lines,\\nboth kept\n'"$card " "$(csv_read_back "$folder/Journal.csv")" \
        "the journal after the lock went: the earlier rows and notes, then the reading drawn while it was held"
    [[ ! -e $folder/Journal.unsaved.csv ]] || fail "the rows kept beside the journal were left there"
}

# The Journal window has the program's icon, and opens again at the size and place it was
# closed at, for the user alone; a place left on a monitor that is gone comes back on screen.
E2E_SCENARIOS+=(journal_window_remembers_its_place)
scenario_journal_window_remembers_its_place() {
    seed_known_reading
    start_hexalune_shown
    open_journal
    assert_eq ours "$(drv dlg-icon "$JOURNAL_TITLE" "$HEXALUNE_WIN_PATH")" "the program's icon on the Journal window"
    must dlg-frame "$JOURNAL_TITLE" 60 40 900 660 >/dev/null
    press_key_in "$JOURNAL_TITLE" Escape
    drv dlg-gone "$JOURNAL_TITLE" 10 >/dev/null || fail "Esc left the Journal window open"
    open_journal
    assert_eq "60 40 960 700" "$(drv dlg-frame "$JOURNAL_TITLE")" "the Journal window, reopened"
    screenshot journal-wider >/dev/null
    press_key_in "$JOURNAL_TITLE" Escape
    drv dlg-gone "$JOURNAL_TITLE" 10 >/dev/null || fail "Esc left the Journal window open"

    # Last closed on a second monitor, right of this one, that is no longer there.
    must hkcu-set 'Software\Hexalune\Hexalune\Settings\Windows' "$JOURNAL_TITLE" "1300 100 2200 760 96" >/dev/null
    open_journal
    local left top right bottom
    read -r left top right bottom <<<"$(drv dlg-frame "$JOURNAL_TITLE")"
    ((left >= 0 && top >= 0 && right <= 1024 && bottom <= 768 && right - left == 900 && bottom - top == 660)) ||
        fail "the Journal window at $left $top $right $bottom, not whole on the 1024 x 768 screen"
}
