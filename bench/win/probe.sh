#!/usr/bin/env bash
# How long the real OstrelWallpapers.exe under Wine takes to fill in the
# resolutions of a working list of N entries none of which is known yet
# (hard links to one small JPEG, so that every entry is its own file), from
# the main window's appearance to "Default.tav" holding them all, and whether
# the window kept answering WM_NULL round trips meanwhile.
#
#   bench/win/probe.sh <OstrelWallpapers.exe> <wintool.exe> [artifacts folder]
#
# Environment: PROBE_ENTRIES (10000). Prints one line "probe: ..."; not a test.
OW_DEADLINE=1500
source "$(dirname "$0")/../../tests/wine/lib.sh"
ow_setup "$@"
ow_data_dir
winpath() { printf 'Z:%s' "${1//\//\\}"; }

entries=${PROBE_ENTRIES:-10000}
make_pic "$WINEPREFIX/drive_c/pics/p.jpg" 64x48
mkdir -p "$OW_DATA"
python3 - "$WINEPREFIX/drive_c/pics" "$OW_DATA/Default.tav" "$entries" <<'PY' || ow_die "could not make the list"
import os, shutil, sys
folder, tav, n = sys.argv[1], sys.argv[2], int(sys.argv[3])
with open(tav, "wb") as f:
    for i in range(n):
        # A file takes at most 65000 links on ext4: a copy for every 50000.
        source = "%s/p%d.jpg" % (folder, i // 50000)
        if i % 50000 == 0:
            shutil.copyfile(folder + "/p.jpg", source)
        os.link(source, "%s/p%06d.jpg" % (folder, i))
        f.write(b"C:\\pics\\p%06d.jpg\r\n\r\n" % i)
    f.write(b"\r\n\r\n")
PY
reg_set 'HKCU\RZ' playstat 0  # no change meanwhile
# Counted again only when the file changed, so that polling costs next to nothing.
last_seen=
all_known() {
  local seen
  seen=$(stat -c '%Y %s %i' "$OW_DATA/Default.tav" 2>/dev/null) || return 1
  [ "$seen" != "$last_seen" ] || return 1
  last_seen=$seen
  [ "$(tr -d '\r' <"$OW_DATA/Default.tav" | grep -c '64x48$')" -ge "$entries" ]
}

ow_start_in_desktop
wtd wait-window 60000 >/dev/null || ow_die "no main window"
started=$(date +%s.%N)
wtd answers "$(winpath "$OW_DIR/answers.stop")" 50 >"$OW_DIR/answers" 2>&1 &
OW_PIDS+=($!)
# Polled often: the poll's own step would count as probing time.
deadline=$((SECONDS + 1200))
until all_known; do
  [ $SECONDS -lt $deadline ] || ow_die "the resolutions were not all filled in within 20 minutes"
  sleep 0.05
done
ended=$(date +%s.%N)
touch "$OW_DIR/answers.stop"
wait_until 10 eval '[ -s "$OW_DIR/answers" ]'
LC_ALL=C printf 'probe: %s entries filled in %.1f s after the window appeared; window answers: %s\n' \
  "$entries" "$(LC_ALL=C awk -v a="$started" -v b="$ended" 'BEGIN { print b - a }')" "$(head -n1 "$OW_DIR/answers")"
ow_pass "measured"
ow_finish
