#!/usr/bin/env bash
# Draws the editor's image strips with ImageMagick: 32-bit bitmaps (plain BITMAPINFOHEADER,
# rows bottom-up), 16 pixels high, one 16 x 16 image after another. White is the editor's
# transparent colour, so every picture stands on white. The .bmp files are checked in; run this
# again only to change a picture.
set -euo pipefail
out="$(cd "$(dirname "${BASH_SOURCE[0]}")/../resources" && pwd)"

save() { convert "$@" -alpha on -define bmp3:alpha=true "BMP3:$out/$file"; }

# Markers: fold open (minus), fold closed (plus), unused, bookmark (a blue rounded tab).
file=EditorMarkers.bmp save -size 64x16 xc:white \
    -fill white -stroke '#606060' -draw 'rectangle 3,3 12,12' \
    -stroke '#202020' -draw 'line 5,8 10,8' \
    -fill white -stroke '#606060' -draw 'rectangle 19,3 28,12' \
    -stroke '#202020' -draw 'line 21,8 26,8' -draw 'line 24,5 24,10' \
    -fill '#2060D0' -stroke '#103070' -draw 'roundrectangle 50,2 61,13 3,3'

# Completion: property (a green bar), method (a purple diamond), unused.
file=EditorCompletion.bmp save -size 48x16 xc:white \
    -fill '#30A040' -stroke '#206020' -draw 'rectangle 2,5 13,10' \
    -fill '#8040C0' -stroke '#502080' -draw 'polygon 24,2 30,8 24,14 18,8'
