#!/usr/bin/env bash
# Screenshot of ospe's forecast plot of USAccDeaths on a private Xvfb screen: ospe.exe starts in a
# folder that holds the series, and console_keys.exe types the session up to the finished plot
# (the polynomial, the first subset fit, twelve forecasts).
# Usage: ospe-screenshot.sh BUILD_DIR OUT.png
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
folder=$(mktemp -d)
grep '^series,' "$here/../tests/data/arar_usaccdeaths_reference.csv" | cut -d, -f2 | tr ' ' '\n' >"$folder/deaths.dat"
VESK_SHOT_DIR="$folder" VESK_SHOT_KEYS="OSPE x enter enter down down enter x d x f x line:12 x x" \
  "$here/screenshot.sh" "$1/ospe.exe" "$2" 4
rc=$?
rm -rf "$folder"
exit $rc
