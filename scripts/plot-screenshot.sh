#!/usr/bin/env bash
# Screenshot of a plot window with four panels and a report window under Xvfb.
# Usage: plot-screenshot.sh BUILD_DIR OUT.png
set -euo pipefail
here=$(dirname "$0")
exec "$here/screenshot.sh" "$1/plot_screens.exe" "$2" 8
