#!/usr/bin/env bash
# Draws the program icon with ImageMagick and writes app/win32/Hexalune.ico (or the file given).
#   tools/make-icon.sh [OUTPUT.ico]
#
# A rounded square in a deep indigo that turns to plum towards the bottom, with a white
# hexagram on it: 63, After Completion, whose lines are broken and firm in turn from the top,
# with a little more room between the two trigrams. Each size is drawn on its own, in whole
# pixels, so that the bars land on pixel rows and stay sharp; only the ground's rounded
# corners are smoothed. One ImageMagick makes the same bytes on every run.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$here/app/win32/Hexalune.ico}

top_colour='#33227a'
bottom_colour='#6e246c'

# Per size, in pixels: border around the ground, its corner radius, the thickness of a bar,
# the space between two bars of one trigram, the space between the trigrams, the length of a
# bar, the gap in a broken bar, and the bars' corner radius. Thin bars on one-pixel rows at the
# small sizes, broader ones above.
layouts=(
    # size inset radius bar gap middle length break bar-radius
    "16 0 3 1 1 2 10 2 0"
    "20 0 4 1 2 2 12 2 0"
    "24 1 4 2 1 2 14 2 0"
    "32 1 6 2 2 4 20 4 0"
    "48 2 9 3 3 4 30 6 0"
    "256 8 48 18 12 18 160 28 3"
)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The -draw primitives of the six bars, top line first; rectangles name their last pixel.
bars() {
    local size=$1 bar=$2 gap=$3 middle=$4 length=$5 break=$6 radius=$7 line
    local height=$((6 * bar + 4 * gap + middle))
    local left=$(((size - length) / 2)) half=$(((length - break) / 2))
    local right=$((left + length)) y=$(((size - height) / 2))
    for line in 0 1 2 3 4 5; do
        if ((line % 2 == 0)); then
            bar_shape $left $y $((left + half)) $((y + bar)) "$radius"
            bar_shape $((right - half)) $y $right $((y + bar)) "$radius"
        else
            bar_shape $left $y $right $((y + bar)) "$radius"
        fi
        y=$((y + bar + (line == 2 ? middle : gap)))
    done
}

bar_shape() {  # left top right bottom radius, right and bottom exclusive
    if (($5 == 0)); then
        printf 'rectangle %d,%d %d,%d ' "$1" "$2" $(($3 - 1)) $(($4 - 1))
    else
        printf 'roundrectangle %d,%d %d,%d %d,%d ' "$1" "$2" $(($3 - 1)) $(($4 - 1)) "$5" "$5"
    fi
}

images=()
for layout in "${layouts[@]}"; do
    read -r size inset radius bar gap middle length break bar_radius <<<"$layout"
    ground=$((size - 2 * inset))
    image=$work/$size.png
    convert -size "${ground}x${ground}" "gradient:$top_colour-$bottom_colour" \
        \( -size "${ground}x${ground}" xc:black -fill white \
        -draw "roundrectangle 0,0 $((ground - 1)),$((ground - 1)) $radius,$radius" \) \
        -alpha off -compose CopyOpacity -composite -compose Over \
        -background none -gravity center -extent "${size}x${size}" \
        -fill white -draw "$(bars "$size" "$bar" "$gap" "$middle" "$length" "$break" "$bar_radius")" \
        "PNG32:$image"
    images+=("$image")
done
# The .ico keeps each image as drawn: 32-bit with alpha, the 256 px one as a PNG.
convert "${images[@]}" "$out"
echo "wrote $out"
