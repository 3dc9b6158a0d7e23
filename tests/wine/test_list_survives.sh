#!/usr/bin/env bash
# The working list Default.tav: CP1251 paths kept byte for byte, resolutions
# filled in by the background prober and saved while the program runs.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"
ow_data_dir

pics="$WINEPREFIX/drive_c/Картинки"
make_pic "$pics/море.jpg" 1024x768 blue
make_pic "$pics/Лето 2004/пляж.bmp" 800x600 green
make_pic "$pics/рисунок.png" 300x200 yellow
mkdir -p "$OW_DATA"
list="$OW_DATA/Default.tav"
expected="$OW_DIR/expected.tav"
# An empty text is probed, a missing file passed over with its text kept, a
# failed probe "0x0" of a readable file probed again, and a PNG is not measurable.
write_tav "$list" 'C:\Картинки\море.jpg' '' 'C:\Картинки\нет такого.jpg' '       0x0' \
  'C:\Картинки\Лето 2004\пляж.bmp' '       0x0' 'C:\Картинки\рисунок.png' ''
write_tav "$expected" 'C:\Картинки\море.jpg' '    1024x768' 'C:\Картинки\нет такого.jpg' '       0x0' \
  'C:\Картинки\Лето 2004\пляж.bmp' '     800x600' 'C:\Картинки\рисунок.png' '       0x0'

show_diff() { ow_log "expected:"; od -c "$expected" | head -40; ow_log "actual:"; od -c "$list" | head -40; }

ow_start -
wt wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"
check "the prober fills the resolutions and saves the list while the program runs" \
  wait_until 30 cmp -s "$expected" "$list" || show_diff
ow_exit_program || ow_die "no clean exit"
ow_finish
