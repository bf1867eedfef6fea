#!/usr/bin/env bash
# Registers this build's simulated device libraries in a Wine prefix, exactly where the real libraries are
# registered on Windows, and points the simulator at the build's devices folder:
#   10-simulator.sh BUILD_DIR [LAYOUT [PREFIX]]
# LAYOUT is how the vendor's device support is installed:
#   part     (default) "iTunesMobileDeviceDLL" and "InstallDir" naming the build's simulator folder
#   current  today's installs: "MobileDeviceDLL" naming MobileDevice.dll in
#            <Common Files>\Apple\Mobile Device Support, with CoreFoundation.dll beside it, and no
#            "Apple Application Support" key
#   none     no device support at all
# PREFIX defaults to the build folder's own prefix. Imports only when the settings changed since the last
# run, so a rebuild costs nothing here.
set -euo pipefail
build=$(cd "$1" && pwd)
layout=${2:-part}
prefix=${3:-$build/wineprefix}
[ -d "$prefix" ] || exit 0
mkdir -p "$build/simdevices"

# A 32-bit library is registered where a 32-bit process on 64-bit Windows looks: the 32-bit registry view.
view=
if grep -q '^CMAKE_CXX_COMPILER:.*i686-w64-mingw32' "$build/CMakeCache.txt" 2>/dev/null; then
  view='WOW6432Node\'
fi

winpath() { printf 'Z:%s' "$1" | sed 's#/#\\\\#g'; }  # a .reg string: every back-slash doubled
dlls=$(winpath "$build/simulator")
devices=$(winpath "$build/simdevices")
support="$prefix/drive_c/Program Files/Common Files/Apple/Mobile Device Support"

apple="[-HKEY_LOCAL_MACHINE\\SOFTWARE\\${view}Apple Inc.]
"
case $layout in
  part)
    apple+="
[HKEY_LOCAL_MACHINE\\SOFTWARE\\${view}Apple Inc.\\Apple Mobile Device Support\\Shared]
\"iTunesMobileDeviceDLL\"=\"$dlls\\\\iTunesMobileDevice.dll\"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\${view}Apple Inc.\\Apple Application Support]
\"InstallDir\"=\"$dlls\\\\\"
" ;;
  current)
    apple+="
[HKEY_LOCAL_MACHINE\\SOFTWARE\\${view}Apple Inc.\\Apple Mobile Device Support\\Shared]
\"MobileDeviceDLL\"=\"C:\\\\Program Files\\\\Common Files\\\\Apple\\\\Mobile Device Support\\\\MobileDevice.dll\"
" ;;
  none) ;;
  *) echo "unknown layout: $layout" >&2; exit 2 ;;
esac

reg="Windows Registry Editor Version 5.00

$apple
[HKEY_LOCAL_MACHINE\\Software\\${view}Logora\\DeviceSimulator]
\"DeviceFolder\"=\"$devices\"
"
if [ "$layout" = current ]; then
  mkdir -p "$support"
  cp "$build/simulator/iTunesMobileDevice.dll" "$support/MobileDevice.dll"
  cp "$build/simulator/CoreFoundation.dll" "$support/CoreFoundation.dll"
else
  rm -rf "$support"
fi
stamp="$prefix/logora-simulator.reg"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(printf '%s' "$reg")" ]; then
  exit 0
fi
source "$(dirname "$0")/../../env.sh"
tmp="$prefix/logora-simulator-utf16.reg"
# regedit reads UTF-16LE with a byte-order mark, which keeps non-ASCII folder names intact.
{ printf '\xff\xfe'; printf '%s\n' "$reg" | iconv -f UTF-8 -t UTF-16LE; } > "$tmp"
WINEPREFIX="$prefix" "$WINE64" regedit /S "$(winpath "$tmp" | sed 's#\\\\#\\#g')" >/dev/null 2>&1
WINEPREFIX="$prefix" "$WINESERVER" -w
rm -f "$tmp"
printf '%s' "$reg" > "$stamp"
