#!/usr/bin/env bash
# First start in a clean prefix: folders, default settings and an empty list
# written at exit; then the end-of-session path saves as well.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"
ow_data_dir

# ---- first start, exit from the menu ----
ow_start
wt wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"
check "a normal start shows the main window" wt wait-visible 1 30000
check "the data folder and its download and walls folders are made at start, not at exit" \
  test -d "$OW_DATA/download" -a -d "$OW_DATA/walls"
ow_screenshot first-start

ow_exit_program || ow_die "no clean exit"
check_eq "exit code after Exit" 0 "$OW_RC"

d=$OW_DATA_WIN
# "left" is the list's edge as laid out: at 800 x 472 the list's drag limits
# (both width - 314 = 486) move it from the default 311 to 310.
check_eq "the 25 settings hold their defaults (the list's edge as laid out)" \
  "$(printf '%s\n' shufle=0 addvlist=1 playstat=0 prop=0 TimeInterval=5 secund=2 selected=0 kolprokr=1 \
     intime1=1 intime2=1 wid=800 hei=472 left=310 TimeFrom=60000 TimeTo=3600000 TimeRandom=0 loadnew=0 \
     onload=0 onwinload=0 InTimeCh=0 "downfoad=$d\\walls\\" where=2 "lastopen=$d" PathToSelected= \
     "lastsave=$d" | sort)" "$(reg_dump 'HKCU\RZ' | tr '\t' = | sort)"
check_eq "every setting is a REG_SZ" 25 "$(wine reg query 'HKCU\RZ' | grep -c '    REG_SZ')"

check_eq "Default.tav of an empty list is CR LF CR LF" "0d0a0d0a" "$(od -An -tx1 "$OW_DATA/Default.tav" | tr -d ' \n')"
check "an empty list installs no wallpaper" test ! -e "$OW_DATA/Ostrel Wallpaper.bmp"

# ---- second start: the end of the session saves ----
# A deleted setting and a deleted list must be written again, proving that the save really ran.
wine reg delete 'HKCU\RZ' /v hei /f >/dev/null 2>&1 || ow_die "reg delete hei"
rm -f "$OW_DATA/Default.tav"

ow_start
wt wait-window 30000 >/dev/null || ow_die "the main window did not appear on the second start"
wt wait-visible 1 30000 || ow_die "the second start never finished"
wt send-endsession || ow_fail "WM_QUERYENDSESSION/WM_ENDSESSION were not answered"
ow_wait_exit 30 || ow_die "the program still runs 30 s after WM_ENDSESSION"
check_eq "a missing setting is written at the end of the session" 472 "$(reg_get 'HKCU\RZ' hei)"
check "the list is written at the end of the session" test -f "$OW_DATA/Default.tav"

ow_finish
