#!/usr/bin/env bash
# The test command: bootstrap, build both configurations, run every test (native first, then the
# Windows build under Wine + Xvfb), ending with CTest's summary lines.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
jobs=$(nproc)

"$here/build.sh" native
"$here/build.sh" windows

echo "== native tests =="
native_rc=0
(cd "$LOGORA_ROOT/build/native" && ctest --output-on-failure -j"$jobs") || native_rc=$?

echo "== Windows tests (Wine) =="
win_rc=0
"$here/wine/session.sh" "$LOGORA_ROOT/build/windows" \
  bash -c "cd '$LOGORA_ROOT/build/windows' && ctest --output-on-failure -j$jobs" || win_rc=$?

if [ $native_rc -ne 0 ] || [ $win_rc -ne 0 ]; then
  echo "tests failed (native rc=$native_rc, windows rc=$win_rc)" >&2
  exit 1
fi
