#!/usr/bin/env bash
# Creates a Wine prefix at $1 with the settings the program and its tests rely on.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../env.sh"
prefix=$1
mkdir -p "$prefix"
export WINEPREFIX=$prefix
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
  '$WINE64' wineboot -i >/dev/null 2>&1
  '$WINESERVER' -w
  # regedit wants UTF-16LE with a BOM for the Chinese font names
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE '$here/prefix.reg.in'; } > '$prefix/logora.reg'
  '$WINE64' regedit /S '$prefix/logora.reg' >/dev/null 2>&1
  '$WINESERVER' -w
"
# Marlett draws the caption buttons' glyphs (Debian's fonts-wine ships it).
cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
