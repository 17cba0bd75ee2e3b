#!/usr/bin/env bash
# Starts a Windows program (vesk, a console program) on a private Xvfb screen, waits for it to
# settle and saves a screenshot. ARGUMENTs go to the program.
# Usage: screenshot.sh PROGRAM.exe OUT.png [SECONDS [ARGUMENT...]]
# Optional: VESK_SHOT_DIR, the folder the program starts in; VESK_SHOT_KEYS, "TITLE TOKEN..." that
# console_keys.exe (beside the program) types into a console program's window once it has started.
set -uo pipefail
exe=$(realpath "$1"); out=$(realpath -m "$2"); settle=${3:-6}
command -v import >/dev/null || { sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo;
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends imagemagick; }
source "$(dirname "$0")/wine-env.sh"
unset DISPLAY
vesk_display
vesk_wine_prefix
(cd "${VESK_SHOT_DIR:-.}" && exec wine "$exe" "${@:4}") &
pid=$!
# shellcheck disable=SC2086  # the title and the tokens are words
[ -n "${VESK_SHOT_KEYS:-}" ] && wine "$(dirname "$exe")/console_keys.exe" $VESK_SHOT_KEYS
sleep "$settle"
import -window root "$out"
kill "$pid" 2>/dev/null
wineserver -k 2>/dev/null || true
wait "$pid" 2>/dev/null
vesk_stop_display
echo "screenshot: $out"
