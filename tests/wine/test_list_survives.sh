#!/usr/bin/env bash
# The working list Default.tav: CP1251 paths kept byte for byte, resolutions
# filled in by the background prober, and stable across starts.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"
ow_data_dir

pics="$WINEPREFIX/drive_c/Картинки"
make_pic "$pics/море.jpg" 1024x768 blue
make_pic "$pics/Лето 2004/пляж.bmp" 800x600 green
make_pic "$pics/Ёлка.jpg" 1600x1200 red
make_pic "$pics/рисунок.png" 300x200 yellow
make_pic "$pics/большая.jpg" 1600x1200 purple

# Rows: empty text (probe), a missing file (passed over, text kept), a failed
# probe "0x0" of a readable file (probed again), a known text (kept even though
# it is wrong), a PNG (not measurable: "0x0"), and a four-digit height.
rows_before=(
  'C:\Картинки\море.jpg' ''
  'C:\Картинки\нет такого.jpg' '       0x0'
  'C:\Картинки\Лето 2004\пляж.bmp' '       0x0'
  'C:\Картинки\Ёлка.jpg' '     640x480'
  'C:\Картинки\рисунок.png' ''
  'C:\Картинки\большая.jpg' ''
)
rows_after=(
  'C:\Картинки\море.jpg' '    1024x768'
  'C:\Картинки\нет такого.jpg' '       0x0'
  'C:\Картинки\Лето 2004\пляж.bmp' '     800x600'
  'C:\Картинки\Ёлка.jpg' '     640x480'
  'C:\Картинки\рисунок.png' '       0x0'
  'C:\Картинки\большая.jpg' '    1600x1200'
)
mkdir -p "$OW_DATA"
list="$OW_DATA/Default.tav"
expected="$OW_DIR/expected.tav"
write_tav "$list" "${rows_before[@]}"
write_tav "$expected" "${rows_after[@]}"

show_diff() {
  ow_log "expected:"; od -c "$expected" | head -40
  ow_log "actual:"; od -c "$list" | head -40
}

# ---- first start: the prober fills the list and saves it by itself ----
ow_start -
wt wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"
if wait_until 30 cmp -s "$expected" "$list"; then
  ow_pass "the prober fills the resolutions and saves the list while the program runs"
else
  ow_fail "the list was not saved with the resolutions filled in within 30 s"
  show_diff
fi
ow_exit_program || ow_die "no clean exit"
if cmp -s "$expected" "$list"; then
  ow_pass "the list written at exit holds the same CP1251 paths and padded resolutions"
else
  ow_fail "the list written at exit differs"
  show_diff
fi

# ---- second start: nothing left to probe, the file comes back unchanged ----
before_sum=$(file_sum "$list")
ow_start -
wt wait-window 30000 >/dev/null || ow_die "the main window did not appear on the second start"
ow_exit_program || ow_die "no clean exit on the second start"
check_eq "a second start and exit leaves the list unchanged" "$before_sum" "$(file_sum "$list")"

# ---- third start: a list with bare LF line ends is read all the same ----
python3 -c '
import sys
p = sys.argv[1]
d = open(p, "rb").read()
open(p, "wb").write(d.replace(b"\r\n", b"\n"))' "$list"
ow_start -
wt wait-window 30000 >/dev/null || ow_die "the main window did not appear on the third start"
ow_exit_program || ow_die "no clean exit on the third start"
if cmp -s "$expected" "$list"; then
  ow_pass "a list with LF line ends is read and written back with CR LF"
else
  ow_fail "a list with LF line ends did not come back as the same list with CR LF"
  show_diff
fi

ow_finish
