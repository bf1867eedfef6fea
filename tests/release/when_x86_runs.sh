#!/usr/bin/env bash
# Runs a test of the 32-bit build only where 32-bit Windows programs can run:
#   when_x86_runs.sh EMULATOR PROBE.exe COMMAND...
# Exit code 77 (the test is reported as skipped, with the reason) when the probe does not run as a 32-bit
# program, e.g. under a Wine without its 32-bit half or on a kernel without 32-bit emulation.
emulator=$1 probe=$2; shift 2
answer=$("$emulator" "$probe" 2>&1 | tr -d '\r')
if [ "$answer" != "32-bit ok" ]; then
  echo "SKIPPED: this Wine cannot run 32-bit programs (the probe said: ${answer:-nothing})"
  exit 77
fi
exec "$@"
