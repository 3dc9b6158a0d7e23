#!/usr/bin/env bash
# An entry whose file cannot be reached (a network share that is off) never
# holds up the window. The current entry is a terminal nobody types into, so
# reading it blocks (Wine opens a named pipe without waiting and reads it as
# empty; a terminal it reads as it is): at start it is selected, probed and
# previewed, and the window goes on answering WM_NULL round trips throughout. The row selected
# next is still read and previewed beside it, and Exit still ends the program
# promptly with the list saved.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"
ow_data_dir
winpath() { printf 'Z:%s' "${1//\//\\}"; }

pics="$WINEPREFIX/drive_c/pics"
make_pic "$pics/a.jpg" 640x480 blue
make_pic "$pics/b.jpg" 800x600 green
# The terminal stays open, silent, until the test ends.
python3 - "$pics/dead.jpg" <<'PY' &
import os, pty, sys, time
main, other = pty.openpty()
os.symlink(os.ttyname(other), sys.argv[1])
os.close(other)
time.sleep(3600)
PY
OW_PIDS+=($!)
wait_until 10 test -L "$pics/dead.jpg" || ow_die "no terminal for the dead entry"
mkdir -p "$OW_DATA"
write_tav "$OW_DATA/Default.tav" 'C:\pics\a.jpg' '' 'C:\pics\dead.jpg' '' 'C:\pics\b.jpg' ''
reg_set 'HKCU\RZ' selected 2
reg_set 'HKCU\RZ' playstat 1  # no change: the installed wallpaper would read the pipe too

ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"
wtd answers "$(winpath "$OW_DIR/answers.stop")" 200 >"$OW_DIR/answers" 2>&1 &
OW_PIDS+=($!)
sleep 3  # the walk and the preview are now held by the terminal

read -r cl ct <<<"$(wtd client-origin)"
shot="$OW_DIR/work/shot.png"
mkdir -p "$OW_DIR/work"
# bluish: pixels of the preview's side of the window, under the banner, whose blue clearly leads their red
bluish() {
  import -display "$DISPLAY" -window root "$shot" >/dev/null 2>&1
  "$OW_CONVERT" "$shot" -crop "300x300+$cl+$((ct + 100))" -depth 8 txt:- 2>/dev/null |
    sed -n 's/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1 \2 \3/p' |
    awk '{ if ($3 > $1 + 40 && $3 > 120) n++ } END { print n + 0 }'
}
before=$(bluish)
ow_screenshot blocked-read-selected

# Up: row 1 is selected, read and previewed beside the blocked reads.
wtd keys --to "Ostrel Wallpapers" 0x26 || ow_fail "could not press Up"
preview_blue() { [ "$(bluish)" -ge 10000 ]; }
check "the blue picture selected next is previewed beside the blocked decode (blue pixels before: $before)" \
  wait_until 10 preview_blue
ow_screenshot selected-beside-the-blocked-read

touch "$OW_DIR/answers.stop"
wait_until 10 eval '[ -s "$OW_DIR/answers" ]'
check "the window answered WM_NULL within 200 ms throughout ($(head -n1 "$OW_DIR/answers"))" \
  grep -q 'over=0$' "$OW_DIR/answers"

started=$SECONDS
wtd post-command 106 || ow_die "could not post Exit"
ow_wait_exit 30 || ow_die "the program did not end within 30 s of Exit"
check "Exit ended the program within 15 s although reads are blocked ($((SECONDS - started)) s)" \
  test $((SECONDS - started)) -lt 15

resolutions=$(tr -d '\r' <"$OW_DATA/Default.tav" | iconv -f cp1251 -t utf-8 | sed -n '2p;4p' | tr -s ' ' | paste -sd'|')
check_eq "the selected row was read beside the blocked one, which kept its text" " 640x480||" "$resolutions|"
ow_finish
