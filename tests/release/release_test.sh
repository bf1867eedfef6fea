#!/usr/bin/env bash
# End-to-end tests of the release files, each in a fresh Wine prefix (a copy of the bootstrap's template) with
# one simulated iPhone plugged in, inside an Xvfb display of its own:
#   release_test.sh installer BUILD_DIR DIST_DIR
#       silent install (/S); the installed program shows its window with the simulated iPhone; silent
#       uninstall; the prefix then holds no file, shortcut or registry key of ours that was not there before
#   release_test.sh portable BUILD_DIR DIST_DIR
#       the portable zip unpacked into a folder whose path has Chinese characters and spaces: the program
#       shows the simulated iPhone and writes a carrier bundle to it
# Screenshots go to BUILD_DIR/screenshots/release-<mode>*.png.
set -uo pipefail
mode=$1 build=$(cd "$2" && pwd) dist=$(cd "$3" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
tools="$here/../../tools"
source "$tools/env.sh"

if [ -z "${LOGORA_RELEASE_TEST_DISPLAY:-}" ]; then
  export LOGORA_RELEASE_TEST_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

fail() { echo "FAIL: $*" >&2; "$WINESERVER" -k 2>/dev/null; exit 1; }

work="$build/release-test-$mode"
template=$(cat "$build/wineprefix/.template")
rm -rf "$work"; mkdir -p "$work" "$build/screenshots"
cp -a "$template" "$work/wineprefix"
cp -as "$build/simulator" "$work/simulator"  # the simulated libraries and their control tool
export WINEPREFIX="$work/wineprefix"
prefix=$WINEPREFIX
bash "$tools/wine/prefix.d/10-simulator.sh" "$work" || fail "registering the simulated libraries"
"$tools/sim.sh" "$work" demo-setup >/dev/null || fail "plugging in the simulated iPhone"
"$WINESERVER" -w
drive="$build/tools/driver/logora-drive.exe"
version=$(sed -n 's/^#define LOGORA_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/version.h")
shot="$build/screenshots/release-$mode"

# Starts EXE, waits for its window and the simulated iPhone on the device button, takes a screenshot.
start_program() {  # EXE
  "$WINE64" "$1" &
  program=$!
  "$WINE64" "$drive" wait 60 || fail "the window of $1 did not appear"
  local text=
  for _ in $(seq 30); do
    text=$("$WINE64" "$drive" text 1018 | tr -d '\r')
    [[ $text == *iPhone* ]] && break
    sleep 1
  done
  import -window root "$shot.png"
  echo "screenshot: $shot.png"
  [[ $text == *iPhone* ]] || fail "the device button shows \"$text\", not the simulated iPhone"
  echo "device button: $text"
}

stop_program() {
  "$WINE64" "$drive" close
  wait "$program"
  "$WINESERVER" -w
}

# What the prefix holds: every path under drive_c, every registry key, and how often "iOSLogora" occurs in
# each registry file (catching values added to keys that existed before).
snapshot() {  # OUT
  (cd "$prefix/drive_c" && find . -mindepth 1 | LC_ALL=C sort) > "$1.files"
  for r in system.reg user.reg userdef.reg; do
    grep '^\[' "$prefix/$r" | sed 's/\] [0-9]*$/]/' | LC_ALL=C sort > "$1.$r.keys"
    printf '%s %s\n' "$r" "$(grep -ci 'iOSLogora' "$prefix/$r")" >> "$1.mentions"
  done
}

case $mode in
installer)
  setup="$dist/iOSLogora-$version-x64-setup.exe"
  [ -f "$setup" ] || fail "no installer $setup"
  # Both snapshots follow a restart: the uninstaller's temporary copy of itself goes at the next restart.
  restart() { "$WINE64" wineboot -r; "$WINESERVER" -w; }
  restart
  snapshot "$work/before"
  "$WINE64" "$setup" /S
  "$WINESERVER" -w
  installed=$(cd "$prefix" && find drive_c/users -path '*/AppData/Local/Programs/iOSLogora' -type d | head -1)
  [ -n "$installed" ] || fail "nothing installed under AppData\\Local\\Programs\\iOSLogora"
  for f in iOSLogora.exe README.txt THIRD-PARTY-NOTICES.txt uninstall.exe; do
    [ -f "$prefix/$installed/$f" ] || fail "the installer did not install $f"
  done
  shortcut=$(find "$prefix/drive_c/users" -path '*/Start Menu/Programs/iOSLogora实用工具.lnk' | head -1)
  [ -n "$shortcut" ] || fail "no Start-menu shortcut"
  grep -q '^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\iOSLogora\]' "$prefix/user.reg" ||
    fail "no uninstall entry under HKCU"
  grep -q "\"DisplayVersion\"=\"$version\"" "$prefix/user.reg" || fail "the uninstall entry does not show version $version"
  grep -q '"UninstallString"=' "$prefix/user.reg" || fail "the uninstall entry has no UninstallString"
  cmp -s "$prefix/$installed/iOSLogora.exe" "$build/app/iOSLogora.exe" || fail "the installed program is not the build's"
  echo "installed: C:${installed#drive_c}, shortcut and uninstall entry present"

  start_program "$prefix/$installed/iOSLogora.exe"
  stop_program

  "$WINE64" "$prefix/$installed/uninstall.exe" /S
  "$WINESERVER" -w
  restart
  grep -q PendingFileRenameOperations "$prefix/system.reg" && fail "file operations still pending after the restart"
  snapshot "$work/after"
  # The program's own temporary pictures and packages (a GUID or an MD5 digest as the name) stay by design.
  temp='^\./users/[^/]+/(AppData/Local/)?Temp/([0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\.(png|a)|[0-9A-F]{32}\.a)$'
  left=$(comm -13 "$work/before.files" "$work/after.files" | grep -Ev "$temp")
  [ -z "$left" ] || fail "left behind after uninstall:
$left"
  for r in system.reg user.reg userdef.reg; do
    keys=$(comm -13 "$work/before.$r.keys" "$work/after.$r.keys")
    [ -z "$keys" ] || fail "registry keys left in $r after uninstall:
$keys"
  done
  cmp -s "$work/before.mentions" "$work/after.mentions" || fail "registry values naming iOSLogora left after uninstall"
  echo "uninstalled: no file, shortcut or registry key left"
  ;;
portable)
  zip="$dist/iOSLogora-$version-x64.zip"
  [ -f "$zip" ] || fail "no portable zip $zip"
  folder="$prefix/drive_c/用户 文件/便携 工具"
  mkdir -p "$folder"
  unzip -q "$zip" -d "$folder" || fail "unzipping $zip"
  exe="$folder/iOSLogora-$version-x64/iOSLogora.exe"
  for f in iOSLogora.exe README.txt THIRD-PARTY-NOTICES.txt; do
    [ -f "$folder/iOSLogora-$version-x64/$f" ] || fail "the zip holds no $f"
  done
  start_program "$exe"
  "$WINE64" "$drive" click 1005
  box=$("$WINE64" "$drive" wait-box 60) || fail "no result box after 写入"
  import -window root "$shot-write.png"
  [[ $box == *已经写入!* ]] || fail "the write ended with \"$box\""
  "$WINE64" "$drive" dismiss
  installed=$(find "$work/simdevices" -path '*/installed/*' -type f | head -1)
  [ -n "$installed" ] || fail "the simulated iPhone installed nothing"
  echo "write from \"C:\\用户 文件\\便携 工具\": $box"
  stop_program
  ;;
*) echo "unknown mode $mode" >&2; exit 2 ;;
esac
echo PASS
