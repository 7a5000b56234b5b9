#!/bin/bash
# Draws the kit's two icons, each from one drawing at 16, 32 and 48 pixels,
# and packs them with icotool: sweepkit.ico (a blue disc with a broom's
# sweep) and sweepkit_uninstall.ico (the same disc, greyed, with a red cross).
# Usage: make-icons.sh OUT_DIR
set -euo pipefail
out=$1
convert=/usr/bin/convert   # ImageMagick from Debian's package
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# draw NAME DISC_COLOUR [MARK_OPTION...]: one 256-pixel drawing, scaled to each size.
draw() {
  local name=$1 disc=$2
  shift 2
  "$convert" -size 256x256 xc:none -fill "$disc" -stroke '#1b2a49' -strokewidth 10 \
    -draw 'circle 128,128 128,10' \
    -stroke white -strokewidth 18 -fill none \
    -draw 'line 70,190 186,74' -draw 'line 70,190 60,140' -draw 'line 70,190 120,200' \
    "$@" "$work/$name-256.png"
  local pngs=()
  for size in 16 32 48; do
    "$convert" "$work/$name-256.png" -resize ${size}x${size} -strip "PNG32:$work/$name-$size.png"
    pngs+=("$work/$name-$size.png")
  done
  icotool -c -o "$out/$name.ico" "${pngs[@]}"
}

draw sweepkit '#2f6fdf'
draw sweepkit_uninstall '#8a8f99' -stroke '#d22' -strokewidth 26 -draw 'line 150,150 230,230' -draw 'line 230,150 150,230'
