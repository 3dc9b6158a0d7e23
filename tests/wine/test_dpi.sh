#!/usr/bin/env bash
# The windows at 144 DPI (150 %): Wine reports the prefix's LogPixels to the
# program, which lays out every designed length scaled by 1.5. The main
# window's client area of 896 x 516 at 96 DPI becomes 1344 x 774, the list's
# rows 23 pixels high, the options 648 x 507, the download browser 686 x 644,
# Help 990 x 659 and About 543 x 354; the stored window size comes back as it
# was, in designed units. Told by WM_DPICHANGED that it is now at 192 DPI
# (moved to another monitor), each window lays itself out again at twice its
# designed size, and the main window goes back to 144 DPI as it was. Started
# at 120 DPI, it keeps the stored size too.
export OW_SCREEN_SIZE=1920x1200  # room for the scaled main window
source "$(dirname "$0")/lib.sh"
ow_setup "$@"
ow_data_dir

make_catalogue 4
ow_serve_catalogue "$OW_DIR/www"
pics="$WINEPREFIX/drive_c/pics"
make_pic "$pics/sea.jpg" 1024x768 blue
make_pic "$pics/meadow.bmp" 640x480 green
mkdir -p "$OW_DATA"
write_tav "$OW_DATA/Default.tav" 'C:\pics\sea.jpg' '' 'C:\pics\meadow.bmp' '' 'C:\pics\gone.jpg' ''
# Wine's frame and menu bar are 46 pixels high at 96 DPI: this outer size
# gives the designed client area there.
reg_set 'HKCU\RZ' wid 904
reg_set 'HKCU\RZ' hei 562
reg_set 'HKCU\RZ' left 312
reg_set 'HKCU\RZ' selected 1

ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"
sleep 1
check_eq "at 96 DPI the client area is the designed 896 x 516" "896 516" "$(wtd client-size TMainForm)"
wtd post-command 106
ow_wait_exit 30 || ow_die "the program did not end on Exit"

wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 || ow_die "LogPixels"
ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s at 144 DPI"
sleep 2
check_eq "at 144 DPI the same stored size gives 1.5 times the client area" "1344 774" "$(wtd client-size TMainForm)"
read -r cl ct _ <<<"$(wtd client-origin)"
read -r gl gt _ <<<"$(wtd grid-rect)"
[ -n "${ct:-}" ] && [ -n "${gt:-}" ] || ow_die "no client origin of the main window or the list"
shot="$OW_DIR/work/face.png"
import -display "$DISPLAY" -window root "$shot" >/dev/null 2>&1 || ow_die "no screenshot"
ow_screenshot main

# colours <screen x> <screen y> <height>: the colours of a column of pixels, one a line
colours() { "$OW_CONVERT" "$shot" -crop "1x$3+$1+$2" -depth 8 txt:- 2>/dev/null | sed -n 's/.*\(#[0-9A-F]\{6\}\).*/\1/p'; }
# The selected first row is the only band of the highlight's colour at the
# list's top: the colour at y = 34, counted down the number column.
highlight=$(colours $((gl + 45)) $((gt + 34)) 1)
band=$(colours $((gl + 45)) "$gt" 80 | grep -c -x -F "$highlight")
check_eq "the list's selected row is 15 pixels high scaled" 23 "$band"

# selected_band: the height of the selected row's band at the list's top, now
selected_band() {
  read -r gl gt _ <<<"$(wtd grid-rect)"
  import -display "$DISPLAY" -window root "$shot" >/dev/null 2>&1 || ow_die "no screenshot"
  colours $((gl + 45)) "$gt" 80 | grep -c -x -F "$highlight"
}
# at_dpi <class|caption> <dpi>: WM_DPICHANGED to the window, then its client area
at_dpi() {
  # Once more after a pause: on a loaded machine a dialog has been seen to miss the first.
  wtd dpi-changed "$1" "$2" || { sleep 1 && wtd dpi-changed "$1" "$2"; } || ow_fail "could not send WM_DPICHANGED $2 to $1"
  sleep 0.5
  wtd client-size "$1"
}
check_eq "moved to 192 DPI, the main window's client area is twice the designed" "1792 1032" "$(at_dpi TMainForm 192)"
check_eq "and the list's rows are 30 pixels high" 30 "$(selected_band)"
ow_screenshot main-192
check_eq "back at 144 DPI, the client area is as it was" "1344 774" "$(at_dpi TMainForm 144)"
check_eq "and the rows too" 23 "$(selected_band)"
bluish() {
  "$OW_CONVERT" "$shot" -crop "$3x$4+$((cl + $1))+$((ct + $2))" -depth 8 txt:- 2>/dev/null |
    sed -n 's/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1 \2 \3/p' |
    awk '{ if ($3 > $1 + 40 && $3 > 120) n++ } END { print n + 0 }'
}
check "the banner is drawn at its scaled size" test "$(bluish 0 0 434 135)" -ge 22500
check "the preview fills its scaled frame of 300 x 225" test "$(bluish 126 174 300 225)" -ge 45000
check "up to its top corners" test "$(bluish 126 174 1 1)$(bluish 425 174 1 1)$(bluish 125 174 1 1)" = 110

# The pictures are those drawn for 150 %, pixel for pixel, not those of 100 %
# enlarged (soft, or every third row repeated): the banner, the panel's right
# end with its toolbars' background, and the add button's picture with its
# words in the list's size, whose clear pixels show the panel.
art="$(dirname "$0")/../../resources/art/150"
# same_as <what> <client x> <y> <drawing> <size> [left of the drawing's piece] [mask]: no pixel differs, no row repeats
same_as() {
  "$OW_CONVERT" "$shot" -crop "$5+$((cl + $2))+$((ct + $3))" +repage -depth 8 "rgb:$OW_DIR/work/shot.rgb" &&
    "$OW_CONVERT" "$art/$4" -crop "$5+${6:-0}+0" +repage -depth 8 "rgb:$OW_DIR/work/drawn.rgb" ||
    { ow_fail "$1: no pixels"; return; }
  check_eq "$1 is the drawing for 150 %" "0 0" "$(python3 "$(dirname "$0")/compare_art.py" "$OW_DIR/work/shot.rgb" \
    "$OW_DIR/work/drawn.rgb" "${5%x*}" "${5#*x}" ${7:-})"
}
same_as "the banner" 0 0 header.bmp 434x146
# The list's edge (312 stored, 468 scaled) decides the preview's width, and the
# panel and the toolbars follow it.
w=$((468 - 168))
panel_top=$((174 + w * 3 / 4 + 36))
# Its last 16 columns, right of the toolbars: the rounded corners, the edge and the rule.
same_as "the control panel's right end" $((128 + w - 16)) "$panel_top" panel-right.bmp 16x170 283
same_as "the add button's picture" $((128 + w / 2 - 132 + 5)) $((panel_top + 108 + 2 + 5)) tb-list.bmp 120x24 0 ff00ff

# ---- the placeholder of a missing file, as drawn for the scale ----
# The last row names no file. The placeholder, 300 x 150 as drawn for 150 %,
# fills the preview's width pixel for pixel, 38 pixels down (bands above and
# below); moved to 192 DPI, the preview shows the one drawn for 200 %.
# placeholder_is <percent> <preview's left> <top>: the preview's pixels against
# that drawing, decoded by another copy of the JPEG library: at most a few
# pixels differ by a step of rounding, and no row repeats
placeholder_is() {
  local size=$((2 * $1))x$1
  read -r cl ct _ <<<"$(wtd client-origin)"
  import -display "$DISPLAY" -window root "$shot" >/dev/null 2>&1 || ow_die "no screenshot"
  "$OW_CONVERT" "$shot" -crop "$size+$((cl + $2))+$((ct + $3))" +repage -depth 8 "rgb:$OW_DIR/work/shot.rgb" &&
    "$OW_CONVERT" "$art/../$1/placeholder.jpg" -depth 8 "rgb:$OW_DIR/work/drawn.rgb" || { ow_fail "no pixels"; return; }
  read -r differ repeated <<<"$(python3 "$(dirname "$0")/compare_art.py" "$OW_DIR/work/shot.rgb" \
    "$OW_DIR/work/drawn.rgb" "${size%x*}" "${size#*x}")"
  check "at $1 %, the placeholder is its drawing for $1 % ($differ pixels differ, $repeated rows repeat)" \
    test "${differ:-99999}" -le 30 -a "${repeated:-1}" = 0
}
wtd keys --to "Ostrel Wallpapers" 0x23 || ow_fail "could not press End"
sleep 1.5
placeholder_is 150 126 $((174 + 38))
at_dpi TMainForm 192 >/dev/null
sleep 1
placeholder_is 200 168 $((232 + 50))
at_dpi TMainForm 144 >/dev/null

# ---- the options and the download browser ----
wtd post-command 107 || ow_fail "could not open the options"
wtd wait-dialog "Настройки" 10000 >/dev/null || ow_die "the options did not open"
sleep 1
check_eq "the options' client area is 432 x 338 scaled" "648 507" "$(wtd client-size TOptionsForm)"
ow_screenshot options
# On the page "Интернет" (TCM_SETCURFOCUS selects it as a click would), whose
# folder button shows the shell's folder picture at the small icon size.
wtd send "Настройки" 1000 0x1330 2 0 >/dev/null || ow_fail "could not turn to the page Интернет"
check_eq "the options at 192 DPI" "864 676" "$(at_dpi TOptionsForm 192)"
# icon_width: how wide the picture on the folder button is: what is not the
# button's face inside its edges
icon_width() {
  read -r _ _ bl bt br bb _ <<<"$(wtd item "Настройки" 1036)"
  import -display "$DISPLAY" -window root "$shot" >/dev/null 2>&1 || ow_die "no screenshot"
  "$OW_CONVERT" "$shot" -crop "$((br - bl))x$((bb - bt))+$bl+$bt" +repage -shave 4x4 -fuzz 8% -trim \
    -format '%w' info: 2>/dev/null
}
check "the folder button's picture is the icon for 192 DPI, wider than 144's 24 pixels ($(icon_width) across)" \
  test "$(icon_width)" -ge 26
# The interval field, designed at 92, 66 and 50 x 21 in the client area.
read -r ox oy <<<"$(wtd client-origin-of TOptionsForm)"
read -r _ _ fl ft fr fb _ <<<"$(wtd item "Настройки" 1012)"
check_eq "with their controls: the interval field at twice its place and size" "184 132 100 42" \
  "$((fl - ox)) $((ft - oy)) $((fr - fl)) $((fb - ft))"
ow_screenshot options-192
wtd keys --to "Настройки" 0x1B || ow_fail "could not press Escape in the options"
options_gone() { ! wtd wait-dialog "Настройки" 0 >/dev/null; }
wait_until 10 options_gone || ow_fail "the options did not close"
open_browser
wait_until 30 eval '[ -f "$OW_DATA/download/demo-004.jpg" ]' || ow_fail "the previews did not arrive"
sleep 1
check_eq "the browser's client area is 457 x 429 scaled" "686 644" "$(wtd client-size TLoadForm)"
ow_screenshot browser
# The first preview (138 x 77, at 50, 48) is scaled with the page: 207 pixels
# of picture across its place, not 138 and white beside them.
read -r bx by <<<"$(wtd client-origin-of TLoadForm)"
import -display "$DISPLAY" -window root "$shot" >/dev/null 2>&1 || ow_die "no screenshot"
coloured=$("$OW_CONVERT" "$shot" -crop "240x1+$((bx + 75))+$((by + 112))" -depth 8 txt:- 2>/dev/null |
  grep -v '^#' | grep -c -v '#FFFFFF')
check "the first preview is scaled with the page ($coloured pixels across)" test "$coloured" -ge 200 -a "$coloured" -le 207
# status_height: the height of the browser's status bar
status_height() { read -r _ _ _ st _ sb _ <<<"$(wtd item TLoadForm 5)" && echo $((sb - st)); }
status_144=$(status_height)
check_eq "the browser at 192 DPI" "914 858" "$(at_dpi TLoadForm 192)"
sleep 1
check "with the status bar's font: its bar grows ($status_144 to $(status_height) pixels)" \
  test "$(status_height)" -gt "${status_144:-999}"
ow_screenshot browser-192
close_browser
# modal <command> <caption> <class> <expected client size> <at 192 DPI>: opened
# from the menu, measured, moved to 192 DPI and measured, closed by Escape
modal() {
  local caption=$2
  wtd post-command "$1" || ow_fail "could not post command $1"
  wtd wait-dialog "$2" 10000 >/dev/null || { ow_fail "$2 did not open"; return; }
  sleep 1
  check_eq "$2: its client area is scaled" "$4" "$(wtd client-size "$3")"
  ow_screenshot "$3"
  check_eq "$2: at 192 DPI" "$5" "$(at_dpi "$3" 192)"
  ow_screenshot "$3-192"
  wtd keys --to "$2" 0x1B || ow_fail "could not press Escape in $2"
  gone() { ! wtd wait-dialog "$caption" 0 >/dev/null; }
  wait_until 10 gone || ow_fail "$2 did not close"
}
modal 108 "Помощь" OstrelHelpWindow "990 659" "1320 878"
modal 109 "О программе" OstrelAboutBox "543 354" "724 472"
modal 115 "Открытие папки" "Открытие папки" "480 498" "640 664"

wtd post-command 106
ow_wait_exit 30 || ow_fail "the program did not end on Exit"
check_eq "the window's size and the list's edge are stored as they were read" "904 562 312" \
  "$(reg_get 'HKCU\RZ' wid) $(reg_get 'HKCU\RZ' hei) $(reg_get 'HKCU\RZ' left)"

# ---- started at 120 DPI (125 %): the same window, 1.25 times the client area ----
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 120 /f >/dev/null 2>&1 || ow_die "LogPixels"
ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s at 120 DPI"
sleep 2
check_eq "at 120 DPI the stored size gives 1.25 times the client area" "1120 645" "$(wtd client-size TMainForm)"
wtd post-command 106
ow_wait_exit 30 || ow_fail "the program did not end on Exit at 120 DPI"
check_eq "and the size is stored as it was read" "904 562 312" \
  "$(reg_get 'HKCU\RZ' wid) $(reg_get 'HKCU\RZ' hei) $(reg_get 'HKCU\RZ' left)"
ow_finish
