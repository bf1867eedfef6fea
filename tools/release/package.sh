#!/usr/bin/env bash
# Packs the release files from finished Windows builds: package.sh DIST BUILD_X64 [BUILD_X86]
#   DIST/iOSLogora-<version>-x64.zip        the x64 program, README.txt, THIRD-PARTY-NOTICES.txt
#   DIST/iOSLogora-<version>-x86.zip        the same for 32-bit Windows (when BUILD_X86 is given)
#   DIST/iOSLogora-<version>-x64-setup.exe  the per-user installer of the x64 program
# The version is the one the builds were configured with; builds of different versions are refused.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dist=$1; shift
mkdir -p "$dist"
dist=$(cd "$dist" && pwd)

# The version string a build was configured with, from its generated version header.
build_version() { sed -n 's/^#define LOGORA_VERSION_TEXT "\(.*\)"$/\1/p' "$1/generated/version.h"; }
build_number() { sed -n 's/^#define LOGORA_VERSION_NUMBER "\(.*\)"$/\1/p' "$1/generated/version.h"; }

version=$(build_version "$1")
[ -n "$version" ] || { echo "no version in $1/generated/version.h" >&2; exit 1; }
for b in "$@"; do
  [ "$(build_version "$b")" = "$version" ] || { echo "$b was built as $(build_version "$b"), not $version" >&2; exit 1; }
done

# The read-me for users, with Windows line ends and a byte-order mark so that Notepad shows the Chinese.
readme() {  # ARCH OUT
  sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$1/" "$here/README.txt.in" |
    python3 -c 'import sys; sys.stdout.buffer.write(b"\xef\xbb\xbf" + sys.stdin.buffer.read().replace(b"\n", b"\r\n"))' > "$2"
}

zip_edition() {  # BUILD ARCH
  local build=$1 arch=$2 name="iOSLogora-$version-$2" stage
  stage=$(mktemp -d); mkdir "$stage/$name"
  cp "$build/app/iOSLogora.exe" "$stage/$name/iOSLogora.exe"
  cp "$build/generated/THIRD-PARTY-NOTICES.txt" "$stage/$name/"
  readme "$arch" "$stage/$name/README.txt"
  rm -f "$dist/$name.zip"
  (cd "$stage" && TZ=UTC zip -q -X -r "$dist/$name.zip" "$name")
  rm -rf "$stage"
  echo "$dist/$name.zip"
}

zip_edition "$1" x64
[ $# -ge 2 ] && zip_edition "$2" x86

stage=$(mktemp -d)
readme x64 "$stage/README.txt"
makensis -V2 -INPUTCHARSET UTF8 \
  -DVERSION="$version" -DVERSION_NUMBER="$(build_number "$1")" -DEXE="$1/app/iOSLogora.exe" \
  -DREADME="$stage/README.txt" -DNOTICES="$1/generated/THIRD-PARTY-NOTICES.txt" -DICON="$1/generated/app.ico" \
  -DOUTFILE="$dist/iOSLogora-$version-x64-setup.exe" "$here/installer.nsi" >/dev/null
rm -rf "$stage"
echo "$dist/iOSLogora-$version-x64-setup.exe"
