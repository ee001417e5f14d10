#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick's vector primitives (the same
# shapes as morvane.svg). Run by hand after changing a picture; the PNGs are
# committed so building needs no ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
icon() { # size
  local s=$1
  convert -size 256x256 xc:none \
    -fill '#808000' -draw 'roundrectangle 16,16 240,240 36,36' \
    -fill '#ffffc0' -draw 'roundrectangle 40,36 216,220 12,12' \
    -fill '#c0c000' -draw 'rectangle 40,124 216,132' \
    -fill none -stroke '#404000' -strokewidth 10 -draw 'rectangle 76,64 180,104' -draw 'line 128,52 128,116' \
    -stroke '#c00000' -draw 'polyline 64,160 84,180 64,200' -draw 'polyline 192,160 172,180 192,200' \
    -stroke '#404000' -strokewidth 9 -draw 'line 104,196 120,160' -draw 'line 136,196 152,160' \
    -resize "${s}x${s}" "$2"
}
icon 256 icon-256.png
icon 48 icon-48.png
icon 32 png:- | convert - -colors 16 PNG8:icon-32.png
# The size grip at the status bar's right end.
convert -size 22x20 xc:none -strokewidth 2 \
  -stroke white -draw 'line 20,6 8,18' -draw 'line 20,11 13,18' -draw 'line 20,16 18,18' \
  -stroke '#808080' -draw 'line 21,7 9,19' -draw 'line 21,12 14,19' -draw 'line 21,17 19,19' corner.png
# The About window's banner.
convert -size 120x65 xc:'#808000' \
  -fill '#ffffc0' -draw 'roundrectangle 6,6 46,59 4,4' -fill '#c0c000' -draw 'rectangle 6,31 46,34' \
  -fill none -stroke '#404000' -strokewidth 3 -draw 'rectangle 14,12 38,24' -draw 'line 26,9 26,27' \
  -stroke '#c00000' -strokewidth 2.5 -draw 'polyline 12,40 17,45 12,50' -draw 'polyline 40,40 35,45 40,50' \
  -draw 'line 22,52 26,40' -draw 'line 29,52 33,40' \
  -stroke '#ffffc0' -strokewidth 5 -draw 'line 54,22 110,22' -draw 'line 54,32 98,32' -draw 'line 54,42 106,42' \
  -fill '#ffffc0' -stroke none -draw 'polygon 100,28 108,32 100,36' about.png
