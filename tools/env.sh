# Common environment of the project's scripts; sourced, never run.
LOGORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
LOGORA_CACHE=${LOGORA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/logora}
mkdir -p "$LOGORA_CACHE"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
