#!/usr/bin/env bash
# The list as a user works it: adding a folder through the folder chooser
# (reopened at the folder chosen last, with and without subfolders), the red
# current row, a green screen-size resolution and the sort arrow on the
# screen, sorting by a header click, Delete and Shift+Delete with the
# question answered, all checked in "Default.tav". Then, on a list of 40:
# start-up with entry 35 current fills the grid down to its bottom; the header
# lights only under the pointer and a double click on row 1 installs it; a
# held Delete, Shift+Delete, Ctrl+Shift+Delete or Ctrl+S acts once, and a held
# Enter does not answer the question it opened.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"
ow_data_dir

LIST="$OW_DATA/Default.tav"
paths() { python3 -c '
import sys
lines = open(sys.argv[1], "rb").read().decode("cp1251").split("\r\n")
print(" ".join(p.replace("C:\\pics\\", "") for p in lines[0::2] if p))' "$LIST" 2>/dev/null; }
entries_are() { [ "$(paths | wc -w)" = "$1" ]; }

pics="$WINEPREFIX/drive_c/pics"
make_pic "$pics/b.jpg" 640x480 blue
make_pic "$pics/a.jpg" 1280x1024 green     # the screen's size: green
make_pic "$pics/Ёлка.bmp" 300x200 red
make_pic "$pics/c.jpg" 800x600 purple
make_pic "$pics/sub/d.jpg" 400x300 yellow
echo "not a picture" >"$pics/notes.txt"
mkdir -p "$OW_DATA"
reg_set 'HKCU\RZ' lastopen 'C:\pics\'
reg_set 'HKCU\RZ' PathToSelected 'C:\pics\b.jpg'

ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"

# ---- a folder through the chooser, without its subfolders ----
add_folder() {  # toggle the check box first: yes/no
  wtd post-command 115 || ow_die "could not ask for the folder chooser"
  wtd wait-dialog "Открытие папки" 15000 || ow_die "the folder chooser did not open"
  [ "$1" = yes ] && { wtd click "Открытие папки" "Включая подкаталоги" || ow_fail "no check box"; sleep 0.5; }
  wtd click "Открытие папки" "ОК" || ow_die "no OK button"
}
add_folder yes  # checked at first: unchecked now
check "the chooser reopened at lastopen added its 4 pictures, not the subfolder's" wait_until 20 entries_are 4 ||
  ow_log "Default.tav holds [$(paths)]"
# ---- and again with them: the check box kept its state, the tree its place ----
add_folder yes
check "adding again with subfolders appends 5 more" wait_until 20 entries_are 9 || ow_log "Default.tav holds [$(paths)]"
check "the subfolder's picture is among them" grep -q 'sub.d\.jpg' "$LIST"

# ---- sort by name from the header, then look at the screen ----
mouse grid 0x202 100 5 || ow_fail "could not click the header"
sleep 2  # the prober fills the resolutions meanwhile
read -r gl gt gr gb <<<"$(wtd grid-rect)"
shot="$OW_DIR/work/grid.png"
import -display "$DISPLAY" -window root "$shot" >/dev/null 2>&1 || ow_die "no screenshot"
ow_screenshot sorted
# Rows in ascending order: a a b b c c sub\d Ёлка Ёлка (row 1 under the header).
row_y() { echo $((gt + 15 * $1)); }
width=$((gr - gl))
red_rows=""
for r in 1 2 3 4 5 6 7 8 9; do
  [ "$(count_colour "$shot" 255,0,0 "$gl" "$(row_y "$r")" "$width" 15)" -ge 20 ] && red_rows="$red_rows $r"
done
check_eq "the rows of the current wallpaper (b.jpg twice) are red" " 3 4" "$red_rows"
check "the screen-size resolution of a.jpg is green" \
  test "$(count_colour "$shot" 10,200,10 "$((gr - 110))" "$(row_y 1)" 110 30)" -ge 20
check "the header shows the grey sort arrow" test "$(count_colour "$shot" 128,128,128 "$gl" "$gt" "$width" 15)" -ge 20
check "no arrow pixels below the header" test "$(count_colour "$shot" 128,128,128 "$gl" "$((gt + 15))" "$width" 135)" -eq 0

# ---- Delete, Shift+Delete answered No, then Yes ----
click_row() { mouse grid 0x201 100 $((15 * $1 + 7)) && mouse grid 0x202 100 $((15 * $1 + 7)); }
click_row 7  # sub\d.jpg
wtd keys 0x2E || ow_fail "could not type Delete"
check "Delete removes the row and saves the list" wait_until 10 entries_are 8
check "Delete keeps the file" test -f "$pics/sub/d.jpg"

click_row 5  # c.jpg
wtd keys +0x10 0x2E -0x10 || ow_fail "could not type Shift+Delete"
wtd wait-dialog "Вы собираетесь удалить файл" 10000 || ow_die "no question before deleting a file"
wtd click "Вы собираетесь удалить файл" "#7"  # No
sleep 1
check "No keeps the file" test -f "$pics/c.jpg"
check "and the list" entries_are 8
click_row 5
wtd keys +0x10 0x2E -0x10
wtd wait-dialog "Вы собираетесь удалить файл" 10000 || ow_die "no question the second time"
wtd click "Вы собираетесь удалить файл" "#6"  # Yes
check "Yes deletes the file" wait_until 10 test ! -f "$pics/c.jpg"

# ---- exit: the sorted list, less what was removed, is what is saved ----
wtd post-command 106
ow_wait_exit 30 || ow_fail "the program did not end on Exit"
check_eq "the saved list is in name order without the removed rows" \
  "a.jpg a.jpg b.jpg b.jpg c.jpg Ёлка.bmp Ёлка.bmp" "$(paths)"

# ==== a list of 40 in the default 800x472 window, entry 35 current ====
held="$WINEPREFIX/drive_c/held"
make_pic "$held/h1.jpg" 320x200 orange  # told apart from the others by its size once installed
make_pic "$held/h2.jpg" 64x48 blue
entries=()
for i in $(seq 1 40); do
  [ "$i" -gt 2 ] && cp "$held/h2.jpg" "$held/h$i.jpg"
  entries+=("C:\\held\\h$i.jpg" '')
done
write_tav "$LIST" "${entries[@]}"
reg_set 'HKCU\RZ' selected 35
reg_set 'HKCU\RZ' PathToSelected 'C:\held\h35.jpg'
reg_set 'HKCU\RZ' wid 800
reg_set 'HKCU\RZ' hei 472
ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the main window did not appear the second time"
sleep 3
read -r gl gt gr gb <<<"$(wtd grid-rect)"
import -display "$DISPLAY" -window root "$shot" >/dev/null 2>&1 || ow_die "no screenshot"
ow_screenshot start35
# Each whole row under the header: empty when it holds nothing but the grid's colour.
in_view=$(((gb - gt - 15) / 15)) bands="" red_band=0
for i in $(seq 1 "$in_view"); do
  y=$((gt + 15 * i))
  if [ "$(count_colour "$shot" 245,247,249 "$gl" "$y" $((gr - gl)) 15)" -lt $(((gr - gl) * 15)) ]; then
    bands="${bands}x"
  else
    bands="${bands}."
  fi
  [ "$red_band" = 0 ] && [ "$(count_colour "$shot" 255,0,0 "$gl" "$y" $((gr - gl)) 15)" -ge 20 ] && red_band=$i
done
check_eq "at start-up every row of the grid shows an entry (x), none empty (.)" \
  "$(printf 'x%.0s' $(seq 1 "$in_view"))" "$bands"
top=$((35 - red_band + 1))
check "entry 35 is in sight, and the last entry not above the grid's bottom" \
  test "$red_band" -ge 1 -a $((top + in_view - 1)) -le 40
# The scroll bar stands right of the client area: grey lines end the up
# arrow, frame the thumb and begin the down arrow.
read -r up_end thumb_top _ down_top <<<"$("$OW_CONVERT" "$shot" -crop "1x$((gb - gt))+$((gr + 8))+$gt" -depth 8 txt:- |
  sed -n 's/^0,\([0-9]*\):.* #AEAEAE .*/\1/p' | tr '\n' ' ')"
want=$((up_end + 1 + (top - 1) * (down_top - up_end - 1) / 40))
ow_log "rows from $top, $in_view in view; thumb from ${thumb_top:-?}, expected $want"
check "the scroll bar's thumb stands where the view does" test $((${thumb_top:-0} - want)) -le 2 -a $((want - ${thumb_top:-0})) -le 2

# ---- the header lights under the pointer only, decided in the grid's own coordinates ----
wtd keys 0x24 || ow_fail "could not type Home"  # row 1 at the top
name_cell_lit() {  # whether "Имя"'s cell differs from the picture taken with the pointer away
  import -display "$DISPLAY" -window root "$OW_DIR/work/hover.png" >/dev/null 2>&1
  [ "$("$OW_CONVERT" "$OW_DIR/work/hover.png" -crop "150x10+$((gl + 40))+$((gt + 2))" +repage -format %#  info:)" != "$plain" ]
}
xdotool mousemove $((gl + 200)) $((gb + 40)) && sleep 1
import -display "$DISPLAY" -window root "$OW_DIR/work/hover.png" >/dev/null 2>&1
plain=$("$OW_CONVERT" "$OW_DIR/work/hover.png" -crop "150x10+$((gl + 40))+$((gt + 2))" +repage -format %# info:)
xdotool mousemove $((gl + 150)) $((gt + 17)) && sleep 1
check "the pointer on row 1 leaves the header plain" eval '! name_cell_lit'
xdotool mousemove $((gl + 150)) $((gt + 6)) && sleep 1
check "the pointer on the header lights it" name_cell_lit

# ---- a double click on the upper part of row 1 installs it ----
xdotool mousemove $((gl + 150)) $((gt + 17)) click --repeat 2 --delay 80 1 || ow_fail "could not double-click"
installed_h1() { [ "$(bmp_info "$OW_DATA/Ostrel Wallpaper.bmp" 2>/dev/null)" = "320 200 24 0" ]; }
check "a double click on row 1 just under the header installs it" wait_until 20 installed_h1

# ---- held keys: one press, one command ----
hold() {  # <keys> <seconds>: held past the auto-repeat delay, as a finger would
  xdotool keydown "$1" && sleep "$2" && xdotool keyup "$1"
}
deleted() { local n=0 i; for i in $(seq 1 40); do [ -f "$held/h$i.jpg" ] || n=$((n + 1)); done; echo "$n"; }
mouse grid 0x201 100 $((15 * 2 + 7)) && mouse grid 0x202 100 $((15 * 2 + 7)) || ow_fail "could not click row 2"
wtd keys 0x10 || ow_fail "could not bring the window forward"  # a tap of Shift
question_up() { wtd wait-dialog "Вы собираетесь удалить файл" 100 >/dev/null; }
xdotool keydown shift+Delete
wtd wait-dialog "Вы собираетесь удалить файл" 10000 >/dev/null || ow_fail "Shift+Delete asked nothing"
wtd click "Вы собираетесь удалить файл" "#7"  # No, the keys still held
sleep 2
check "Shift+Delete held past the answer does not ask again" eval '! question_up'
xdotool keyup shift+Delete
question_up && wtd click "Вы собираетесь удалить файл" "#7"
check_eq "no file went" 0 "$(deleted)"
hold Delete 2
check "a held Delete removes one row" wait_until 10 entries_are 39
hold ctrl+shift+Delete 2
check "a held Ctrl+Shift+Delete removes one more row" wait_until 10 entries_are 38
check_eq "and deletes exactly one file" 1 "$(deleted)"
save_up() { wtd front | grep -q '^fg=#32770 '; }
cancel_save() { wtd click "$(wtd front | sed -n 's/.* caption=//p')" "#2"; }
xdotool keydown ctrl+s
wait_until 10 save_up || ow_fail "Ctrl+S opened no dialog"
cancel_save  # the keys still held
sleep 2
check "Ctrl+S held past the dialog does not open it again" eval '! save_up'
xdotool keyup ctrl+s
save_up && cancel_save
check_eq "the list keeps its 38 entries" 38 "$(paths | wc -w)"
# Enter that chose "Удалить файл" in the row's menu, still held when the question opens.
xdotool mousemove $((gl + 150)) $((gt + 15 * 2 + 7)) click 3 && sleep 1 && xdotool key Up || ow_fail "no row menu"
hold Return 1.5
check "the question stays up under a held Enter" question_up
wtd click "Вы собираетесь удалить файл" "#7"
check_eq "and no file more went" 1 "$(deleted)"

wtd post-command 106
ow_wait_exit 30 || ow_fail "the program did not end on Exit the second time"
ow_finish
