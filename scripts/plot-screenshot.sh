#!/usr/bin/env bash
# Screenshot of a plot window with four panels and a report window under Xvfb; with "tile N",
# of N one-panel data windows tiled as Window > Tile places them.
# Usage: plot-screenshot.sh BUILD_DIR OUT.png [tile N]
set -euo pipefail
here=$(dirname "$0")
exec "$here/screenshot.sh" "$1/plot_screens.exe" "$2" 8 "${@:3}"
