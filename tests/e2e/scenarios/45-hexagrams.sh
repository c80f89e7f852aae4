# All 64 hexagrams at hand: the list, the search as one types, and a hexagram's texts.

HEXAGRAMS_TITLE="Hexalune Hexagrams"

E2E_SCENARIOS+=(all_hexagrams)
scenario_all_hexagrams() {
    seed_known_reading
    start_hexalune_shown
    must menu $IDM_ALL_HEXAGRAMS >/dev/null
    assert_eq "open, owner main" "$(drv dlg-wait "$HEXAGRAMS_TITLE" 10)" "the Hexagrams window"
    local items
    items=$(drv dlg-list "$HEXAGRAMS_TITLE" $IDC_HEXAGRAMS_LIST)
    assert_eq 64 "$(wc -l <<<"$items")" "hexagrams listed"
    assert_eq "$(seq 1 64)" "$(cut -d' ' -f1 <<<"$items")" "the list in King Wen order"
    assert_eq "Hexagram 46, Pushing Upward" "$(drv dlg-text "$HEXAGRAMS_TITLE" $IDC_HEXAGRAMS_NAME)" \
        "the day's hexagram, chosen"

    # Typing narrows the list to the names that hold the text; the one found shows its texts.
    local key
    for key in f i r e; do press_key_in "$HEXAGRAMS_TITLE" "$key"; done
    local content=$E2E_DIR/../../reading/content/hexagrams expected
    expected=$(grep -il '^name:.*fire' "$content"/*.txt | sed 's|.*/0*\([0-9]*\)\.txt|\1|' | sort -n)
    local found= deadline=$((SECONDS + 5))
    until [[ $found == "$expected" ]]; do
        ((SECONDS <= deadline)) || fail "\"fire\" lists $(tr '\n' ' ' <<<"$found"), not $(tr '\n' ' ' <<<"$expected")"
        sleep 0.2
        found=$(drv dlg-list "$HEXAGRAMS_TITLE" $IDC_HEXAGRAMS_LIST | cut -d' ' -f1)
    done
    local first texts line
    first=$(head -n1 <<<"$expected")
    texts=$(drv dlg-text "$HEXAGRAMS_TITLE" $IDC_HEXAGRAMS_TEXT)
    for line in 1 2 3 4 5 6; do
        grep -qxF "Line $line" <<<"$texts" || fail "no heading \"Line $line\" for hexagram $first"
        grep -qxF "$(sed -n "s/^line$line: //p" "$content/$(printf %02d "$first").txt")" <<<"$texts" ||
            fail "hexagram $first shows another text for line $line"
    done
    screenshot all-hexagrams >/dev/null
    press_key_in "$HEXAGRAMS_TITLE" Escape
    drv dlg-gone "$HEXAGRAMS_TITLE" 10 >/dev/null || fail "Esc left the Hexagrams window open"
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
