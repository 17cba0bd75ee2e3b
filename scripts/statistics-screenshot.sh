#!/usr/bin/env bash
# Screenshots of the statistics views of a univariate project under Xvfb: the linear views, and
# the log spectrum with Fisher's dialog, and the data and histogram of values near both ends of the
# doubles with the periodogram's message.
# Usage: statistics-screenshot.sh BUILD_DIR OUT_PREFIX   (writes OUT_PREFIX-linear.png, -log.png,
# -huge.png)
set -euo pipefail
here=$(dirname "$0")
VESK_SCREEN=linear "$here/screenshot.sh" "$1/statistics_screens.exe" "$2-linear.png" 8
VESK_SCREEN=log "$here/screenshot.sh" "$1/statistics_screens.exe" "$2-log.png" 8
VESK_SCREEN=huge "$here/screenshot.sh" "$1/statistics_screens.exe" "$2-huge.png" 8
