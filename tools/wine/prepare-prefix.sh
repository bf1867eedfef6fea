#!/usr/bin/env bash
# Gives a build folder its own Wine prefix (a copy of the bootstrap's template) and runs the
# prefix.d/ steps that register this build's pieces in it: prepare-prefix.sh BUILD_DIR TEMPLATE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1 template=$2
# A new template (other Wine, other settings) replaces the copy.
if [ ! -f "$build/wineprefix/.complete" ] || [ "$(cat "$build/wineprefix/.template" 2>/dev/null)" != "$template" ]; then
  rm -rf "$build/wineprefix"
  cp -a "$template" "$build/wineprefix"
  echo "$template" > "$build/wineprefix/.template"
fi
for step in "$here"/prefix.d/*.sh; do
  [ -e "$step" ] && bash "$step" "$build"
done
exit 0
