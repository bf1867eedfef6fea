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

# One write for each carrier: choose it, press 写入, photograph the result box, dismiss it.
write_carrier() {  # radio-id short-name
  "$WINE64" "$drive" click "$1"
  sleep 1
  "$WINE64" "$drive" click 1005
  local box
  if box=$("$WINE64" "$drive" wait-box 60); then
    import -window root "$shots/write-$2.png"
    echo "write $2: $box"
    echo "screenshot: $shots/write-$2.png"
    "$WINE64" "$drive" dismiss
    sleep 1
  else
    echo "write $2: no result box appeared" >&2
  fi
}
write_carrier 1008 unicom
write_carrier 1009 cmcc

echo "installed on the simulated iPhone:"
(cd "$build/simdevices/iphone/installed" 2>/dev/null && find . -type f | sed 's|^\./|  |' | sort)

"$WINE64" "$drive" close
wait "$program"
