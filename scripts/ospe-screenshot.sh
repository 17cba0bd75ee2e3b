#!/usr/bin/env bash
# Screenshot of ospe's forecast plot of USAccDeaths on a private Xvfb screen: ospe.exe starts in a
# folder that holds the series, and console_keys.exe types the session up to the finished plot
# (the polynomial, the first subset fit, twelve forecasts).
# Usage: ospe-screenshot.sh BUILD_DIR OUT.png
set -uo pipefail
build=$(realpath "$1"); out=$(realpath -m "$2")
command -v import >/dev/null || { sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo;
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends imagemagick; }
source "$(dirname "$0")/wine-env.sh"
unset DISPLAY
vesk_display
vesk_wine_prefix
folder=$(mktemp -d)
grep '^series,' "$repo/tests/data/arar_usaccdeaths_reference.csv" | cut -d, -f2 | tr ' ' '\n' >"$folder/deaths.dat"
(cd "$folder" && exec wine "$build/ospe.exe") &
pid=$!
wine "$build/console_keys.exe" OSPE x enter enter down down enter x d x f x line:12 x x
sleep 4
import -window root "$out"
kill "$pid" 2>/dev/null
wineserver -k 2>/dev/null || true
wait "$pid" 2>/dev/null
vesk_stop_display
rm -rf "$folder"
echo "screenshot: $out"
