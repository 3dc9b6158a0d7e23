#!/usr/bin/env bash
# The tray icon as a user sees it: in the taskbar of a Wine virtual desktop,
# the grey "stopped" icon after start, the green "playing" icon after the play
# toggle, and no taskbar button of the program's own.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"

shot="$OW_DIR/work/screen.png"
tray_pixels() {  # colour: pixels of exactly that colour in the tray corner of the taskbar
  import -display "$DISPLAY" -window root "$shot" >/dev/null 2>&1 || { echo 0; return; }
  count_colour "$shot" "$1" 1120 990 160 34
}
tray_shows() { [ "$(tray_pixels "$1")" -ge 10 ]; }
STOPPED="140,140,140"  # body of the stopped icon
PLAYING="46,170,60"    # body of the playing icon

ow_start_in_desktop
check "the stopped icon is in the taskbar's tray" wait_until 40 tray_shows "$STOPPED"
check_eq "the playing icon is not shown while stopped" 0 "$(tray_pixels "$PLAYING")"
ow_screenshot stopped

wtd post-command 110  # the play toggle
check "the play toggle turns the tray icon into the playing icon" wait_until 20 tray_shows "$PLAYING"
ow_screenshot playing

# The taskbar row between the start button and the tray holds window buttons;
# the program, owned by a hidden window, must have none there.
marked=$("$OW_CONVERT" "$shot" -crop 1100x14+80+1007 +repage -fill black +opaque white -fill white -opaque white \
  -negate -format '%[fx:round(mean*w*h)]' info: 2>/dev/null)
check_eq "no taskbar button of the program's own" 0 "${marked:-unreadable}"

wtd post-command 106  # Exit
check "the program ends on Exit" ow_wait_exit 30
ow_finish
