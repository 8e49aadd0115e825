#!/bin/sh
# Renders every icon in app/ui/icons at 16, 24 and 32 px on a light (#F0F0F0)
# and a dark (#2B2B2B) ribbon into one PNG contact sheet, and the application
# icon (quotra.svg) also at 48 and 128 px. Every SVG is checked with xmllint first.
#
#   tools/icons-preview/preview.sh [OUT.png]
#
# OUT.png defaults to $TMPDIR/quotra-icons-preview.png. ZOOM=N (a whole number)
# enlarges the finished sheet N times with square pixels, to look at single
# pixels. Needs rsvg-convert (librsvg2-bin), convert/montage (imagemagick) and
# xmllint (libxml2-utils).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
icons=${ICON_DIR:-$here/../../app/ui/icons}
out=${1:-${TMPDIR:-/tmp}/quotra-icons-preview.png}
zoom=${ZOOM:-1}
light='#F0F0F0'
dark='#2B2B2B'

missing=
for tool in rsvg-convert convert montage identify xmllint; do
    command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
if [ -n "$missing" ]; then
    echo "preview.sh: missing:$missing" >&2
    echo "  apt-get install librsvg2-bin imagemagick libxml2-utils fonts-dejavu-core" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

set -- "$icons"/*.svg
[ -e "$1" ] || { echo "preview.sh: no SVG files in $icons" >&2; exit 1; }

bad=0
for svg in "$@"; do
    xmllint --noout "$svg" || bad=1
done
[ "$bad" -eq 0 ] || { echo "preview.sh: xmllint found errors" >&2; exit 1; }

# One strip: the icon at each size, on one background colour.
# strip SVG BG OUT SIZE...
strip() {
    s_svg=$1 s_bg=$2 s_dest=$3
    shift 3
    parts=
    for size in "$@"; do
        png="$work/r-$size.png"
        rsvg-convert -w "$size" -h "$size" -o "$png" "$s_svg"
        parts="$parts $png"
    done
    tallest=0
    for size in "$@"; do [ "$size" -gt "$tallest" ] && tallest=$size; done
    tiles=
    i=0
    for png in $parts; do
        i=$((i + 1))
        w=$(identify -format '%w' "$png")
        convert -size "$((w + 8))x$((tallest + 12))" "xc:$s_bg" "$png" \
            -gravity center -composite "$work/t-$i.png"
        tiles="$tiles $work/t-$i.png"
    done
    # shellcheck disable=SC2086
    convert $tiles +append -background "$s_bg" -gravity east -splice 8x0 "$s_dest"
}

cards=
for svg in "$@"; do
    name=$(basename "$svg" .svg)
    strip "$svg" "$light" "$work/$name-light.png" 16 24 32
    strip "$svg" "$dark" "$work/$name-dark.png" 16 24 32
    convert "$work/$name-light.png" "$work/$name-dark.png" +append \
        -background white -fill '#34495E' -font DejaVu-Sans -pointsize 11 \
        label:"$name" -gravity center -append "$work/card-$name.png"
    cards="$cards $work/card-$name.png"
done

# The application icon also at the sizes a desktop shows it.
app="$icons/quotra.svg"
if [ -e "$app" ]; then
    strip "$app" "$light" "$work/app-light.png" 16 32 48 128
    strip "$app" "$dark" "$work/app-dark.png" 16 32 48 128
    convert "$work/app-light.png" "$work/app-dark.png" +append \
        -background white -fill '#34495E' -font DejaVu-Sans -pointsize 11 \
        label:"quotra (application icon: 16, 32, 48, 128 px)" -gravity center \
        -append "$work/app.png"
fi

# shellcheck disable=SC2086
montage $cards -background white -tile 4x -geometry +6+6 "$work/grid.png"
if [ -e "$work/app.png" ]; then
    convert "$work/grid.png" "$work/app.png" -background white -gravity center \
        -append "$work/sheet.png"
else
    cp "$work/grid.png" "$work/sheet.png"
fi
if [ "$zoom" -gt 1 ]; then
    convert "$work/sheet.png" -filter point -resize "$((zoom * 100))%" -depth 8 "$out"
else
    convert "$work/sheet.png" -depth 8 "$out"
fi
echo "$out ($(identify -format '%wx%h' "$out"), $# icons)"
