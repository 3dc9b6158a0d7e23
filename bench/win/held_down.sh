#!/usr/bin/env bash
# Holding Down on the real OstrelWallpapers.exe under Wine over a list of
# 24 MP JPEGs, at a keyboard's repeat rate: how long the window ever took to
# answer meanwhile (a key press waits at most that long), and how soon after
# the release the preview showed the row the key was released on. Each row's
# picture is half detail, half one of eight colours, so the colour in the
# preview tells the row.
#
#   bench/win/held_down.sh <OstrelWallpapers.exe> <wintool.exe> [artifacts folder]
#
# Environment: HELD_PRESSES (150), HELD_INTERVAL_MS (33). Prints "held-down: ...";
# not a test.
OW_DEADLINE=600
source "$(dirname "$0")/../../tests/wine/lib.sh"
ow_setup "$@"
ow_data_dir

presses=${HELD_PRESSES:-150}
interval=${HELD_INTERVAL_MS:-33}
colours=(ff0000 00ff00 0000ff ffff00 ff00ff 00ffff ff8000 8000ff)
pics="$WINEPREFIX/drive_c/pics"
mkdir -p "$pics" "$OW_DATA"
"$OW_CONVERT" -size 3000x4000 xc:gray +noise Random -blur 0x0.7 "$OW_DIR/detail.png" || ow_die "no detail"
for i in "${!colours[@]}"; do
  "$OW_CONVERT" "$OW_DIR/detail.png" \( -size 3000x4000 "xc:#${colours[$i]}" \) +append -type TrueColor -quality 90 \
    "$pics/c$i.jpg" || ow_die "no picture $i"
done
rows=200
python3 - "$pics" "$OW_DATA/Default.tav" "$rows" <<'PY' || ow_die "could not make the list"
import os, sys
folder, tav, n = sys.argv[1], sys.argv[2], int(sys.argv[3])
with open(tav, "wb") as f:
    for row in range(1, n + 1):
        os.link("%s/c%d.jpg" % (folder, row % 8), "%s/p%03d.jpg" % (folder, row))
        f.write(b"C:\\pics\\p%03d.jpg\r\n    6000x4000\r\n" % row)
    f.write(b"\r\n\r\n")
PY
reg_set 'HKCU\RZ' selected 1
reg_set 'HKCU\RZ' playstat 0  # no change meanwhile

ow_start_in_desktop
wtd wait-window 60000 >/dev/null || ow_die "no main window"
sleep 3  # the first row's preview
ow_screenshot before
last=$((1 + presses))
result=$(wtd hold-key 0x28 "$presses" "$interval" "${HELD_X:-235}" "${HELD_Y:-190}" "${colours[$((last % 8))]}")
ow_screenshot after
LC_ALL=C printf 'held-down: %s rows of 24 MP, Down held for %s presses %s ms apart: %s\n' \
  "$rows" "$presses" "$interval" "$result"
ow_pass "measured"
ow_finish
