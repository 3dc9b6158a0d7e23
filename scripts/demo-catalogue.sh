#!/usr/bin/env bash
# Makes a demo catalogue of 100 made-up pictures and serves it over plain HTTP
# on this computer until stopped (Ctrl+C or SIGTERM), for trying the download
# browser and the automatic download without the real catalogue server.
# Builds nothing: pass the make-catalogue tool built from tools/make-catalogue.
# Usage: demo-catalogue.sh <make-catalogue> [folder] [port]
#   folder  where pictures/ and catalogue/ go (default: a temporary folder, removed on exit)
#   port    default 8765; the catalogue's base URL is http://127.0.0.1:<port>/
set -euo pipefail
if [ $# -lt 1 ] || [ $# -gt 3 ] || [ ! -x "$1" ]; then
  echo "usage: $0 <make-catalogue> [folder] [port]" >&2
  exit 2
fi
tool=$1
port=${3:-8765}
owned=""
if [ -n "${2:-}" ]; then
  folder=$2
else
  folder=$(mktemp -d "${TMPDIR:-/tmp}/ostrel-catalogue-XXXXXX")
  owned=$folder
fi

server=""
# shellcheck disable=SC2317  # run by the trap
stop() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  fi
  if [ -n "$owned" ]; then rm -rf "$owned"; fi
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

"$tool" "$folder/pictures" "$folder/catalogue" --demo 100

python3 -m http.server --bind 127.0.0.1 "$port" --directory "$folder/catalogue" >"$folder/server.log" 2>&1 &
server=$!
url="http://127.0.0.1:$port/"
for _ in $(seq 50); do
  if ! kill -0 "$server" 2>/dev/null; then
    echo "demo-catalogue: the server did not start:" >&2
    cat "$folder/server.log" >&2
    exit 1
  fi
  if python3 -c "import urllib.request, sys; urllib.request.urlopen(sys.argv[1], timeout=1)" "${url}rz.txt" 2>/dev/null; then
    echo "demo-catalogue: serving $folder/catalogue at $url (index ${url}rz.txt); stop with Ctrl+C"
    wait "$server"
    exit 0
  fi
  sleep 0.1
done
echo "demo-catalogue: the server did not answer at $url" >&2
exit 1
