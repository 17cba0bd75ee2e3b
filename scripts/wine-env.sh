# Sourced by the Wine scripts: a private prefix under the build tree, created once, with the
# fonts that Debian's Wine does not install into a new prefix and a virtual desktop, so focus and
# MDI activation behave as on Windows.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${VESK_WINEPREFIX:-$repo/build/wineprefix}

vesk_wine_prefix() {
  [ -f "$WINEPREFIX/.vesk-ready" ] && return 0
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.vesk-ready"
}

# Starts Xvfb on a free display when no display is set; sets VESK_XVFB_PID. Xvfb picks the
# display itself (-displayfd), so several checkouts can run their Wine tests at once.
vesk_display() {
  VESK_XVFB_PID=""
  [ -n "${DISPLAY:-}" ] && return 0
  local numfile
  numfile=$(mktemp)
  Xvfb -displayfd 7 -screen 0 1280x1024x24 -nolisten tcp 7>"$numfile" >/dev/null 2>&1 &
  VESK_XVFB_PID=$!
  local n=""
  for _ in $(seq 100); do
    n=$(tr -dc '0-9' <"$numfile")
    [ -n "$n" ] && [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  rm -f "$numfile"
  export DISPLAY=":$n"
}

vesk_stop_display() {
  if [ -n "${VESK_XVFB_PID:-}" ]; then
    kill "$VESK_XVFB_PID" 2>/dev/null || true
    wait "$VESK_XVFB_PID" 2>/dev/null || true
  fi
}
