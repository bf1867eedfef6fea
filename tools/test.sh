#!/usr/bin/env bash
# The test command: bootstrap, build both configurations, run every test (native first, then the
# Windows build under Wine + Xvfb, the release files among them), then the 32-bit build's end-to-end write
# and binary checks (the whole Windows suite runs for x64 only), ending with CTest's summary lines.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
jobs=$(nproc)

"$here/build.sh" native
"$here/build.sh" windows
LOGORA_BUILD_TARGETS="iOSLogora logora_simulator x86_write_tests x86_probe" "$here/build.sh" windows-x86

echo "== native tests =="
native_rc=0
(cd "$LOGORA_ROOT/build/native" && ctest --output-on-failure -j"$jobs") || native_rc=$?

echo "== Windows tests (Wine) =="
win_rc=0
"$here/wine/session.sh" "$LOGORA_ROOT/build/windows" \
  bash -c "cd '$LOGORA_ROOT/build/windows' && ctest --output-on-failure -j$jobs" || win_rc=$?

echo "== 32-bit Windows build (Wine): end-to-end write, notices, binaries =="
x86_rc=0
"$here/wine/session.sh" "$LOGORA_ROOT/build/windows-x86" \
  bash -c "cd '$LOGORA_ROOT/build/windows-x86' && ctest -V -R '^(x86|release)[.]'" || x86_rc=$?

if [ $native_rc -ne 0 ] || [ $win_rc -ne 0 ] || [ $x86_rc -ne 0 ]; then
  echo "tests failed (native rc=$native_rc, windows rc=$win_rc, x86 rc=$x86_rc)" >&2
  exit 1
fi
