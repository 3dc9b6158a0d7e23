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

# The row shown by the bitmap, 0 while there is none.
bitmap_row() {
  local info w
  info=$(bmp_info "$OUT_BMP" 2>/dev/null) || { echo 0; return; }
  w=${info%% *}
  echo $(((w - 400) / 10))
}
row_is() { [ "$(bitmap_row)" = "$1" ]; }

# hotkey_to <atom> <expected row> <description>
hotkey_to() {
  wt post-hotkey "$1" || { ow_fail "$3: could not post $1"; return; }
  if wait_until 15 row_is "$2"; then ow_pass "$3"; else ow_fail "$3: bitmap shows row $(bitmap_row), expected $2"; fi
}

ow_start
wt wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"

# ---- hotkeys ----
hotkey_to Hotkey1 2 "Hotkey1 installs the next row"
check_eq "Hotkey1 sets the desktop's Wallpaper" "$OW_DATA_WIN\\Ostrel Wallpaper.bmp" \
  "$(reg_get 'HKCU\Control Panel\desktop' Wallpaper)"
hotkey_to Hotkey1 3 "a later Hotkey1 moves on again"
hotkey_to Hotkey2 2 "Hotkey2 goes back one step in the history"
hotkey_to Hotkey2 1 "a second Hotkey2 goes back to where it started"

# ---- window hiding and showing ----
wt wait-visible 1 5000 || ow_fail "the window is not visible before the tray checks"
wt post-tray 0x201
check "a tray click hides the window" wt wait-visible 0 10000
wt post-tray 0x201
check "a second tray click shows it again" wt wait-visible 1 10000
wt post-close
check "title-bar close hides the window" wt wait-visible 0 10000
check "title-bar close leaves the program running" kill -0 "$OW_APP_PID"
wt post-tray 0x201
check "a tray click shows the window after a close" wt wait-visible 1 10000
wt post-minimize
check "minimise hides the window to the tray" wt wait-visible 0 10000
check "minimise leaves the program running" kill -0 "$OW_APP_PID"
wt post-tray 0x201
wt wait-visible 1 10000
ow_screenshot window

# ---- a burst of queued Hotkey1 counts about once ----
# Exit is queued behind the burst, so "selected" at exit shows how far it went.
wt post-hotkey Hotkey1 20 || ow_fail "could not post the burst"
ow_exit_program || ow_die "no clean exit after the burst"
selected=$(reg_get 'HKCU\RZ' selected)
if [ "${selected:-0}" -ge 2 ] && [ "${selected:-0}" -le 4 ]; then
  ow_pass "a burst of 20 Hotkey1 advances 1-3 rows (to row $selected)"
else
  ow_fail "a burst of 20 Hotkey1 from row 1 ended at row [$selected], expected 2-4"
fi
check_eq "PathToSelected is the current row's file" "$(printf 'C:\\pics\\%02d.jpg' "${selected:-0}")" \
  "$(reg_get 'HKCU\RZ' PathToSelected)"

ow_finish
