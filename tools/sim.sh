#!/usr/bin/env bash
# Controls the simulated devices of a build's Wine prefix: sim.sh BUILD_DIR COMMAND [ARGS...]
#   demo-setup   start from no devices and plug in one simulated iPhone
#   any other command is passed to the simulator's control tool
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
build=$(cd "$1" && pwd); shift
export WINEPREFIX="$build/wineprefix"
tool=$(find "$build/simulator" -maxdepth 2 -name 'simdevice*.exe' 2>/dev/null | head -1)
if [ -z "$tool" ]; then
  echo "[sim] no simulated device tool in this build" >&2
  exit 0
fi
case ${1:-} in
  demo-setup) "$WINE64" "$tool" reset >/dev/null 2>&1 || true
              "$WINE64" "$tool" plug --name "演示 iPhone" --class iPhone ;;
  *) "$WINE64" "$tool" "$@" ;;
esac
