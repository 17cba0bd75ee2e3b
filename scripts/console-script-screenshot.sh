#!/usr/bin/env bash
# Screenshot of a console program's window at the page where the keys of a script run out, under
# Xvfb, SECONDS (default 15) after the start, when the program waits for the key after the
# script's last one. The program runs in a fresh folder holding DATA_FILE as
# deaths.txt.
# Usage: console-script-screenshot.sh BUILD_DIR PROGRAM SCRIPT DATA_FILE OUT.png [SECONDS]
#   e.g. scripts/console-script-screenshot.sh build/win molda tests/screens/molda_forecast_plot.txt \
#          tests/data/mdeaths_fdeaths.txt build/molda-forecast-plot.png
set -uo pipefail
exe=$(realpath "$1/console_script_window.exe"); program=$2
script=$(realpath "$3"); data=$(realpath "$4"); out=$(realpath -m "$5"); settle=${6:-15}
source "$(dirname "$0")/wine-env.sh"
unset DISPLAY
vesk_display
vesk_wine_prefix
folder=$(mktemp -d)
cp "$data" "$folder/deaths.txt"
cd "$folder"
wine "$exe" "$program" "$script" &
pid=$!
sleep "$settle"
import -window root "$out"
kill "$pid" 2>/dev/null
wineserver -k 2>/dev/null || true
wait "$pid" 2>/dev/null
vesk_stop_display
cd / && rm -rf "$folder"
echo "screenshot: $out"
