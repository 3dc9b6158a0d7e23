#!/usr/bin/env bash
# How much the program wakes and spends while the user does nothing: the real
# OstrelWallpapers.exe under Wine, Linux's own accounting of its process (all
# threads) and of the prefix's wineserver over a window of quiet.
#
#   bench/win/idle.sh <OstrelWallpapers.exe> <wintool.exe> [artifacts folder]
#
# Given build/win/bin/trivial_window.exe instead of the program, it measures
# the yardstick: a window that does nothing, under the same Wine.
#
# Environment: IDLE_ENTRIES (list entries, their resolutions known; 0),
# IDLE_HIDDEN (1: started in the tray; 0), IDLE_PLAYING (1: changing on; 0),
# IDLE_SETTLE (seconds after start before measuring; 15), IDLE_WINDOW (60).
# Prints one line "idle: ..." with the figures; not a test.
OW_DEADLINE=$((${IDLE_SETTLE:-15} + ${IDLE_WINDOW:-60} + 120))
source "$(dirname "$0")/../../tests/wine/lib.sh"
ow_setup "$@"
ow_data_dir

entries=${IDLE_ENTRIES:-0} settle=${IDLE_SETTLE:-15} window=${IDLE_WINDOW:-60}
mkdir -p "$OW_DATA"
if [ "$entries" -gt 0 ]; then
  make_pic "$WINEPREFIX/drive_c/pics/p.jpg" 64x48
  python3 - "$OW_DATA/Default.tav" "$entries" <<'EOF'
import sys
with open(sys.argv[1], "wb") as f:
    for i in range(int(sys.argv[2])):
        f.write(b"C:\\pics\\p.jpg\r\n      64x48\r\n")
    f.write(b"\r\n\r\n")
EOF
fi
reg_set 'HKCU\RZ' playstat "${IDLE_PLAYING:-0}"

if [ "${IDLE_HIDDEN:-0}" = 1 ]; then ow_start_in_desktop -; else ow_start_in_desktop; fi
# This prefix's processes only: other tests may run their own copies beside it.
in_prefix() { tr '\0' '\n' <"/proc/$1/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; }
own() {  # <pgrep arguments...>: the newest such process of this prefix
  local p
  for p in $(pgrep "$@" | sort -rn); do in_prefix "$p" && { echo "$p"; return 0; }; done
  return 1
}
started() { own -f '^C:\\Ostrel\\OstrelWallpapers\.exe' >/dev/null; }
wait_until 30 started || ow_die "the program did not start"
pid=$(own -f '^C:\\Ostrel\\OstrelWallpapers\.exe')
server=$(own -x "wineserver(64)?")
sleep "$settle"
[ -n "${IDLE_DEBUG:-}" ] && ow_log "program $pid, wineserver $server"

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
switches() {  # voluntary and involuntary context switches of every thread
  cat /proc/"$1"/task/*/status 2>/dev/null |
    awk '/^voluntary_ctxt_switches|^nonvoluntary_ctxt_switches/ { n += $2 } END { print n + 0 }'
}
t1=$(cpu_ticks "$pid") s1=$(cpu_ticks "$server") c1=$(switches "$pid")
sleep "$window"
t2=$(cpu_ticks "$pid") s2=$(cpu_ticks "$server") c2=$(switches "$pid")
rss=$(awk '/^VmRSS/ {print int($2 / 1024)}' "/proc/$pid/status")

hz=$(getconf CLK_TCK)
printf 'idle: entries %s hidden %s playing %s, %s s: cpu %s ms (%s), wineserver %s ms, wake-ups %s (%s/s), rss %s MB\n' \
  "$entries" "${IDLE_HIDDEN:-0}" "${IDLE_PLAYING:-0}" "$window" \
  $(((t2 - t1) * 1000 / hz)) "$(LC_ALL=C awk -v t=$((t2 - t1)) -v h="$hz" -v w="$window" 'BEGIN { printf "%.2f %%", 100 * t / h / w }')" \
  $(((s2 - s1) * 1000 / hz)) $((c2 - c1)) "$(LC_ALL=C awk -v c=$((c2 - c1)) -v w="$window" 'BEGIN { printf "%.1f", c / w }')" "$rss"
ow_pass "measured"
ow_finish
