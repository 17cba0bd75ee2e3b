#!/usr/bin/env bash
# Runs one Windows program under Wine with a time limit, in the project's private prefix.
# Usage: wine-run.sh SECONDS PROGRAM.exe [ARGS...]
set -uo pipefail
limit=$1; shift
source "$(dirname "$0")/wine-env.sh"
vesk_display
vesk_wine_prefix
timeout -k 5 "$limit" wine "$@"
rc=$?
[ $rc -eq 124 ] && echo "wine-run: $(basename "$1") exceeded ${limit}s" >&2
# Our prefix's server holds only the processes started here.
wineserver -k 2>/dev/null || true
vesk_stop_display
exit $rc
