#!/usr/bin/env bash
# The main window as a user sees it at its designed size: the banner, the
# framed preview, the three toolbars and the list; a click in the preview
# installs the selected picture; F1 opens the help with its headings in bold
# blue, and Escape closes it.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"
ow_data_dir

pics="$WINEPREFIX/drive_c/pics"
make_pic "$pics/sea.jpg" 1024x768 blue
make_pic "$pics/meadow.bmp" 640x480 green
make_pic "$pics/wide.jpg" 1000x200 red
mkdir -p "$OW_DATA"
write_tav "$OW_DATA/Default.tav" 'C:\pics\sea.jpg' '' 'C:\pics\meadow.bmp' '' 'C:\pics\wide.jpg' ''
reg_set 'HKCU\RZ' wid 904
reg_set 'HKCU\RZ' hei 570
reg_set 'HKCU\RZ' left 312
reg_set 'HKCU\RZ' selected 1

ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"
sleep 2
read -r cl ct _ <<<"$(wtd client-origin)"
ow_log "client origin $cl,$ct"
[ -n "${ct:-}" ] || ow_die "no client origin of the main window"
shot="$OW_DIR/work/face.png"
import -display "$DISPLAY" -window root "$shot" >/dev/null 2>&1 || ow_die "no screenshot"
ow_screenshot designed

# pixel <x> <y>: "r,g,b" of a point of the client area in the screenshot
pixel() {
  "$OW_CONVERT" "$shot" -crop "1x1+$((cl + $1))+$((ct + $2))" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*srgb(\([0-9]*,[0-9]*,[0-9]*\)).*/\1/p'
}
# bluish <x> <y> <w> <h>: pixels in the box whose blue clearly leads their red
bluish() {
  "$OW_CONVERT" "$shot" -crop "$3x$4+$((cl + $1))+$((ct + $2))" -depth 8 txt:- 2>/dev/null |
    sed -n 's/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1 \2 \3/p' |
    awk '{ if ($3 > $1 + 40 && $3 > 120) n++ } END { print n + 0 }'
}

check "the banner is drawn at the top left" test "$(bluish 0 0 289 90)" -ge 10000
check "the strip continues it to the list" test "$(bluish 290 10 20 70)" -ge 1000
check_eq "the background between the preview and the list" "245,247,249" "$(pixel 300 200)"
# The preview frame: 200 x 150 at 84,116 holds the 1024x768 blue picture whole,
# up to its corner pixels, with a soft grey shadow outside it.
check "the preview shows the selected picture over the whole frame" test "$(bluish 84 116 200 150)" -ge 20000
check "the picture reaches the frame's corners" test "$(bluish 84 116 1 1)$(bluish 283 116 1 1)" = 11
shadowed() { pixel "$1" "$2" | awk -F, '{ exit !($1 < 235 && $1 == $2 - 5) }'; }
check "a shadow frame runs round the preview" shadowed 83 200
check "the playback toolbar shows its four pictures" test "$(bluish 97 306 176 30)" -ge 200
check "the side toolbar shows its three pictures" test "$(bluish 20 120 43 206)" -ge 200
check "the separator stands left of the list" test "$(count_colour "$shot" 210,211,215 $((cl + 310)) $((ct + 100)) 2 300)" -ge 250

# ---- a click in the preview installs the selected entry (row 2) ----
installed() { [ "$(reg_get 'HKCU\Control Panel\desktop' Wallpaper)" = "$OW_DATA_WIN\\Ostrel Wallpaper.bmp" ]; }
mouse main 0x201 150 60 && mouse main 0x202 184 191 || ow_fail "could not press on the banner"
sleep 2
check "a press on the banner released over the preview installs nothing" eval '! installed'
mouse main 0x201 184 191 && mouse main 0x202 184 191 || ow_fail "could not click the preview"
check "a click in the preview installs the selected picture" wait_until 20 installed
check_eq "and it is the selected one (the 1024x768 sea)" "1024 768 24 0" "$(bmp_info "$OW_DATA/Ostrel Wallpaper.bmp")"

# ---- F1: the help with its headings in bold blue ----
wtd keys 0x70 || ow_fail "could not type F1"
wtd wait-dialog "Помощь" 15000 || ow_die "F1 did not open the help"
sleep 1
import -display "$DISPLAY" -window root "$shot" >/dev/null 2>&1
ow_screenshot help
# Text lines inside the help (runs of rows holding the body's navy or the
# headings' blue): the four headings on the first page are blue through and
# through, and no other line holds any blue.
read -r _ hl ht hr hb _ <<<"$(wtd window-info OstrelHelpWindow)"
lines=$("$OW_CONVERT" "$shot" -crop "$((hr - hl - 40))x$((hb - ht - 40))+$((hl + 8))+$((ht + 32))" +repage txt:- |
  awk -F'[,:]' '/#226EDF/ { b[$2]++ } /#000080/ { n[$2]++ } $2 > last { last = $2 }
    END { for (y = 0; y <= last + 1; y++) {
            if (b[y] + n[y] > 0) { blue += b[y]; navy += n[y]; inked = 1; continue }
            if (inked) print (blue > 0 ? (navy > 0 ? "mixed" : "heading") : "body"); blue = navy = inked = 0 } }' |
  sort | uniq -c | awk '{ printf "%s=%s ", $2, $1 }')
ow_log "help text lines: $lines"
check "the first page shows four headings in blue and nothing else blue" \
  eval '[[ "$lines" == *"heading=4 "* && "$lines" != *mixed* && "$lines" == *body=* ]]'
wtd keys --to "Помощь" 0x1B
closed() { ! wtd wait-dialog "Помощь" 100; }
check "Escape closes the help" wait_until 10 closed

wtd post-command 106
ow_wait_exit 30 || ow_fail "the program did not end on Exit"
ow_finish
