#!/usr/bin/env bash
# Screenshot of a console program's window (a text page and a drawn frame) under Xvfb.
# Usage: console-screenshot.sh BUILD_DIR OUT.png
set -euo pipefail
here=$(dirname "$0")
exec "$here/screenshot.sh" "$1/console_demo.exe" "$2" 6
