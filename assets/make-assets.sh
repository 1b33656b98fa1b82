#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick. The PNGs are committed; run
# this only to change them.
set -euo pipefail
cd "$(dirname "$0")"

# An envelope on a rounded tile: $1 name, $2 tile colour, $3 envelope colour, $4 size.
envelope() {
  local s=$4 m=$(( $4 / 8 ))
  local l=$(( m + 1 )) t=$(( s * 3 / 10 )) r=$(( s - m - 2 )) b=$(( s * 3 / 4 ))
  convert -size "${s}x${s}" xc:none \
    -fill "$2" -stroke none -draw "roundrectangle 0,0 $((s-1)),$((s-1)) $m,$m" \
    -fill "$3" -stroke "#3a2a10" -strokewidth 1 -draw "rectangle $l,$t $r,$b" \
    -fill none -draw "polyline $l,$t $(( s / 2 - 1 )),$(( (t + b) / 2 + 1 )) $r,$t" \
    -strip "$1-$s.png"
}

for size in 16 32; do
  envelope program "#d98c1f" "#fff8e8" "$size"   # the program's own icon
  envelope flash2 "#d98c1f" "#fff8e8" "$size"    # the same picture, first of the flash pair
  envelope flash1 "#1f5fd9" "#ffe14d" "$size"    # the other flash picture: blue and yellow
done

convert -size 150x52 gradient:"#f4c26b"-"#c46d10" \
  -font DejaVu-Sans-Bold -pointsize 22 -fill "#3a2a10" -gravity center -annotate +0-4 "Tallowmark" \
  -font DejaVu-Sans -pointsize 9 -fill "#fff8e8" -gravity south -annotate +0+3 "your e-mail assistant" \
  -strip banner.png

# The note window's background, as large as the window: a sunken panel around
# the note box (20,20 to 340,240) and a close button at the lower right
# (262,258 to 348,288), where the window lays its click area.
convert -size 360x300 xc:"#d3d3d3" \
  -fill "#c2c6cc" -stroke "#8a8f99" -strokewidth 1 -draw "roundrectangle 10,10 349,249 8,8" \
  -fill none -stroke "#f4f5f7" -draw "roundrectangle 11,11 348,248 7,7" \
  -fill "#ffffff" -stroke "#6d727c" -draw "rectangle 18,18 341,241" \
  -font DejaVu-Sans-Bold -pointsize 13 -fill "#3a2a10" -stroke none -annotate +16+279 "Quick Notes!" \
  -fill "#f4c26b" -stroke "#8a5a10" -strokewidth 1 -draw "roundrectangle 262,258 347,287 6,6" \
  -fill none -stroke "#fff3d6" -draw "roundrectangle 263,259 346,286 5,5" \
  -font DejaVu-Sans-Bold -pointsize 12 -fill "#3a2a10" -stroke none -annotate +284+278 "Close" \
  -strip quicknotes.png

{
  echo '<RCC><qresource prefix="/assets">'
  for f in *.png; do echo "  <file>$f</file>"; done
  echo '</qresource></RCC>'
} > assets.qrc
