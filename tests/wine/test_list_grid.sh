#!/usr/bin/env bash
# The list as a user works it: adding a folder through the folder chooser
# (reopened at the folder chosen last, with and without subfolders), the red
# current row, a green screen-size resolution and the sort arrow on the
# screen, sorting by a header click, Delete and Shift+Delete with the
# question answered, all checked in "Default.tav".
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
ow_finish
