#!/usr/bin/env bash
# The demonstration behind the run command, inside a display with the build's Wine prefix:
#   demo.sh BUILD_DIR SCREENSHOT_DIR [interactive]
# Plugs in one simulated iPhone and starts the program. Interactive: waits until the user closes it.
# Otherwise: takes screenshots, prints their paths and closes the program.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
build=$(cd "$1" && pwd) shots=$2 mode=${3:-}
export WINEPREFIX="$build/wineprefix"
exe="$build/app/iOSLogora.exe"
drive="$build/tools/driver/logora-drive.exe"

"$here/sim.sh" "$build" demo-setup >/dev/null
"$WINE64" "$exe" &
program=$!
if ! "$WINE64" "$drive" wait 60; then
  echo "the window did not appear" >&2
  kill "$program" 2>/dev/null
  exit 1
fi
if [ "$mode" = interactive ]; then
  wait "$program"
  exit 0
fi

sleep 3  # the simulated iPhone connects about two seconds after it is plugged in
import -window root "$shots/main-window.png"
echo "screenshot: $shots/main-window.png"
echo "device button: $("$WINE64" "$drive" text 1018)"
"$WINE64" "$drive" close
wait "$program"
