#!/usr/bin/env bash
# Starts vesk under Wine (a private Xvfb screen is used only when no display is set).
set -uo pipefail
exe=$(realpath "$1")
source "$(dirname "$0")/wine-env.sh"
[ -z "${DISPLAY:-}" ] && echo "run-vesk: no DISPLAY set; starting a private Xvfb screen" >&2
vesk_display
vesk_wine_prefix
wine "$exe"
rc=$?
vesk_stop_display
exit $rc
