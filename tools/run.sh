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

if [ -n "${DISPLAY:-}" ]; then
  "$here/demo.sh" "$build" "$shots" interactive
else
  "$here/wine/session.sh" "$build" "$here/demo.sh" "$build" "$shots"
fi
