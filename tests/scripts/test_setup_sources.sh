#!/usr/bin/env bash
# The set-up script takes the Debian archive from the machine's own apt
# sources, in either format, and the repository names no mirror of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sed -n '/^debian_archive_uri()/,/^}/p' "$root/scripts/setup.sh" >"$work/function.sh"
failed=0

expect() {  # description expected-uri apt-folder
  sed "s#/etc/apt#$3#g" "$work/function.sh" >"$work/f.sh"
  local got
  got=$(bash -c "set -euo pipefail; . '$work/f.sh'; debian_archive_uri") || { echo "FAIL - $1: failed"; failed=1; return; }
  if [ "$got" = "$2" ]; then echo "ok   - $1"; else echo "FAIL - $1: expected [$2], got [$got]"; failed=1; fi
}

mkdir -p "$work/none/sources.list.d" "$work/deb822/sources.list.d" "$work/oneline/sources.list.d"
printf 'Types: deb-src\nURIs: http://src.example/debian\nSuites: bookworm\n\nTypes: deb\n# a comment\nURIs: http://a.example/debian\nSuites: bookworm bookworm-updates\n\nTypes: deb\nURIs: http://a.example/security\nSuites: bookworm-security\n' \
  >"$work/deb822/sources.list.d/debian.sources"
printf 'deb http://b.example/debian bookworm-updates main\ndeb [signed-by=/k.gpg] http://b.example/debian bookworm main\n' \
  >"$work/oneline/sources.list"
expect "no apt sources at all: nothing" "" "$work/none"
expect "deb822 sources: the main bookworm entry" "http://a.example/debian" "$work/deb822"
expect "one-line sources with options: the bookworm entry" "http://b.example/debian" "$work/oneline"

if grep -rnE 'https?://[^ ]*(debian|ubuntu)[^ ]*' "$root/scripts" "$root/.ci" "$root/CMakeLists.txt" "$root/cmake"; then
  echo "FAIL - the repository names a package mirror"; failed=1
else
  echo "ok   - the repository names no package mirror"
fi
exit $failed
