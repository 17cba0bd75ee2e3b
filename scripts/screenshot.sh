#!/usr/bin/env bash
# Starts a Windows program (vesk, a console program) on a private Xvfb screen, waits for it to
# settle and saves a screenshot. ARGUMENTs go to the program.
# Usage: screenshot.sh PROGRAM.exe OUT.png [SECONDS [ARGUMENT...]]
set -uo pipefail
exe=$(realpath "$1"); out=$(realpath -m "$2"); settle=${3:-6}
command -v import >/dev/null || { sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo;
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends imagemagick; }
source "$(dirname "$0")/wine-env.sh"
unset DISPLAY
vesk_display
vesk_wine_prefix
wine "$exe" "${@:4}" &
pid=$!
sleep "$settle"
import -window root "$out"
kill "$pid" 2>/dev/null
wineserver -k 2>/dev/null || true
wait "$pid" 2>/dev/null
vesk_stop_display
echo "screenshot: $out"
