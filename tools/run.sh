#!/usr/bin/env bash
# The run command: bootstrap, build the Windows program and start it under Wine with one simulated iPhone
# plugged in.
#   With a display ($DISPLAY set), the window appears on it; close it to end.
#   Without one, it runs under Xvfb, saves screenshots to build/screenshots/, prints their paths and exits.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
build="$LOGORA_ROOT/build/windows"
shots="$LOGORA_ROOT/build/screenshots"

"$here/build.sh" windows >/dev/null
mkdir -p "$shots"

demo() {
  local wine="$WINE64" exe="$build/app/iOSLogora.exe" drive="$build/tools/driver/logora-drive.exe"
  "$here/sim.sh" "$build" demo-setup
  "$wine" "$exe" &
  local program=$!
  "$wine" "$drive" wait 60 || { echo "the window did not appear" >&2; return 1; }
  if [ -n "${LOGORA_INTERACTIVE:-}" ]; then
    wait "$program"
    return 0
  fi
  sleep 2
  import -window root "$shots/main-window.png"
  echo "screenshot: $shots/main-window.png"
  "$wine" "$drive" close
  wait "$program"
}
export -f demo
export here build shots

if [ -n "${DISPLAY:-}" ]; then
  export WINEPREFIX="$build/wineprefix" LOGORA_INTERACTIVE=1
  demo
else
  "$here/wine/session.sh" "$build" bash -c demo
fi
