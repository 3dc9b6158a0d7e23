#!/usr/bin/env bash
# The tray icon as a user sees it: in the taskbar of a Wine virtual desktop,
# the grey "stopped" icon after start, the green "playing" icon after the play
# toggle, and no taskbar button of the program's own.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"

DESKTOP=/desktop=ostrel,1280x1024
# Both programs must run in the same virtual desktop to see each other's windows.
in_desktop() { wine explorer "$DESKTOP" "$@" >>"$OW_DIR/app.log" 2>&1; }

# Pixels of one exact colour in the tray corner of the taskbar.
tray_pixels() {  # colour
  local shot="$OW_DIR/work/tray.png"
  import -display "$DISPLAY" -window root -crop 160x34+1120+990 +repage "$shot" >/dev/null 2>&1 || { echo 0; return; }
  "$OW_CONVERT" "$shot" -format %c histogram:info:- 2>/dev/null |
    awk -v c="($1)" 'index($0, c) { n += $1 } END { print n + 0 }'
}
tray_shows() { [ "$(tray_pixels "$1")" -ge 10 ]; }
tray_lacks() { [ "$(tray_pixels "$1")" -eq 0 ]; }

STOPPED="140,140,140"  # body of the stopped icon
PLAYING="46,170,60"    # body of the playing icon

wine explorer "$DESKTOP" "$OW_EXE_WIN" >>"$OW_DIR/app.log" 2>&1 &
OW_APP_PID=$!
OW_PIDS+=("$OW_APP_PID")

if wait_until 40 tray_shows "$STOPPED"; then
  ow_pass "the stopped icon is in the taskbar's tray"
else
  ow_fail "no stopped icon in the tray within 40 s"
fi
check "the playing icon is not shown while stopped" tray_lacks "$PLAYING"
ow_screenshot stopped

in_desktop 'C:\Ostrel\wintool.exe' post-command 110  # the play toggle
if wait_until 20 tray_shows "$PLAYING"; then
  ow_pass "the play toggle turns the tray icon into the playing icon"
else
  ow_fail "the tray icon did not change to the playing icon"
fi
ow_screenshot playing

# The taskbar row between the start button and the tray holds window buttons;
# the program, owned by a hidden window, must have none there.
strip="$OW_DIR/work/strip.png"
import -display "$DISPLAY" -window root -crop 1100x14+80+1007 +repage "$strip" >/dev/null 2>&1
marked=$("$OW_CONVERT" "$strip" -fill black +opaque white -fill white -opaque white -negate \
  -format '%[fx:round(mean*w*h)]' info: 2>/dev/null)
check_eq "no taskbar button of the program's own" 0 "${marked:-unreadable}"

in_desktop 'C:\Ostrel\wintool.exe' post-command 106  # Exit
if ow_wait_exit 30; then
  ow_pass "the program ends on Exit"
else
  ow_fail "the program did not end on Exit"
fi
ow_finish
