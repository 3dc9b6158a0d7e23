#!/usr/bin/env bash
# Automatic changing: with a 2 s interval and play on, the wallpaper changes
# by itself, again and again, but not while the processor is busy; Hotkey4
# stops and Hotkey3 starts the changing.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"
ow_data_dir

# The load the program measures is the test's to set, not the machine's: Wine
# reads the idle time from /proc/uptime, which a preloaded library answers.
LOAD_FILE="$OW_DIR/load"
cc -shared -fPIC -O2 -o "$OW_DIR/fake_uptime.so" "$(dirname "$0")/fake_uptime.c" -ldl ||
  ow_die "could not build the /proc/uptime stand-in"
export LD_PRELOAD="$OW_DIR/fake_uptime.so" OW_FAKE_LOAD_FILE="$LOAD_FILE"
set_load() { echo "$1" >"$LOAD_FILE"; }

# Four pictures whose width tells their row: row r is (500 + 10 r) wide.
rows=()
for r in 1 2 3 4; do
  name="C:\\pics\\$r.jpg"
  make_pic "$(win_to_unix "$name")" "$((500 + 10 * r))x200" green
  rows+=("$name" "$(printf '%8dx200' $((500 + 10 * r)))")
done
mkdir -p "$OW_DATA"
write_tav "$OW_DATA/Default.tav" "${rows[@]}"
OUT_BMP="$OW_DATA/Ostrel Wallpaper.bmp"
reg_set 'HKCU\RZ' selected 1
reg_set 'HKCU\RZ' TimeInterval 2
reg_set 'HKCU\RZ' secund 1
reg_set 'HKCU\RZ' playstat 1

bitmap_width() { local i; i=$(bmp_info "$OUT_BMP" 2>/dev/null) && echo "${i%% *}" || echo 0; }
width_not() { [ "$(bitmap_width)" != "$1" ]; }

# ---- play on from the settings, on a busy machine: no change ----
set_load 90
ow_start -
wt wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"
sleep 12
check_eq "six intervals at 90 % load install nothing" 0 "$(bitmap_width)"

# ---- the machine quiets down: changes follow ----
set_load 20
check "the wallpaper is changed by itself with a 2 s interval and play on" wait_until 60 width_not 0 ||
  ow_die "no wallpaper installed"
first=$(bitmap_width)
check "and changed again by itself" wait_until 60 width_not "$first"
wt post-hotkey Hotkey4 || ow_fail "could not post Hotkey4"
ow_exit_program || ow_die "no clean exit"
check_eq "Hotkey4 stopped the changing (playstat saved)" 0 "$(reg_get 'HKCU\RZ' playstat)"

# ---- play off: Hotkey3 starts it ----
rm -f "$OUT_BMP"
set_load 0
ow_start -
wt wait-window 30000 >/dev/null || ow_die "the main window did not appear on the second start"
wt post-hotkey Hotkey3 || ow_fail "could not post Hotkey3"
check "after Hotkey3 the wallpaper is changed by itself" wait_until 60 width_not 0
ow_exit_program || ow_die "no clean exit on the second start"
check_eq "Hotkey3 started the changing (playstat saved)" 1 "$(reg_get 'HKCU\RZ' playstat)"

ow_finish
