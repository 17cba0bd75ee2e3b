#!/usr/bin/env bash
# Screenshot of a console program's window at the page where the keys of a script run out, under
# Xvfb, SECONDS (default 15) after the start, when the program waits for the key after the
# script's last one. The program runs in a fresh folder holding DATA_FILE as deaths.txt.
# Usage: console-script-screenshot.sh BUILD_DIR PROGRAM SCRIPT DATA_FILE OUT.png [SECONDS]
#   e.g. scripts/console-script-screenshot.sh build/win molda tests/screens/molda_forecast_plot.txt \
#          tests/data/mdeaths_fdeaths.txt build/molda-forecast-plot.png
set -uo pipefail
here=$(realpath "$(dirname "$0")")
exe=$(realpath "$1/console_script_window.exe"); program=$2
script=$(realpath "$3"); data=$(realpath "$4"); out=$(realpath -m "$5"); settle=${6:-15}
folder=$(mktemp -d)
cp "$data" "$folder/deaths.txt"
(cd "$folder" && "$here/screenshot.sh" "$exe" "$out" "$settle" "$program" "$script")
rc=$?
rm -rf "$folder"
exit $rc
