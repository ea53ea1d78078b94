#!/usr/bin/env bash
# Draws the page images the fixture web server serves to the download tests
# (tests/data/web/engine/images) and the pages of its OPS imitation (tests/data/web/ops/pages),
# with ImageMagick's convert. The files are committed; run this only to change them.
#   p1.tif p2.tif p3.tif  one-page CCITT G4 TIFFs at 200 dpi, 612 x 792, 576 x 792 and
#                         648 x 792 points (told apart by size), their top-left quadrant
#                         black, the rest white but for the words "Page N"
#   sheet.tif             a letter page at 300 dpi full of lines of text, G4 (about 140 KB,
#                         the size of a real patent page)
#   tiny.tif              a sound G4 TIFF of 120 x 120 pixels: too small to be a patent page
#   damaged.tif           the first 600 bytes of p2.tif: a transfer cut off (no directory)
#   notice.html           the HTML page a source sends instead of an image
#   ops/pages/page1.tif page2.tif page3.tif   the pages of every OPS document in turn:
#                         one-page G4 TIFFs at 200 dpi, 594 x 846, 612 x 846 and 630 x 846
#                         points, the top-left quadrant black, the rest white but for the
#                         words "OPS page N"
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=$(dirname "$here")/tests/data/web/engine/images
ops=$(dirname "$here")/tests/data/web/ops/pages
mkdir -p "$out" "$ops"

# g4 ARGS... OUTPUT: convert ARGS into a one-strip G4 TIFF.
g4() {
  convert "${@:1:$#-1}" -units PixelsPerInch -type bilevel -define tiff:rows-per-strip=100000 \
          -compress Group4 "${@: -1}"
}

page() {  # output width height words
  local half_w=$(($2 / 2 - 1)) half_h=$(($3 / 2 - 1))
  g4 -size "${2}x$3" xc:white -fill black -draw "rectangle 0,0 $half_w,$half_h" \
     -font DejaVu-Sans -pointsize 80 -draw "text $(($2 / 2 + 150)),300 '$4'" \
     -density 200 "$1"
}
page "$out/p1.tif" 1700 2200 "Page 1"
page "$out/p2.tif" 1600 2200 "Page 2"
page "$out/p3.tif" 1800 2200 "Page 3"
page "$ops/page1.tif" 1650 2350 "OPS page 1"
page "$ops/page2.tif" 1700 2350 "OPS page 2"
page "$ops/page3.tif" 1750 2350 "OPS page 3"

words="the a of apparatus method claim wherein said device layer signal circuit member first
second portion surface connected configured according embodiment figure substrate housing
electrode controller receive transmit"
args=()
y=200
for i in $(seq 1 60); do
  line=$(for w in $(seq 1 14); do echo $words; done | tr ' ' '\n' | grep . | awk -v s=$i 'BEGIN { srand(s) } { a[NR] = $0 } END { for (k = 0; k < 14; k++) printf "%s ", a[int(rand() * NR) + 1] }')
  args+=(-annotate "+150+$y" "$line")
  y=$((y + 48))
done
g4 -size 2550x3300 xc:white -font DejaVu-Serif -pointsize 36 -fill black "${args[@]}" -density 300 "$out/sheet.tif"

g4 -size 120x120 xc:white -fill black -draw "rectangle 0,0 59,59" -density 200 "$out/tiny.tif"
head -c 600 "$out/p2.tif" >"$out/damaged.tif"
printf '<HTML><HEAD><TITLE>Page not available</TITLE></HEAD><BODY>This page is not available as an image.</BODY></HTML>\n' >"$out/notice.html"
