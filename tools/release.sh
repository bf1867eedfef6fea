#!/usr/bin/env bash
# The release command: builds the release configuration of the program for x64 and x86 (build/release-x64,
# build/release-x86; no tests) and writes dist/ with the two portable zips and the installer, then lists them
# with their sizes. See tools/release/package.sh for what each file holds.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
dist="$LOGORA_ROOT/dist"
for arch in x64 x86; do
  kind=windows; [ $arch = x86 ] && kind=windows-x86
  echo "== building the $arch program =="
  LOGORA_BUILD_DIR="$LOGORA_ROOT/build/release-$arch" LOGORA_BUILD_TARGETS=iOSLogora \
    "$here/build.sh" $kind -DLOGORA_TESTS=OFF >/dev/null
done
rm -rf "$dist"
"$here/release/package.sh" "$dist" "$LOGORA_ROOT/build/release-x64" "$LOGORA_ROOT/build/release-x86" >/dev/null
echo "== release files =="
(cd "$dist" && ls -l --time-style=+ . | awk 'NR>1 {printf "%10d  %s\n", $5, $NF}')
