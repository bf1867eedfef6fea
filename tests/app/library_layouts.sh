#!/usr/bin/env bash
# The program in a Wine prefix of its own for each way the vendor's device support can be installed (the
# older layout, today's layout, nothing at all), and once more with a library of the device library's name
# planted beside the program:  library_layouts.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
source "$source_dir/tools/env.sh"
prefix="$build/wineprefix-layouts"
probe="$build/tests/app/app_library_layout_probe.exe"
failed=0

# A copy of the build's own prefix, made once; every layout is then written over it.
if [ ! -f "$prefix/.complete" ]; then
  rm -rf "$prefix"
  cp -a "$build/wineprefix" "$prefix" || exit 1
fi
export WINEPREFIX="$prefix"

run() {  # layout, program -> the probe's report
  bash "$source_dir/tools/wine/prefix.d/10-simulator.sh" "$build" "$1" "$prefix" || return 1
  "$WINE64" "$2" 2>/dev/null | tr -d '\r'
}
expect() {  # what, report, expected line...
  local what=$1 report=$2; shift 2
  for line in "$@"; do
    if ! grep -qxF -- "$line" <<<"$report"; then
      echo "FAIL $what: expected '$line' in:"; echo "$report" | sed 's/^/    /'; failed=1; return
    fi
  done
  echo "ok   $what"
}
library_is() {  # what, report, file name the library must have
  if ! grep -q "^library=.*\\\\$3\$" <<<"$2"; then echo "FAIL $what: library is not $3"; failed=1; fi
}

report=$(run part "$probe")
expect "older layout (iTunesMobileDeviceDLL, InstallDir)" "$report" window=1 device=1
library_is "older layout" "$report" 'simulator\\iTunesMobileDevice.dll'

report=$(run current "$probe")
expect "today's layout (MobileDeviceDLL, Common Files)" "$report" window=1 device=1
library_is "today's layout" "$report" 'Mobile Device Support\\MobileDevice.dll'

report=$(run none "$probe")
expect "nothing installed" "$report" window=1 device=0 library=

# A library of the device library's name beside the program is never loaded while the registry names one.
planted_dir="$prefix/drive_c/Downloads"
rm -rf "$planted_dir"; mkdir -p "$planted_dir"
cp "$probe" "$planted_dir/probe.exe"
cp "$build/simulator/CoreFoundation.dll" "$planted_dir/iTunesMobileDevice.dll"
report=$(run part 'C:\Downloads\probe.exe')
expect "library planted beside the program" "$report" window=1 device=1 planted=0

"$WINESERVER" -k 2>/dev/null
"$WINESERVER" -w 2>/dev/null
exit $failed
