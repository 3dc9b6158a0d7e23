#!/usr/bin/env bash
# A 3840 x 2160 screen at 150 % and 200 %: the program works in the screen's
# real pixels, whatever the scaling. A 6000 x 4000 picture fitted to the
# screen is made 3240 x 2160 (not fitted to a scaled-down screen and blown up
# by the system), and a picture of 3840 x 2160 is the screen's size: green.
export OW_SCREEN_SIZE=3840x2160
source "$(dirname "$0")/lib.sh"
ow_setup "$@"
ow_data_dir

pics="$WINEPREFIX/drive_c/pics"
make_pic "$pics/screen.jpg" 3840x2160 blue
make_pic "$pics/big.jpg" 6000x4000 red
mkdir -p "$OW_DATA"
OUT_BMP="$OW_DATA/Ostrel Wallpaper.bmp"
reg_set 'HKCU\RZ' prop 1
logpixels() { wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 || ow_die "LogPixels $1"; }

# fitted_at <dpi>: row 1 current, so the change installs row 2, the big one, fitted.
fitted_at() {
  logpixels "$1"
  write_tav "$OW_DATA/Default.tav" 'C:\pics\screen.jpg' '    3840x2160' 'C:\pics\big.jpg' '    6000x4000'
  reg_set 'HKCU\RZ' selected 1
  rm -f "$OUT_BMP"
  check_eq "at $1 DPI the change ends by itself" "ended exit=0 dialogs=0 shown=0" \
    "$(wt run 60000 "$OW_EXE_WIN" ' -a-' 2>>"$OW_DIR/app.log")" || return
  check_eq "at $1 DPI the 6000 x 4000 picture is fitted to the screen's real 3840 x 2160" "3240 2160 24 0" \
    "$(bmp_info "$OUT_BMP")"
}
fitted_at 192
fitted_at 144

# ---- the green mark, at 144 DPI ----
write_tav "$OW_DATA/Default.tav" 'C:\pics\screen.jpg' '    3840x2160' 'C:\pics\big.jpg' '    6000x4000'
reg_set 'HKCU\RZ' selected 2  # the big one selected: row 1 is neither selected nor current
ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"
sleep 2
read -r gl gt gr _ <<<"$(wtd grid-rect)"
[ -n "${gr:-}" ] || ow_die "no rectangle of the list"
shot="$OW_DIR/work/4k.png"
import -display "$DISPLAY" -window root "$shot" >/dev/null 2>&1 || ow_die "no screenshot"
ow_screenshot list
# Rows are 23 pixels high at 144 DPI; row 1 is under the header.
check "the 3840x2160 picture's resolution is green" \
  test "$(count_colour "$shot" 10,200,10 "$gl" "$((gt + 23))" "$((gr - gl))" 23)" -ge 20
check "the 6000x4000 one's is not" \
  test "$(count_colour "$shot" 10,200,10 "$gl" "$((gt + 46))" "$((gr - gl))" 23)" -eq 0
wtd post-command 106
ow_wait_exit 30 || ow_fail "the program did not end on Exit"
ow_finish
