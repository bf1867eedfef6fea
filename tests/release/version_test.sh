#!/usr/bin/env bash
# tools/version.sh in a scratch clone: a commit tagged v<VERSION> with no local changes gives the number alone;
# every other build says it is untagged (with its commit when there is one).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d); trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/tools" && cp "$root/tools/version.sh" "$scratch/tools/" && echo 2.3.4 > "$scratch/VERSION"
echo text > "$scratch/notes.txt"
expect() {  # WHAT EXPECTED
  local got; got=$(bash "$scratch/tools/version.sh")
  [[ $got =~ ^$2$ ]] || { echo "FAIL: $1: got \"$got\", expected /$2/"; exit 1; }
  echo "ok: $1: $got"
}
expect "outside a git clone" '2\.3\.4-untagged'
git -C "$scratch" init -q && git -C "$scratch" add -A
git -C "$scratch" -c user.name=t -c user.email=t@t commit -q -m one
commit=$(git -C "$scratch" rev-parse --short=8 HEAD)
expect "untagged commit" "2\.3\.4-untagged\.$commit"
git -C "$scratch" tag v2.3.3
expect "tag of another number" "2\.3\.4-untagged\.$commit"
git -C "$scratch" tag v2.3.4
expect "tagged commit" '2\.3\.4'
echo changed >> "$scratch/notes.txt"
expect "tagged commit with local changes" "2\.3\.4-untagged\.$commit"
