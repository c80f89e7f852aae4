# All 64 hexagrams at hand: the list, the search as one types, and a hexagram's texts.

HEXAGRAMS_TITLE="Hexalune Hexagrams"

# The numbers listed, top row first, once they are $1 (waiting up to 5 s for the typing).
wait_listed() {
    local found= deadline=$((SECONDS + 5))
    until [[ $found == "$1" ]]; do
        ((SECONDS <= deadline)) || fail "\"$2\" lists $(tr '\n' ' ' <<<"$found"), not $(tr '\n' ' ' <<<"$1")"
        sleep 0.2
        found=$(drv dlg-rows "$HEXAGRAMS_TITLE" $IDC_HEXAGRAMS_LIST | cut -d' ' -f1)
    done
}

type_in_hexagrams() {
    local key
    for key in "$@"; do press_key_in "$HEXAGRAMS_TITLE" "$key"; done
}

# The window shows every name and every pair of trigrams whole, and no part of it lies off
# the screen of $1 x $2 pixels.
check_hexagrams_whole() {
    assert_eq fits "$(drv dlg-fits "$HEXAGRAMS_TITLE" $IDC_HEXAGRAMS_LIST)" "every hexagram's row, shown whole"
    local left top right bottom
    read -r left top right bottom <<<"$(drv dlg-frame "$HEXAGRAMS_TITLE")"
    ((left >= 0 && top >= 0 && right <= $1 && bottom <= $2)) ||
        fail "the Hexagrams window ($left $top $right $bottom) does not fit a $1 x $2 screen"
}

# A screenshot, and the Hexagrams window alone cut from it ($1-window.png).
hexagrams_screenshot() {
    local file left top right bottom
    file=$(screenshot "$1") || return 1
    read -r left top right bottom <<<"$(drv dlg-frame "$HEXAGRAMS_TITLE")"
    convert "$file" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "${file%.png}-window.png"
}

E2E_SCENARIOS+=(all_hexagrams)
scenario_all_hexagrams() {
    seed_known_reading
    start_hexalune_shown
    must menu $IDM_ALL_HEXAGRAMS >/dev/null
    assert_eq "open, owner main" "$(drv dlg-wait "$HEXAGRAMS_TITLE" 10)" "the Hexagrams window"
    assert_eq ours "$(drv dlg-icon "$HEXAGRAMS_TITLE" "$HEXALUNE_WIN_PATH")" "the program's icon on the Hexagrams window"
    local rows content=$E2E_DIR/../../reading/content/hexagrams
    rows=$(drv dlg-rows "$HEXAGRAMS_TITLE" $IDC_HEXAGRAMS_LIST)
    assert_eq 64 "$(wc -l <<<"$rows")" "hexagrams listed"
    assert_eq "$(seq 1 64)" "$(cut -d' ' -f1 <<<"$rows")" "the list in King Wen order"
    local n upper lower expected=
    for n in $(seq 1 64); do
        upper=$(sed -n 's/^upper: *//p' "$content/$(printf %02d "$n").txt")
        lower=$(sed -n 's/^lower: *//p' "$content/$(printf %02d "$n").txt")
        expected+="$n $(hexagram_name "$n")"$'\t'"$upper over $lower"$'\n'
    done
    assert_eq "${expected%$'\n'}" "$rows" "every row: the name, then the trigrams, upper over lower"
    assert_eq "Hexagram 46, Pushing Upward" "$(drv dlg-text "$HEXAGRAMS_TITLE" $IDC_HEXAGRAMS_NAME)" \
        "the day's hexagram, chosen"
    check_hexagrams_whole 1024 768
    hexagrams_screenshot all-hexagrams

    # Typing narrows the list to the names and trigrams that hold the text; the first found
    # shows its texts.
    type_in_hexagrams f i r e
    expected=$(grep -il '^\(name\|upper\|lower\):.*fire' "$content"/*.txt | sed 's|.*/0*\([0-9]*\)\.txt|\1|' | sort -n)
    wait_listed "$expected" fire
    local first texts line
    first=$(head -n1 <<<"$expected")
    texts=$(drv dlg-text "$HEXAGRAMS_TITLE" $IDC_HEXAGRAMS_TEXT)
    for line in 1 2 3 4 5 6; do
        grep -qxF "Line $line" <<<"$texts" || fail "no heading \"Line $line\" for hexagram $first"
        grep -qxF "$(sed -n "s/^line$line: //p" "$content/$(printf %02d "$first").txt")" <<<"$texts" ||
            fail "hexagram $first shows another text for line $line"
    done

    # "moun": the 15 hexagrams with Mountain among their trigrams.
    type_in_hexagrams BackSpace BackSpace BackSpace BackSpace m o u n
    wait_listed "$(grep -l '^\(upper\|lower\): *Mountain' "$content"/*.txt | sed 's|.*/0*\([0-9]*\)\.txt|\1|' | sort -n)" moun
    assert_eq 15 "$(drv dlg-rows "$HEXAGRAMS_TITLE" $IDC_HEXAGRAMS_LIST | grep -c Mountain)" "rows with Mountain"
    screenshot mountain >/dev/null

    # Down arrow goes on from the search to the list, and on down it.
    type_in_hexagrams Down
    type_in_hexagrams Down
    assert_eq "Hexagram 15, Modesty" "$(drv dlg-text "$HEXAGRAMS_TITLE" $IDC_HEXAGRAMS_NAME)" "the next row, chosen"

    # Nothing found: the window says so, and shows no texts.
    type_in_hexagrams shift+Tab x y z
    wait_listed "" xyz
    assert_eq "No hexagram matches" "$(drv dlg-text "$HEXAGRAMS_TITLE" $IDC_HEXAGRAMS_NAME)" "what no match shows"
    assert_eq "" "$(drv dlg-text "$HEXAGRAMS_TITLE" $IDC_HEXAGRAMS_TEXT)" "the texts, with no match"
    press_key_in "$HEXAGRAMS_TITLE" Escape
    drv dlg-gone "$HEXAGRAMS_TITLE" 10 >/dev/null || fail "Esc left the Hexagrams window open"
}

# At 150% scale on a 1280 x 1024 screen, the rows still show whole and the window fits.
E2E_SCENARIOS+=(all_hexagrams_at_144_dpi)
scenario_all_hexagrams_at_144_dpi() {
    wine_reg_add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144
    wine_reg_add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /t REG_SZ /d 1280x1024
    restart_session
    seed_known_reading
    start_hexalune_shown
    must menu $IDM_ALL_HEXAGRAMS >/dev/null
    assert_eq "open, owner main" "$(drv dlg-wait "$HEXAGRAMS_TITLE" 10)" "the Hexagrams window"
    check_hexagrams_whole 1280 1024
    hexagrams_screenshot all-hexagrams-144-dpi
}

# The hexagram the changing lines lead to opens among all 64, from the keyboard.
E2E_SCENARIOS+=(leading_hexagram_opens_among_all)
scenario_leading_hexagram_opens_among_all() {
    seed_known_reading
    start_hexalune_shown
    click_changing_lines
    must dlg-wait "Changing Lines" 10 >/dev/null
    press_key_in "Changing Lines" Tab
    press_key_in "Changing Lines" Return
    assert_eq "open, owner other" "$(drv dlg-wait "$HEXAGRAMS_TITLE" 10)" "the Hexagrams window over the Changing Lines"
    assert_eq "Hexagram 14, Possession in Great Measure" "$(drv dlg-text "$HEXAGRAMS_TITLE" $IDC_HEXAGRAMS_NAME)" \
        "the hexagram the lines lead to, chosen"
    press_key_in "$HEXAGRAMS_TITLE" Escape
    drv dlg-gone "$HEXAGRAMS_TITLE" 10 >/dev/null || fail "Esc left the Hexagrams window open"
}
