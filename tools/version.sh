#!/usr/bin/env bash
# Prints the program's version string, read from the one number in VERSION:
#   the number itself when the checked-out commit is tagged v<number> and has no local changes;
#   otherwise the number followed by "-untagged.<short commit>" ("-untagged" outside a git clone).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
number=$(tr -d ' \r\n' < "$root/VERSION")
if ! commit=$(git -C "$root" rev-parse --short=8 HEAD 2>/dev/null); then
  echo "$number-untagged"
elif git -C "$root" describe --tags --exact-match --match "v$number" HEAD >/dev/null 2>&1 &&
     git -C "$root" diff --quiet HEAD -- 2>/dev/null; then
  echo "$number"
else
  echo "$number-untagged.$commit"
fi
