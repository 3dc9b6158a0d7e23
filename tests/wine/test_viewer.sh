#!/usr/bin/env bash
# The full-screen viewer as a user works it: opened on the list's current row
# (an unreadable file skipped), a borderless topmost window of the screen's
# size whose picture covers the screen; the wheel and the list's keys follow
# it one row at a time and run round from the last row to the first; Escape
# and a click close it, the click installing nothing underneath; the wheel
# setting of 3 rows is the user's again after it, also at exit.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"
ow_data_dir

kFullScreen=123  # Command::FullScreen

pics="$WINEPREFIX/drive_c/pics"
mkdir -p "$pics" "$OW_DATA"
solid() {  # file WxH r,g,b
  "$OW_CONVERT" -size "$2" "xc:rgb($3)" -type TrueColor "$1" || ow_die "convert could not make $1"
}
echo "not a picture" >"$pics/broken.jpg"
solid "$pics/magenta.jpg" 1280x1024 200,40,160
solid "BMP3:$pics/green.bmp" 320x240 30,180,60
solid "$pics/blue.jpg" 400x300 40,60,220
# A camera-sized photo: fitted to 1280 x 853, decoded at a reduced scale.
"$OW_CONVERT" -size 6000x4000 gradient:orange-white -type TrueColor "$pics/photo.jpg" || ow_die "no photo"
write_tav "$OW_DATA/Default.tav" 'C:\pics\broken.jpg' '' 'C:\pics\magenta.jpg' '' 'C:\pics\green.bmp' '' \
  'C:\pics\blue.jpg' '' 'C:\pics\photo.jpg' ''
reg_set 'HKCU\RZ' selected 1
reg_set 'HKCU\RZ' kolprokr 3
reg_set 'HKCU\RZ' wid 904
reg_set 'HKCU\RZ' hei 570
reg_set 'HKCU\RZ' left 312

# The program and wintool share one virtual desktop, so that they see each other.
ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"
read -r SW SH <<<"$(wtd screen)"

viewer_visible() { [ "$(wtd window-info TForm1 | cut -d' ' -f1)" = 1 ]; }
viewer_hidden() { [ "$(wtd window-info TForm1 | cut -d' ' -f1)" = 0 ]; }
shot="$OW_DIR/work/screen.png"
grab() { import -display "$DISPLAY" -window root "$shot" >/dev/null 2>&1; }
# share <r,g,b>: the fraction of the screen within 10% of that colour, in percent
share() {
  "$OW_CONVERT" "$shot" -fuzz 10% -fill black +opaque "rgb($1)" -fill white -opaque "rgb($1)" \
    -format '%[fx:int(100*mean)]' info: 2>/dev/null
}
# near <x> <y> <r,g,b>: that screen pixel is within 10% of the colour
near() {
  "$OW_CONVERT" "$shot" -crop "1x1+$1+$2" +repage -fuzz 10% -fill white -opaque "rgb($3)" -fill black \
    +opaque white -format '%[fx:int(mean)]' info: 2>/dev/null | grep -qx 1
}
# shows <r,g,b> <x> <y>: polls until the screen has that colour at the point
shows_now() { grab && near "$2" "$3" "$1"; }
shows() { wait_until 15 shows_now "$@"; }

check "the viewer window exists, hidden, at start" viewer_hidden
wtd post-command $kFullScreen || ow_die "could not ask for the viewer"
wait_until 15 viewer_visible || ow_die "the viewer did not appear"

# ---- a borderless topmost window of the screen's size ----
read -r _ left top right bottom style exstyle <<<"$(wtd window-info TForm1)"
check_eq "the viewer covers the primary screen" "0 0 $SW $SH" "$left $top $right $bottom"
check "it is a popup without caption, frame or border" test $((style & 0x80000000)) -ne 0 -a $((style & 0x00C40000)) -eq 0
check "it is topmost, with no edge" test $((exstyle & 0x8)) -ne 0 -a $((exstyle & 0x301)) -eq 0
on_top=$(for p in "640 512" "0 0" "$((SW - 1)) $((SH - 1))"; do wtd window-at $p; done | sort -u | tr '\n' ' ')
check_eq "it is the window on top at the centre and both corners" "TForm1 " "$on_top"

# ---- the unreadable row 1 skipped: row 2's picture over the whole screen ----
if shows 200,40,160 640 512; then
  ow_screenshot opened
  check "the screen-size picture covers the screen" test "$(share 200,40,160)" -ge 99
else
  ow_fail "the viewer did not show the magenta picture of row 2"
fi

# ---- the wheel over the viewer moves the list one row, not the user's 3 ----
xdotool mousemove 640 512 click 5 || ow_fail "could not turn the wheel"
if shows 30,180,60 640 512; then
  grab
  ow_screenshot wheel
  check "row 3's small picture is centred on black" \
    eval 'near 490 512 30,180,60 && near 470 512 0,0,0 && near 640 390 0,0,0 && near 640 394 30,180,60'
else
  ow_fail "one wheel step did not show row 3's green picture"
fi

# ---- keys in the list drive the viewer: Down, then round from the last row ----
# Typed to whatever has the keyboard, as a user would: the list must have it back.
key() { xdotool key "$1" || ow_fail "could not type $1"; }
key Down
check "Down shows row 4" shows 40,60,220 640 512
key Down
if shows 255,165,0 640 87; then
  ow_screenshot photo
  check "the 6000 x 4000 photo is fitted to 1280 x 853 between black bands" \
    eval 'near 640 84 0,0,0 && near 640 935 255,255,255 && near 640 940 0,0,0 && near 0 512 255,210,128'
else
  ow_fail "Down did not show the photo of row 5 fitted to the screen"
fi
key Down
if shows 200,40,160 640 512; then ow_pass "Down on the last row runs round to row 1, skips it and shows row 2"
else ow_fail "Down on the last row did not bring back row 2"; fi
check "the viewer is still open" viewer_visible

key Escape
if wait_until 10 viewer_hidden; then ow_pass "Escape in the list closes the viewer"; else ow_fail "the viewer is still open after Escape"; fi
check "the window under the centre is no longer the viewer" test "$(wtd window-at 640 512)" != TForm1

# ---- a click on the picture closes it; its release installs nothing below ----
wallpaper="$OW_DATA/Ostrel Wallpaper.bmp"
rm -f "$wallpaper"
read -r cl ct <<<"$(wtd client-origin)"
wtd post-command $kFullScreen
wait_until 15 viewer_visible || ow_die "the viewer did not open again"
sleep 1
# Over the preview, where a bare button release would install the selected picture.
xdotool mousemove $((cl + 184)) $((ct + 191)) click 1 || ow_fail "could not click"
if wait_until 10 viewer_hidden; then ow_pass "a click on the picture closes the viewer"; else ow_fail "the viewer is still open after a click"; fi
sleep 2
check "the click did not reach the preview underneath" test ! -e "$wallpaper"

# ---- exit while open: the user's wheel setting is the one saved ----
wtd post-command $kFullScreen
wait_until 15 viewer_visible || ow_die "the viewer did not open a third time"
wtd post-command 106
ow_wait_exit 30 || ow_fail "the program did not end on Exit"
check_eq "kolprokr is saved as the user's 3" 3 "$(reg_get 'HKCU\RZ' kolprokr)"
ow_finish
