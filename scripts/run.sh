#!/usr/bin/env bash
# Sets everything up, builds the program and runs it under Wine in a virtual
# desktop, where the installed wallpaper and the tray icon can be seen, with a
# demo wallpaper catalogue served on 127.0.0.1 for its downloads.
# Arguments are passed to the program (for example "-" for a hidden start).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
bash scripts/setup.sh
bash scripts/build-windows.sh
# The catalogue maker runs here, on the host.
cmake --preset host >/dev/null
cmake --build build/host --target make-catalogue

CACHE=${OSTREL_CACHE:-/var/cache/ostrel-wallpapers}
export WINEPREFIX=${OSTREL_WINEPREFIX:-$HOME/.ostrel-wallpapers-wine}
export WINEDEBUG=-all LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  cp -a "$CACHE/wineprefix" "$WINEPREFIX"
fi
bash scripts/make-samples.sh "$WINEPREFIX"  # for a prefix made before the samples existed

xvfb="" catalogue=""
# Stops what this script started. Their statuses (143 from the catalogue it
# stops, a failed kill of a server already gone) are not the command's: it
# ends with the program's own.
stop() {
  set +e
  [ -n "$catalogue" ] && kill "$catalogue" 2>/dev/null && wait "$catalogue" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  return 0
}
trap stop EXIT

# A demo catalogue of made-up pictures, on the first free port from 8765.
port=${OSTREL_DEMO_PORT:-8765}
while python3 -c "import socket, sys; socket.create_connection(('127.0.0.1', int(sys.argv[1])), 0.5)" "$port" 2>/dev/null; do
  port=$((port + 1))
done
bash scripts/demo-catalogue.sh build/host/bin/make-catalogue "" "$port" & catalogue=$!
export OSTREL_CATALOGUE_URL="http://127.0.0.1:$port/"
for _ in $(seq 300); do
  python3 -c "import urllib.request, sys; urllib.request.urlopen(sys.argv[1], timeout=1)" "${OSTREL_CATALOGUE_URL}rz.txt" \
    2>/dev/null && break
  kill -0 "$catalogue" 2>/dev/null || { echo "run: the demo catalogue did not start" >&2; exit 1; }
  sleep 0.2
done
echo "run: demo catalogue at $OSTREL_CATALOGUE_URL (Ctrl+D in the program opens the download browser)"

if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:42
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 & xvfb=$!
  sleep 1
  echo "run: no display was set; the program runs on the virtual screen $DISPLAY"
  echo "run: see it with: DISPLAY=$DISPLAY import -window root shot.png"
fi

echo "run: starting OstrelWallpapers.exe (prefix $WINEPREFIX)"
wine explorer /desktop=OstrelWallpapers,1280x1024 "$ROOT/build/win/bin/OstrelWallpapers.exe" "$@"
wineserver -w
