#!/usr/bin/env bash
# The options dialog on the real program: opened from the tray menu on its
# first page and from the toolbar on the changing page; the autorun entry
# switched on and off; an interval typed (letters refused) and confirmed; a
# download folder outside the ANSI code page kept in its field and refused;
# then the removal of the program's files, which ends the program; and the
# autorun entry of a copy in a folder whose name that code page lacks.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"
ow_data_dir

make_pic "$WINEPREFIX/drive_c/pics/sea.jpg" 640x480 blue
mkdir -p "$OW_DATA"
write_tav "$OW_DATA/Default.tav" 'C:\pics\sea.jpg' ''
reg_set 'HKCU\RZ' wid 904
reg_set 'HKCU\RZ' hei 570
reg_set 'HKCU\RZ' left 312

OPTIONS="Настройки"
RUN_KEY='SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
# Control ids of the dialog.
PAGES=1000 CHECKBOX1=1001 CHECKBOX2=1002 TIME=1012 COMBOBOX2=1013 EDITTIMEFROM=1016 COMBOBOX3=1022
EDIT1=1035 BUTTON3=1039 OK=1
TCM_GETCURSEL=0x130B BM_GETCHECK=0xF0 CB_SETCURSEL=0x14E

visible() { [ "$(wtd item "$OPTIONS" "$1" | cut -d' ' -f1)" = 1 ]; }
enabled() { [ "$(wtd item "$OPTIONS" "$1" | cut -d' ' -f2)" = 1 ]; }
field_text() { wtd item "$OPTIONS" "$1" | cut -d' ' -f7-; }
dialog_gone() { ! wtd wait-dialog "$OPTIONS" 0 >/dev/null; }
autorun_value() { reg_get "HKLM\\$RUN_KEY" 'Ostrel Wallpapers' || reg_get "HKCU\\$RUN_KEY" 'Ostrel Wallpapers'; }
is_checked() { [ "$(wtd send "$OPTIONS" "$1" $BM_GETCHECK)" = 1 ]; }
# A posted BM_CLICK is now and then lost under Wine (the dialog's activation
# can take the button's capture between its press and release): the box is
# clicked again, once, and the retry logged, so only a box that stays
# unticked fails.
tick() {
  wtd click "$OPTIONS" "#$1"
  wait_until 3 is_checked "$1" && return 0
  ow_log "the click on $1 was lost; clicking again"
  wtd click "$OPTIONS" "#$1"
  wait_until 5 is_checked "$1"
}
confirm() {
  wtd click "$OPTIONS" "#$OK" || ow_fail "could not press ОК"
  check "ОК closes the dialog" wait_until 10 dialog_gone
}

ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"
sleep 1

# ---- from the tray menu: "Настройки", on the page "Общие" ----
wtd post main 0x464 0 0x204 || ow_die "could not right-click the tray icon"
sleep 1
wtd keys --here 0x28 0x28 0x28 0x0D || ow_fail "could not choose from the tray menu"
wtd wait-dialog "$OPTIONS" 10000 >/dev/null || ow_die "the tray menu's Настройки did not open the options"
# Centred over the main window (904 x 570 outer), its client area 432 x 338.
read -r _ dl dt dr db _ <<<"$(wtd window-info TOptionsForm)"
read -r _ ml mt mr mb _ <<<"$(wtd window-info TMainForm)"
ow_log "dialog at $dl,$dt-$dr,$db over $ml,$mt-$mr,$mb"
half() { local q=$(($1 / 2)); [ $(($1 % 2)) -eq 1 ] && [ $((q % 2)) -eq 1 ] && q=$((q + 1)); echo $q; }  # halves to even
check_eq "the dialog is centred over the main window" \
  "$((ml + $(half $((mr - ml))) - $(half $((dr - dl))))) $((mt + $(half $((mb - mt))) - $(half $((db - dt)))))" "$dl $dt"
check_eq "its client area is 432 x 338" "432 338" "$(wtd client-size TOptionsForm)"
check_eq "it opens on the page Общие" 0 "$(wtd send "$OPTIONS" $PAGES $TCM_GETCURSEL)"
check "with the page's controls shown" visible $CHECKBOX1
check "and not the other pages'" eval '! visible $TIME'
ow_screenshot general

# ---- autorun on, with change-and-exit ----
check "Сменить обои и закрыть программу starts disabled" eval '! enabled $CHECKBOX2'
check "checking autorun ticks it" tick $CHECKBOX1
check "checking autorun enables it" wait_until 5 enabled $CHECKBOX2
check "Сменить обои и закрыть программу can be ticked" tick $CHECKBOX2
confirm
check_eq "the autorun entry starts the program changing and ending" 'C:\Ostrel\OstrelWallpapers.exe -a-' \
  "$(autorun_value)"
check_eq "and the settings say so" "1 1" "$(reg_get 'HKCU\RZ' onwinload) $(reg_get 'HKCU\RZ' onload)"

# ---- from the toolbar's "Настройки смены", on the page "Смена" ----
read -r cl ct _ <<<"$(wtd client-origin)"
mouse main 0x201 207 321 && mouse main 0x202 207 321 || ow_fail "could not click Настройки смены"
wtd wait-dialog "$OPTIONS" 10000 >/dev/null || ow_fail "the toolbar button did not open the options"
check_eq "on the page Смена" 1 "$(wtd send "$OPTIONS" $PAGES $TCM_GETCURSEL)"
check "the fixed interval is the mode: its fields enabled, the range's not" \
  eval 'enabled $TIME && ! enabled $EDITTIMEFROM && ! enabled $COMBOBOX3'
ow_screenshot changing
# A user types into "каждые": letters are refused, digits and Backspace work.
read -r _ _ fl ft fr fb _ <<<"$(wtd item "$OPTIONS" $TIME)"
xdotool mousemove $(((fl + fr) / 2)) $(((ft + fb) / 2)) click 1 || ow_fail "could not click into каждые"
wtd keys --here 0x23 0x08 0x41 0x37 0x42 0x32 || ow_fail "could not type"  # End, Backspace, A 7 B 2
check_eq "каждые takes the digits only" "72" "$(field_text $TIME)"
wtd send "$OPTIONS" $COMBOBOX2 $CB_SETCURSEL 0 >/dev/null  # "Сек."
confirm
check_eq "the interval is stored" "72 1" "$(reg_get 'HKCU\RZ' TimeInterval) $(reg_get 'HKCU\RZ' secund)"

# ---- autorun off ----
wtd post-command 107 || ow_fail "could not open the options"
wtd wait-dialog "$OPTIONS" 10000 >/dev/null || ow_fail "the options did not open again"
check_eq "reopened, autorun shows checked" 1 "$(wtd send "$OPTIONS" $CHECKBOX1 $BM_GETCHECK)"
wtd click "$OPTIONS" "#$CHECKBOX1"
check "unchecking autorun disables change-and-exit" wait_until 5 eval '! enabled $CHECKBOX2'
confirm
check "the autorun entry is deleted" eval '! autorun_value >/dev/null'
check_eq "and the setting cleared" 0 "$(reg_get 'HKCU\RZ' onwinload)"

# ---- a download folder whose name the ANSI code page lacks ("é") ----
folder_before=$(reg_get 'HKCU\RZ' downfoad)
wtd post-command 107 || ow_fail "could not open the options"
wtd wait-dialog "$OPTIONS" 10000 >/dev/null || ow_fail "the options did not open for the folder"
wtd set-text "$OPTIONS" $EDIT1 'C:\café' || ow_fail "could not put the folder into its field"
wtd click "$OPTIONS" "#$CHECKBOX1" && wtd click "$OPTIONS" "#$CHECKBOX1"  # ticked and unticked: the form is shown anew
check "a click elsewhere leaves the folder in its field" wait_until 5 eval '[ "$(field_text $EDIT1)" = "C:\café" ]'
wtd click "$OPTIONS" "#$OK" || ow_fail "could not press ОК"
wtd wait-box "Ostrel Wallpapers" 10000 || ow_fail "ОК did not refuse the folder"
check "the refusal names the folder" eval 'wtd item "Ostrel Wallpapers" 65535 | grep -qF "C:\café"'
wtd click "Ostrel Wallpapers" "#1" || ow_fail "could not close the refusal"
check "the options stay open with the folder" wait_until 5 eval '[ "$(field_text $EDIT1)" = "C:\café" ]'
check_eq "nothing was applied" "$folder_before" "$(reg_get 'HKCU\RZ' downfoad)"
wtd set-text "$OPTIONS" $EDIT1 'C:\Загрузки' || ow_fail "could not put the folder into its field"
confirm
check_eq "a folder the code page can write is taken" 'C:\Загрузки\' "$(reg_get 'HKCU\RZ' downfoad)"

# ---- removal, with a folder it must not enter ----
shell_folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
desktop=$(win_to_unix "$(reg_get "$shell_folders" Desktop)") || ow_die "no Desktop shell folder"
programs=$(win_to_unix "$(reg_get "$shell_folders" Programs)") || ow_die "no Programs shell folder"
mkdir -p "$desktop" "$programs/Ostrel Wallpapers" "$OW_DATA/walls/old" "$OW_DATA/walls/hidden"
echo link >"$desktop/Ostrel Wallpapers.lnk"
echo other >"$desktop/Другая программа.lnk"
echo link >"$programs/Ostrel Wallpapers/Ostrel Wallpapers.lnk"
echo kept >"$OW_DATA/walls/old/locked.jpg"
# Wine's own attrib, tried again when it fails: once in many runs it has
# answered an error; what it said goes to the log.
attrib() {  # <flag> <Windows path>
  local try said
  for try in 1 2 3; do
    said=$(wine cmd /c attrib "$1" "$2" 2>&1) && return 0
    ow_log "attrib $1 failed (try $try): ${said//$'\r'/}"
    sleep 1
  done
  return 1
}
attrib +r "$OW_DATA_WIN\\walls\\old\\locked.jpg" || ow_fail "attrib +r"
# A folder with a bit besides "directory" is not entered: its deletion fails.
attrib +h "$OW_DATA_WIN\\walls\\hidden" || ow_fail "attrib +h"
BMP="$OW_DATA/Ostrel Wallpaper.bmp"
rm -f "$BMP"

remove_files() {
  wtd post-command 107 || ow_fail "could not open the options"
  wtd wait-dialog "$OPTIONS" 10000 >/dev/null || ow_fail "the options did not open for the removal"
  wtd click "$OPTIONS" "#$BUTTON3" || ow_fail "could not press the removal button"
}
remove_files
wtd wait-dialog "Ostrel Wallpapers" 15000 >/dev/null  # the message box, not the main window
check_eq "the hidden folder is reported" "Could NOT delete $OW_DATA_WIN\\walls\\hidden" \
  "$(wtd item "Ostrel Wallpapers" 65535 | cut -d' ' -f7-)"
# While the box is up, a hotkey asks for the next wallpaper: nothing may be written now.
wtd post-hotkey Hotkey1 || ow_fail "could not post Hotkey1"
sleep 3
wtd click "Ostrel Wallpapers" "#1" || ow_fail "could not close the box"
check "the program ends after the removal" ow_wait_exit 30
check "nothing was installed into the folder being removed" eval '[ ! -e "$BMP" ]'
check_eq "of the data folder only the hidden folder and its parents stay" "walls walls/hidden" \
  "$(cd "$OW_DATA" 2>/dev/null && find . -mindepth 1 | sed 's|^\./||' | sort | xargs)"
check "its settings key is gone" eval '! wine reg query "HKCU\RZ" >/dev/null 2>&1'
check "the desktop shortcut is gone" eval '[ ! -e "$desktop/Ostrel Wallpapers.lnk" ]'
check "the Programs folder is gone" eval '[ ! -e "$programs/Ostrel Wallpapers" ]'
check "another program's shortcut stays" eval '[ -f "$desktop/Другая программа.lnk" ]'

# ---- once more, with nothing in the way: the whole data folder goes ----
attrib -h "$OW_DATA_WIN\\walls\\hidden" || ow_fail "attrib -h"
ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the main window did not appear for the second removal"
remove_files
check "the program ends after the second removal" ow_wait_exit 30
check "the data folder is gone" eval '[ ! -e "$OW_DATA" ]'
check "and the settings key" eval '! wine reg query "HKCU\RZ" >/dev/null 2>&1'

# ---- a copy in a folder whose name the ANSI code page lacks: its autorun entry names it ----
foreign='C:\José Обои'
mkdir -p "$(win_to_unix "$foreign")" && cp "$(win_to_unix "$OW_EXE_WIN")" "$(win_to_unix "$foreign")/" ||
  ow_die "could not copy the program"
OW_EXE_WIN="$foreign\OstrelWallpapers.exe" ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the copy's main window did not appear"
wtd post-command 107 || ow_fail "could not open the copy's options"
wtd wait-dialog "$OPTIONS" 10000 >/dev/null || ow_fail "the copy's options did not open"
check "checking autorun ticks it" tick $CHECKBOX1
check "checking autorun enables it" wait_until 5 enabled $CHECKBOX2
confirm
entry=$(autorun_value)
ow_log "autorun entry: $entry"
check "the autorun entry names the copy's own file" \
  eval '[ "${entry% -}" != "$entry" ] && cmp -s "$(winepath -u "${entry% -}" 2>/dev/null)" "$(win_to_unix "$OW_EXE_WIN")"'
wtd post-command 106 || ow_fail "could not post Exit to the copy"
check "the copy ends" ow_wait_exit 30

ow_finish
