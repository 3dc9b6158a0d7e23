#!/usr/bin/env bash
# The run command ends with the program's status: its clean-up on the way out
# stops the demo catalogue and the X server it started, and their own
# statuses (143 after the stop, a server already gone) do not leak out.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sed -n '/^stop() {/,/^}/p' "$root/scripts/run.sh" >"$work/stop.sh"
[ -s "$work/stop.sh" ] || { echo "FAIL - run.sh has no stop()"; exit 1; }
failed=0

# run.sh's ending, with stand-ins: the catalogue and the server, then the program's status.
cat >"$work/run.sh" <<'END'
set -euo pipefail
. "$1"
sleep 60 & catalogue=$!
sleep 60 & xvfb=$!
echo "$catalogue $xvfb" >"$2"
trap stop EXIT
if [ "$3" = gone ]; then kill "$xvfb"; wait "$xvfb" || true; fi
(exit "$4")
END

alive() { local s; s=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $s != Z* ]]; }
expect() {  # description program-status server(up|gone)
  local rc=0 pid
  bash "$work/run.sh" "$work/stop.sh" "$work/pids" "$3" "$2" || rc=$?
  if [ "$rc" = "$2" ]; then echo "ok   - $1: exit $rc"; else echo "FAIL - $1: expected exit $2, got $rc"; failed=1; fi
  for pid in $(cat "$work/pids"); do
    if alive "$pid"; then echo "FAIL - $1: process $pid left running"; kill "$pid"; failed=1; fi
  done
}
expect "the program ends normally" 0 up
expect "the X server went first" 0 gone
expect "the program fails" 3 up
exit $failed
