#!/usr/bin/env bash
# The download browser's previews on the real program: large previews are
# decoded while the dialog goes on answering (WM_NULL round trips), and
# previews that claim gigabytes (a 60-byte RLE bitmap of 20000 x 20000, a
# 26-byte one asking 1.17 GB, a 543-byte progressive JPEG of 16000 x 16000)
# are refused without the process taking their memory.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
make_catalogue 100
ow_serve_catalogue "$OW_DIR/www"

# Page 1: four red RLE8 bitmaps of 5600 x 5600 (250 KB each, 94 MB decoded:
# within a preview's limit, and each takes a while to decode).
python3 - "$OW_DIR/www/small" <<'PY' || ow_die "could not write the previews"
import struct, sys
row = b"\xff\x01" * 21 + b"\xf5\x01" + b"\x00\x00"
data = row * 5600 + b"\x00\x01"
def rle8(width, height, pixels):
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(pixels), 2835, 2835, 2, 0)
    palette = b"\x00\x00\x00\x00\x00\x00\xff\x00"
    offset = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + palette + pixels
for n in range(1, 5):
    open("%s/demo-%03d.jpg" % (sys.argv[1], n), "wb").write(rle8(5600, 5600, data))
PY
# Page 2: the bombs.
cp "$ROOT/fuzz/seeds/bmp/rle8-claims-20000-squared" "$OW_DIR/www/small/demo-005.jpg"
cp "$ROOT/fuzz/seeds/bmp/core-claims-20000x19500" "$OW_DIR/www/small/demo-006.jpg"
cp "$ROOT/fuzz/seeds/jpeg/progressive-claims-16000-squared" "$OW_DIR/www/small/demo-007.jpg"

ow_data_dir
CATALOGUE="$OW_DATA/download"

ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"
# The program's own process: Wine runs it as a Linux process named by its path
# (the launchers name it later on their command lines).
app_pid() { pgrep -f '^C:\\Ostrel\\OstrelWallpapers\.exe' | head -n1; }
peak_mb() { awk '/^VmHWM:/ { print int($2 / 1024) }' "/proc/$(app_pid)/status"; }
has_file() { [ -f "$1" ]; }
enabled() { [ "$(wtd item "$BROWSER" "$1" | cut -d' ' -f2)" = "$2" ]; }
sleep 1
ow_log "peak memory before the browser: $(peak_mb) MB"

# ---- page 1: the dialog answers while its previews are decoded ----
wtd keys --to "Ostrel Wallpapers" +0x11 0x44 -0x11 || ow_fail "could not type Ctrl+D"
wtd wait-dialog "$BROWSER" 20000 >/dev/null || ow_die "Ctrl+D did not open the browser"
read -r count longest < <(wtd ping TLoadForm 8000) || ow_die "no WM_NULL round trips to the browser"
ow_log "page 1: $count round trips, the longest $longest ms"
check "the four large previews were fetched" has_file "$CATALOGUE/demo-004.jpg"
check "the browser answered within 200 ms throughout their decoding ($longest ms)" [ "$longest" -lt 200 ]
ow_screenshot page1
read -r ox oy < <(wtd client-origin-of TLoadForm) || ow_fail "no client origin of the browser"
import -display "$DISPLAY" -window root "$OW_DIR/page1.png" 2>/dev/null
for k in "50 48" "270 48" "50 192" "270 192"; do
  set -- $k
  red=$(count_colour "$OW_DIR/page1.png" "255,0,0" $((ox + $1)) $((oy + $2)) 138 121)
  check "the preview at $1,$2 shows its picture, decoded and posted back ($red red pixels)" [ "$red" -gt 10000 ]
done

# ---- page 2: the bombs ----
check "\">>>\" is enabled" wait_until 10 enabled 3 1
wtd click "$BROWSER" ">>>" || ow_fail "could not press >>>"
check "page 2's previews were fetched" wait_until 30 has_file "$CATALOGUE/demo-008.jpg"
read -r count longest < <(wtd ping TLoadForm 4000) || ow_fail "no WM_NULL round trips to the browser"
check "the browser answered within 200 ms meanwhile ($longest ms)" [ "$longest" -lt 200 ]
peak=$(peak_mb)
ow_log "peak memory after both pages: $peak MB"
check "the program never held more than 400 MB ($peak MB)" [ "$peak" -lt 400 ]
ow_finish
