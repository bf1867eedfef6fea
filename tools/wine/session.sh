#!/usr/bin/env bash
# Runs a command inside an Xvfb display with a persistent, warmed Wine server for the build folder's prefix:
#   session.sh BUILD_DIR command...
# Wine's background processes must see the display, so the server starts inside the Xvfb session.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../env.sh"
build=$(cd "$1" && pwd); shift
export WINEPREFIX="$build/wineprefix"
inner() {
  "$WINESERVER" -p
  "$WINE64" wineboot >/dev/null 2>&1
  "$@"
  local rc=$?
  "$WINESERVER" -k 2>/dev/null
  "$WINESERVER" -w 2>/dev/null
  return $rc
}
if [ -n "${LOGORA_IN_SESSION:-}" ]; then
  inner "$@"; exit $?
fi
export LOGORA_IN_SESSION=1
exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$here/session.sh" "$build" "$@"
