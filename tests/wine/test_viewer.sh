#!/usr/bin/env bash
# The full-screen viewer as a user works it: opened on the list's current row
# (an unreadable file skipped), a borderless topmost window of the screen's
# size whose picture covers the screen and stays in front; the wheel and the
# list's keys follow it one row at a time; Escape and a click close it, the
# click installing nothing underneath. A question or message raised in it stands
# in front of it and takes the keys; the windows its shortcuts open (save and
# open dialogs, Help, the settings, the download browser) close it first.
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
write_tav "$OW_DATA/Default.tav" 'C:\pics\broken.jpg' '' 'C:\pics\magenta.jpg' '' 'C:\pics\green.bmp' '' \
  'C:\pics\blue.jpg' ''
reg_set 'HKCU\RZ' selected 1
reg_set 'HKCU\RZ' kolprokr 3
reg_set 'HKCU\RZ' wid 904
reg_set 'HKCU\RZ' hei 570
reg_set 'HKCU\RZ' left 312

# No catalogue: the download browser says so at once.
export OSTREL_CATALOGUE_URL=http://127.0.0.1:9/
# The program and wintool share one virtual desktop, so that they see each other.
ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"
read -r SW SH <<<"$OW_SCREEN"

viewer_is() { [ "$(wtd window-info TForm1 | cut -d' ' -f1)" = "$1" ]; }  # 1 shown, 0 hidden
shot="$OW_DIR/work/screen.png"
grab() { import -display "$DISPLAY" -window root "$shot" >/dev/null 2>&1; }
# near <x> <y> <r,g,b>: that screen pixel is within 10% of the colour
near() {
  "$OW_CONVERT" "$shot" -crop "1x1+$1+$2" +repage -fuzz 10% -fill white -opaque "rgb($3)" -fill black \
    +opaque white -format '%[fx:int(mean)]' info: 2>/dev/null | grep -qx 1
}
# shows <r,g,b> <x> <y>: polls until the screen has that colour at the point
shows_now() { grab && near "$2" "$3" "$1"; }
shows() { wait_until 15 shows_now "$@"; }

wtd post-command $kFullScreen || ow_die "could not ask for the viewer"
wait_until 15 viewer_is 1 || ow_die "the viewer did not appear"

# ---- a borderless topmost window of the screen's size ----
read -r _ left top right bottom style exstyle <<<"$(wtd window-info TForm1)"
check_eq "the viewer covers the primary screen" "0 0 $SW $SH" "$left $top $right $bottom"
check "it is a popup without caption, frame or border" test $((style & 0x80000000)) -ne 0 -a $((style & 0x00C40000)) -eq 0
check "it is topmost, with no edge" test $((exstyle & 0x8)) -ne 0 -a $((exstyle & 0x301)) -eq 0

# ---- the unreadable row 1 skipped: row 2's picture over the whole screen ----
if ! check "the viewer shows row 2's screen-size picture, corner to corner" \
  eval 'shows 200,40,160 640 512 && near 0 0 200,40,160 && near 1279 1023 200,40,160'; then
  # Whether Windows or only the X side has another window above the viewer.
  ow_log "windows, topmost first: $(wtd stack | tr '\n' ';')"
  ow_log "X window tree: $(xwininfo -display "$DISPLAY" -root -tree 2>/dev/null | grep -o '0x[0-9a-f]* "[^"]*": ([^)]*) *[0-9]*x[0-9]*' | tr -s ' \n' ' ')"
fi
ow_screenshot opened

# ---- it stays in front when the X side puts the main window above it ----
# Wine's virtual desktop can do that (it did when the viewer opened just after
# start), while Windows still has the viewer on top.
read -r _ ml mt mr mb _ <<<"$(wtd window-info TMainForm)"
main_x=$(xdotool search --onlyvisible --name '^Ostrel Wallpapers$' | head -1)
xdotool windowraise "$main_x" || ow_fail "could not raise the main window's X window"
check "the viewer comes back in front of the main window raised above it" \
  shows 200,40,160 $(((ml + mr) / 2)) $(((mt + mb) / 2))

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

# ---- keys in the list drive the viewer ----
# Typed to whatever has the keyboard, as a user would: the list must have it back.
key() { xdotool key "$1" || ow_fail "could not type $1"; }
key Down
check "Down shows row 4" shows 40,60,220 640 512
key Escape
check "Escape in the list closes the viewer" wait_until 10 viewer_is 0

# ---- a click on the picture closes it; its release installs nothing below ----
wallpaper="$OW_DATA/Ostrel Wallpaper.bmp"
rm -f "$wallpaper"
read -r cl ct <<<"$(wtd client-origin)"
wtd post-command $kFullScreen
wait_until 15 viewer_is 1 || ow_die "the viewer did not open again"
sleep 1
# Over the preview, where a bare button release would install the selected picture.
xdotool mousemove $((cl + 184)) $((ct + 191)) click 1 || ow_fail "could not click"
check "a click on the picture closes the viewer" wait_until 10 viewer_is 0
sleep 2
check "the click did not reach the preview underneath" test ! -e "$wallpaper"

# ---- the delete question stands in front of the viewer and takes the keys ----
open_viewer() {
  viewer_is 1 && return
  wtd post-command $kFullScreen
  wait_until 15 viewer_is 1 || ow_die "the viewer did not open"
  sleep 1
}
# front_is <class> <owner class>: the program's foremost window is the
# foreground window, of that class and owner.
front_is() { wtd front | grep -q "^fg=$1 top=$1 owner=$2 "; }
stack_log() { ow_log "front: $(wtd front); windows: $(wtd stack | tr '\n' ';')"; }
open_viewer
check "the viewer shows row 4's blue picture" shows 40,60,220 640 512
key shift+Delete
check "Shift+Delete asks in a box owned by the viewer, in front, with the keyboard" \
  wait_until 10 front_is '#32770' TForm1 || stack_log
grab
ow_screenshot question
read -r _ bl bt br bb _ <<<"$(wtd window-info '#32770')"
check "the question is seen over the picture" eval '! near $(((bl + br) / 2)) $(((bt + bb) / 2)) 40,60,220'
key Escape
question_gone() { ! front_is '#32770' TForm1; }
check "Escape answers the question" wait_until 10 question_gone
check "and not the list: the viewer stays, the file too" eval 'viewer_is 1 && test -f "$pics/blue.jpg"'
key Up
check "the list has the keyboard back: Up shows row 3" shows 30,180,60 640 512

# ---- so does a message: the list cannot be saved after Delete ----
rm -f "$OW_DATA/Default.tav" && mkdir "$OW_DATA/Default.tav"  # nothing can be moved over a folder
key Delete
check "a failed save's message stands in front of the viewer, with the keyboard" \
  wait_until 10 front_is '#32770' TForm1 || stack_log
key Escape
check "Escape closes the message, and the viewer stays" \
  eval "wait_until 10 eval \"! front_is '#32770' TForm1\" && viewer_is 1"
rmdir "$OW_DATA/Default.tav"

# ---- windows the viewer's shortcuts open: it closes first ----
# opens_in_front <keys> <class> <owner class>: typed in the viewer, the keys
# close it and open that window in front, with the keyboard.
opens_in_front() {
  open_viewer
  key "$1"
  check "$1 in the viewer: $2 in front, with the keyboard" wait_until 15 front_is "$2" "$3" || stack_log
  check "$1 closed the viewer first" viewer_is 0
}
escape_closes() {
  key Escape
  check "Escape reaches $1" wait_until 10 eval "! front_is '$1' '$2'"
}
for k in ctrl+s ctrl+o; do opens_in_front "$k" '#32770' TMainForm && escape_closes '#32770' TMainForm; done
opens_in_front F1 OstrelHelpWindow TMainForm && escape_closes OstrelHelpWindow TMainForm
opens_in_front F10 TOptionsForm TMainForm && escape_closes TOptionsForm TMainForm
# No catalogue: its message stands over the browser.
opens_in_front ctrl+d '#32770' TLoadForm && escape_closes '#32770' TLoadForm
check "then the browser is in front" wait_until 10 front_is TLoadForm TMainForm && escape_closes TLoadForm TMainForm

wtd post-command 106
ow_wait_exit 30 || ow_fail "the program did not end on Exit"
ow_finish
