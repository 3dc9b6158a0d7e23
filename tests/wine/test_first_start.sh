#!/usr/bin/env bash
# First start in a clean prefix: folders, default settings and an empty list
# written at exit; then the end-of-session path saves as well.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"
ow_data_dir

# reg_check_all <key> <expected name=value...>: every value is REG_SZ, none is
# missing, none is extra, each has its expected text.
reg_check_all() {
  local key=$1; shift
  wine reg query "$key" 2>/dev/null | python3 -c '
import re, sys
expected = dict(a.split("=", 1) for a in sys.argv[1:])
seen = {}
for line in sys.stdin.buffer.read().decode("cp866").split("\r\n"):
    m = re.match(r"^    (.*?)    (REG_[A-Z_]+)(?:    (.*))?$", line)
    if m:
        seen[m.group(1)] = (m.group(2), m.group(3) or "")
bad = 0
for name, want in expected.items():
    if name not in seen:
        print("FAIL - %s missing" % name); bad += 1
    elif seen[name] != ("REG_SZ", want):
        print("FAIL - %s: expected REG_SZ [%s], got %s [%s]" % (name, want, *seen[name])); bad += 1
    else:
        print("ok   - %s = [%s]" % (name, want))
for name in seen:
    if name not in expected:
        print("FAIL - unexpected value %s = [%s]" % (name, seen[name][1])); bad += 1
sys.exit(1 if bad else 0)' "$@"
}

# ---- first start, exit from the menu ----
ow_start
wt wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"
check "a normal start shows the main window" wt wait-visible 1 30000
check_eq "one main window" 1 "$(wt count-windows)"
# The folders are made at start, not only at exit.
check "data folder made at start: $OW_DATA_WIN" test -d "$OW_DATA"
check "download folder made at start" test -d "$OW_DATA/download"
check "walls folder made at start" test -d "$OW_DATA/walls"
ow_screenshot first-start

ow_exit_program || ow_die "no clean exit"
check_eq "exit code after Exit" 0 "$OW_RC"

d=$OW_DATA_WIN
# "left" is the list's edge as laid out: at 800 x 472 the list's drag limits
# (both width - 314 = 486) move it from the default 311 to 310.
if reg_check_all 'HKCU\RZ' shufle=0 addvlist=1 playstat=0 prop=0 TimeInterval=5 secund=2 \
  selected=0 kolprokr=1 intime1=1 intime2=1 wid=800 hei=472 left=310 TimeFrom=60000 \
  TimeTo=3600000 TimeRandom=0 loadnew=0 onload=0 onwinload=0 InTimeCh=0 \
  "downfoad=$d\\walls\\" where=2 "lastopen=$d" PathToSelected= "lastsave=$d"; then
  ow_pass "the 25 settings hold their defaults (the list's edge as laid out)"
else
  ow_fail "the settings written at the first exit differ from the defaults (see above)"
fi

check_eq "Default.tav of an empty list is CR LF CR LF" "0d0a0d0a" \
  "$(od -An -tx1 "$OW_DATA/Default.tav" 2>/dev/null | tr -d ' \n')"
check "an empty list installs no wallpaper" test ! -e "$OW_DATA/Ostrel Wallpaper.bmp"

# ---- second start: settings are read back, and the end of the session saves ----
# A changed value must come back as it was read; a deleted one and a deleted
# list must be written again, proving that the save really ran.
reg_set 'HKCU\RZ' TimeInterval 7
wine reg delete 'HKCU\RZ' /v hei /f >/dev/null 2>&1 || ow_die "reg delete hei"
rm -f "$OW_DATA/Default.tav"

ow_start
wt wait-window 30000 >/dev/null || ow_die "the main window did not appear on the second start"
wt wait-visible 1 30000 || ow_die "the second start never finished"
wt send-endsession >/dev/null || ow_fail "WM_QUERYENDSESSION/WM_ENDSESSION were not answered"
if ow_wait_exit 30; then
  ow_pass "WM_ENDSESSION ends the program"
else
  ow_die "the program still runs 30 s after WM_ENDSESSION"
fi
check_eq "a setting read at start is saved back at the end of the session" 7 "$(reg_get 'HKCU\RZ' TimeInterval)"
check_eq "a missing setting is written at the end of the session" 472 "$(reg_get 'HKCU\RZ' hei)"
check_eq "the list is written at the end of the session" "0d0a0d0a" \
  "$(od -An -tx1 "$OW_DATA/Default.tav" 2>/dev/null | tr -d ' \n')"

ow_finish
