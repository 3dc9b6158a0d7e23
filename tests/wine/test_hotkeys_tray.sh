#!/usr/bin/env bash
# Hotkeys (next, back, a burst counted once) and the window's hide/show paths:
# tray click, title-bar close and minimise keep the program running.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"
ow_data_dir

# Thirty pictures whose width tells their row: row r is (400 + 10 r) wide.
rows=()
for r in $(seq 1 30); do
  name=$(printf 'C:\\pics\\%02d.jpg' "$r")
  make_pic "$(win_to_unix "$name")" "$((400 + 10 * r))x300" blue
  rows+=("$name" "$(printf '%8dx300' $((400 + 10 * r)))")
done
mkdir -p "$OW_DATA"
write_tav "$OW_DATA/Default.tav" "${rows[@]}"
reg_set 'HKCU\RZ' selected 1
OUT_BMP="$OW_DATA/Ostrel Wallpaper.bmp"

bitmap_row() {  # the row shown by the bitmap, 0 while there is none
  local info
  info=$(bmp_info "$OUT_BMP" 2>/dev/null) || { echo 0; return; }
  echo $(((${info%% *} - 400) / 10))
}
row_is() { [ "$(bitmap_row)" = "$1" ]; }

hotkey_to() {  # <atom> <expected row> <description>
  wt post-hotkey "$1" || { ow_fail "$3: could not post $1"; return; }
  check "$3" wait_until 15 row_is "$2" || ow_log "the bitmap shows row $(bitmap_row)"
}
tray_click() { wt post main 0x464 0 0x201; }  # the tray icon's callback: WM_LBUTTONDOWN

ow_start
wt wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"

# ---- hotkeys ----
hotkey_to Hotkey1 2 "Hotkey1 installs the next row"
hotkey_to Hotkey2 1 "Hotkey2 goes back one step in the history"

# ---- window hiding and showing ----
wt wait-visible 1 5000 || ow_fail "the window is not visible before the tray checks"
# A tray click, WM_CLOSE and WM_SYSCOMMAND SC_MINIMIZE each hide it; a tray click shows it again.
for hide in "tray_click" "wt post main 0x10 0 0" "wt post main 0x112 0xF020 0"; do
  $hide
  check "[$hide] hides the window" wt wait-visible 0 10000
  tray_click
  check "and a tray click shows it again" wt wait-visible 1 10000
done
check "closing and minimising leave the program running" kill -0 "$OW_APP_PID"

# ---- a burst of queued Hotkey1 counts about once ----
# Exit is queued behind the burst, so "selected" at exit shows how far it went.
wt post-hotkey Hotkey1 20 || ow_fail "could not post the burst"
ow_exit_program || ow_die "no clean exit after the burst"
selected=$(reg_get 'HKCU\RZ' selected)
check "a burst of 20 Hotkey1 from row 1 advances 1-3 rows (to row $selected)" test "${selected:-0}" -ge 2 -a "${selected:-0}" -le 4
check_eq "PathToSelected is the current row's file" "$(printf 'C:\\pics\\%02d.jpg' "${selected:-0}")" \
  "$(reg_get 'HKCU\RZ' PathToSelected)"

ow_finish
