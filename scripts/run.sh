#!/usr/bin/env bash
# Sets everything up, builds the program and runs it under Wine in a virtual
# desktop, where the installed wallpaper and the tray icon can be seen.
# Arguments are passed to the program (for example "-" for a hidden start).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
bash scripts/setup.sh
bash scripts/build-windows.sh

CACHE=${OSTREL_CACHE:-/var/cache/ostrel-wallpapers}
export WINEPREFIX=${OSTREL_WINEPREFIX:-$HOME/.ostrel-wallpapers-wine}
export WINEDEBUG=-all LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  cp -a "$CACHE/wineprefix" "$WINEPREFIX"
fi
bash scripts/make-samples.sh "$WINEPREFIX"  # for a prefix made before the samples existed

xvfb=""
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:42
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 & xvfb=$!
  trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null' EXIT
  sleep 1
  echo "run: no display was set; the program runs on the virtual screen $DISPLAY"
  echo "run: see it with: DISPLAY=$DISPLAY import -window root shot.png"
fi

echo "run: starting OstrelWallpapers.exe (prefix $WINEPREFIX)"
wine explorer /desktop=OstrelWallpapers,1280x1024 "$ROOT/build/win/bin/OstrelWallpapers.exe" "$@"
wineserver -w
