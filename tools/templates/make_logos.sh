#!/usr/bin/env bash
# Draws the six carrier logos into logos/ (committed; make_templates.py packs them). Run by hand when the
# logos are to change: needs ImageMagick and the WenQuanYi Micro Hei font (fonts-wqy-microhei).
# The output is deterministic: no time chunks, fixed font and sizes, 8-bit RGBA.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
out=$here/logos
mkdir -p "$out"

# draw <file> <width> <text> <point size> <variant>
draw() {
  local file=$1 width=$2 text=$3 size=$4 variant=$5
  local args=(-size "${width}x40" xc:none -font "$font" -pointsize "$size" -gravity center)
  case $variant in
    Default) args+=(-fill '#000000' -annotate +0+0 "$text") ;;                 # dark text, light status bar
    FSO) args+=(-fill '#FFFFFF' -annotate +0+0 "$text") ;;                     # light text, opaque dark bar
    TS) args+=(-fill '#00000080' -annotate +0+1 "$text" -fill '#FFFFFF' -annotate +0+0 "$text") ;;  # shadowed
  esac
  convert "${args[@]}" -strip -define png:exclude-chunks=date,time -define png:color-type=6 \
    -define png:bit-depth=8 "PNG32:$out/$file"
}

for v in Default FSO TS; do
  draw "${v}_CARRIER_China-Unicom_1only_@2x.png" 80 "中国联通" 18 "$v"
  draw "${v}_CARRIER_China-Mobile_1only_@2x.png" 135 "中国移动" 26 "$v"
done
