#!/usr/bin/env bash
# Draws the program's command-button icons with ImageMagick. The .ico files are checked in, so
# the build does not need ImageMagick; run this again only to change a picture.
set -euo pipefail
out="$(cd "$(dirname "${BASH_SOURCE[0]}")/../resources" && pwd)"
sizes=16,32,48,64

# A filled disc with a white mark on it, drawn at 256 pixels and resampled to every size.
icon() {
    local file=$1 colour=$2 mark=$3
    convert -size 256x256 xc:none \
        -fill "$colour" -stroke '#202020' -strokewidth 8 -draw 'circle 128,128 128,10' \
        -fill none -stroke white -strokewidth 34 -draw "$mark" \
        -define icon:auto-resize="$sizes" "$out/$file"
}

icon ButtonOk.ico '#1E9A3C' 'stroke-linecap round stroke-linejoin round polyline 70,132 110,174 188,86'
icon ButtonCancel.ico '#C8322D' 'stroke-linecap round line 84,84 172,172 line 172,84 84,172'
icon ButtonBuild.ico '#2F6FC0' 'stroke-linecap round stroke-linejoin round polyline 80,150 80,176 176,176 176,150 line 128,70 128,150 polyline 96,118 128,150 160,118'
icon ButtonTest.ico '#1E9A3C' 'stroke-linejoin round polygon 100,78 100,178 180,128'
icon ButtonView.ico '#6A4FB0' 'circle 114,114 114,70 stroke-linecap round line 146,146 184,184'
icon ButtonNew.ico '#2F8F8F' 'stroke-linecap round line 128,74 128,182 line 74,128 182,128'
icon ButtonDelete.ico '#C8322D' 'stroke-linecap round line 78,128 178,128'
icon ButtonStop.ico '#C8322D' 'stroke-linejoin round rectangle 88,88 168,168'
icon ButtonFind.ico '#D9861A' 'circle 112,112 112,68 stroke-linecap round line 144,144 186,186'
icon Vellbrook.ico '#2F6FC0' 'stroke-linecap round stroke-linejoin round polyline 78,82 128,178 178,82'
