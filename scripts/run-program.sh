#!/usr/bin/env bash
# Starts one of the Windows programs (vesk, or a console program) under Wine; a private Xvfb screen
# is used only when no display is set.
# Usage: run-program.sh PROGRAM.exe
set -uo pipefail
[ -f "${1:-}" ] || { echo "run-program: no program ${1:-} (built by 'make win')" >&2; exit 2; }
exe=$(realpath "$1")
source "$(dirname "$0")/wine-env.sh"
[ -z "${DISPLAY:-}" ] && echo "run-program: no DISPLAY set; starting a private Xvfb screen" >&2
vesk_display
vesk_wine_prefix
wine "$exe"
rc=$?
vesk_stop_display
exit $rc
