# Asking a question: a reading cast now, from the reader's own cast or by coins line by line,
# with which texts to read, written into the journal as its sixth line is cast.

QUESTION_TITLE="Hexalune Question"
QUESTION_CAST_ALL=1  # IDOK: Cast All, the default button
QUESTION_CLOSE=2     # IDCANCEL

question_journal() {
    ls "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Hexalune/Hexalune/Journal.csv 2>/dev/null | head -n1
}

# The journal's rows as Python's csv module reads them, by column name: Hexagram, Question
# (line breaks as \n) and Line values, tab-separated, one row a line.
question_rows() {
    python3 - "$1" <<'PY'
import csv, sys
with open(sys.argv[1], newline="", encoding="utf-8-sig") as f:
    rows = list(csv.DictReader(f))
for row in rows:
    print("\t".join([row["Hexagram"], (row.get("Question") or "").replace("\r\n", "\\n"), row.get("Line values") or ""]))
PY
}

open_question_window() {
    must menu $IDM_ASK_QUESTION >/dev/null
    assert_eq "open, owner main" "$(drv dlg-wait "$QUESTION_TITLE" 10)" "the Question window"
}

# Empties a text box of the window, then types into it.
retype() {
    must dlg-type "$QUESTION_TITLE" "$1" "$(printf '\b%.0s' {1..40})" >/dev/null
    must dlg-type "$QUESTION_TITLE" "$1" "$2" >/dev/null
}

# Waits until the window names a hexagram; prints the name.
wait_question_name() {
    local name deadline=$((SECONDS + 10))
    until name=$(drv dlg-text "$QUESTION_TITLE" $IDC_QUESTION_NAME) && [[ -n $name ]]; do
        ((SECONDS <= deadline)) || fail "no hexagram shown after the cast"
        sleep 0.2
    done
    echo "$name"
}

# A crop of the screenshot to the window, from its first control to its last, with its frame.
question_shot() {
    local shot l t r b l2 t2 r2 b2 scale=$2
    shot=$(screenshot "$1-screen") || fail "no screenshot"
    read -r l t r b <<<"$(must dlg-rect "$QUESTION_TITLE" $IDC_QUESTION_LABEL)"
    read -r l2 t2 r2 b2 <<<"$(must dlg-rect "$QUESTION_TITLE" $QUESTION_CLOSE)"
    local x=$((l - 16 * scale / 2)) y=$((t - 40 * scale / 2))
    convert "$shot" -crop "$((r2 + 16 * scale / 2 - x))x$((b2 + 16 * scale / 2 - y))+$x+$y" +repage \
        "$E2E_SCENARIO_DIR/$1.png" || fail "the screenshot could not be cropped"
}

# The reader's own cast of 7 8 9 7 6 8: a bad cast refused first, then 55 leading to 17, the
# texts of lines 3 and 5 only, line 5 governing, and one row more in the journal.
E2E_SCENARIOS+=(question_own_cast)
scenario_question_own_cast() {
    start_hexalune_shown
    local file
    file=$(question_journal)
    [[ -n $file ]] || fail "no journal file after the first start"
    cp "$file" "$E2E_SCENARIO_DIR/before.csv"
    open_question_window
    must dlg-click "$QUESTION_TITLE" $IDC_QUESTION_OWN >/dev/null
    local question='Move to the coast, "soon", or wait?'
    must dlg-type "$QUESTION_TITLE" $IDC_QUESTION_BOX "$question" >/dev/null

    # Five values, then a 5: each refused with a message, and nothing written.
    local bad box
    for bad in "7 8 9 7 6" "7 8 9 7 5 8"; do
        retype $IDC_QUESTION_LINES "$bad"
        must dlg-click "$QUESTION_TITLE" $QUESTION_CAST_ALL >/dev/null
        box=$(drv msgbox 10 Hexalune) || fail "\"$bad\" was not refused"
        assert_match "six lines.*6, 7, 8 or 9" "$box" "the message for \"$bad\""
        must answer ok Hexalune >/dev/null
        assert_eq "" "$(drv dlg-text "$QUESTION_TITLE" $IDC_QUESTION_NAME)" "a hexagram after \"$bad\""
        cmp -s "$file" "$E2E_SCENARIO_DIR/before.csv" || fail "the journal changed after \"$bad\""
    done

    retype $IDC_QUESTION_LINES "7 8 9 7 6 8"
    must dlg-click "$QUESTION_TITLE" $QUESTION_CAST_ALL >/dev/null
    assert_eq "Hexagram 55, Abundance (Fullness)" "$(wait_question_name)" "the hexagram cast"
    assert_eq "Hexagram 17, Following" "$(drv dlg-text "$QUESTION_TITLE" $IDC_QUESTION_LEADING_NAME)" "leading to"
    assert_eq "Hexagram 55, Abundance (Fullness), lines 3 and 5 changing" \
        "$(drv dlg-text "$QUESTION_TITLE" $IDC_QUESTION_FIGURE)" "the figure's accessible name"
    assert_eq "Line 5 of 55 Abundance (Fullness) governs." "$(drv dlg-text "$QUESTION_TITLE" $IDC_QUESTION_GOVERNS)" \
        "what governs"
    local texts content=$E2E_DIR/../../reading/content/hexagrams/55.txt line
    texts=$(drv dlg-text "$QUESTION_TITLE" $IDC_QUESTION_TEXT)
    for line in 1 2 3 4 5 6; do
        if grep -qxF "$(sed -n "s/^line$line: //p" "$content")" <<<"$texts"; then
            [[ $line == 3 || $line == 5 ]] || fail "the text of line $line of 55 is shown"
        else
            [[ $line != 3 && $line != 5 ]] || fail "the text of line $line of 55 is not shown"
        fi
    done
    assert_eq "Own cast" "$(drv hkcu-get 'Software\Hexalune\Hexalune\Settings\Question' Method)" "the method remembered"
    question_shot question-96dpi 2

    # One row more, with the question in one field and the six values. (The journal's
    # columns for them come with the journal's own change.)
    local rows
    rows=$(question_rows "$file")
    assert_eq $(($(question_rows "$E2E_SCENARIO_DIR/before.csv" | wc -l) + 1)) "$(wc -l <<<"$rows")" "journal rows"
    assert_eq "55"$'\t'"$question"$'\t'"789768" "$(tail -n1 <<<"$rows")" "the journal's new row"
    press_key_in "$QUESTION_TITLE" Escape
    drv dlg-gone "$QUESTION_TITLE" 10 >/dev/null || fail "Esc left the Question window open"
}

# Three coins, line by line: six presses of Cast Line give a named hexagram and one row more.
E2E_SCENARIOS+=(question_coins_line_by_line)
scenario_question_coins_line_by_line() {
    start_hexalune_shown
    local file before
    file=$(question_journal)
    before=$(wc -l <"$file")
    open_question_window
    must dlg-click "$QUESTION_TITLE" $IDC_QUESTION_COINS >/dev/null
    local n cast
    for n in 1 2 3 4 5; do
        must dlg-click "$QUESTION_TITLE" $IDC_QUESTION_CAST_LINE >/dev/null
        local deadline=$((SECONDS + 10))
        until cast=$(drv dlg-text "$QUESTION_TITLE" $IDC_QUESTION_GOVERNS) &&
            [[ $cast =~ ^"Lines cast, bottom first:"( [6-9]){$n}$ ]]; do
            ((SECONDS <= deadline)) || fail "line $n was not shown as cast: \"$cast\""
            sleep 0.2
        done
        assert_eq "" "$(drv dlg-text "$QUESTION_TITLE" $IDC_QUESTION_NAME)" "a hexagram after $n lines"
    done
    assert_eq "$before" "$(wc -l <"$file")" "journal lines before the sixth line"
    must dlg-click "$QUESTION_TITLE" $IDC_QUESTION_CAST_LINE >/dev/null
    assert_match '^Hexagram [0-9]+, .+' "$(wait_question_name)" "the hexagram of six coin lines"
    assert_eq $((before + 1)) "$(wc -l <"$file")" "journal lines after the sixth line"
}

# The window after a cast at 150% scale, for the README.
E2E_SCENARIOS+=(question_at_144_dpi)
scenario_question_at_144_dpi() {
    wine_reg_add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144
    wine_reg_add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /t REG_SZ /d 1280x1024
    restart_session
    start_hexalune_shown
    open_question_window
    must dlg-click "$QUESTION_TITLE" $IDC_QUESTION_OWN >/dev/null
    must dlg-type "$QUESTION_TITLE" $IDC_QUESTION_BOX "Move to the coast?" >/dev/null
    must dlg-type "$QUESTION_TITLE" $IDC_QUESTION_LINES "789768" >/dev/null
    # Enter in the question box, which has the focus as the window opens, casts all.
    press_key_in "$QUESTION_TITLE" Return
    assert_eq "Hexagram 55, Abundance (Fullness)" "$(wait_question_name)" "the hexagram cast at 144 DPI"
    question_shot question-144dpi 3
}
