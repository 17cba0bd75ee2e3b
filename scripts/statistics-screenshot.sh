#!/usr/bin/env bash
# Screenshots of the statistics views of a univariate project under Xvfb: the linear views, and
# the log spectrum with Fisher's dialog.
# Usage: statistics-screenshot.sh BUILD_DIR OUT_PREFIX   (writes OUT_PREFIX-linear.png, -log.png)
set -euo pipefail
here=$(dirname "$0")
VESK_SCREEN=linear "$here/screenshot.sh" "$1/statistics_screens.exe" "$2-linear.png" 8
VESK_SCREEN=log "$here/screenshot.sh" "$1/statistics_screens.exe" "$2-log.png" 8
