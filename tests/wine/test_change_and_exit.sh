#!/usr/bin/env bash
# The change-and-exit start (" -a-"): installs the next wallpaper, saves, ends
# by itself without showing anything.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"
ow_data_dir

pics="$WINEPREFIX/drive_c/Картинки"
make_pic "$pics/закат.jpg" 1024x768 blue
make_pic "$WINEPREFIX/drive_c/pics/meadow.bmp" 800x600 green
make_pic "$pics/огромная.jpg" 1600x1200 red

JPG='C:\Картинки\закат.jpg'       JPG_RES='    1024x768'
BMP='C:\pics\meadow.bmp'           BMP_RES='     800x600'
BIG='C:\Картинки\огромная.jpg'     BIG_RES='    1600x1200'

mkdir -p "$OW_DATA"
LIST="$OW_DATA/Default.tav"
OUT_BMP="$OW_DATA/Ostrel Wallpaper.bmp"
DESK='HKCU\Control Panel\desktop'

# change_run <label> <selected> <prop> <path> <res> [<path> <res>...]
# Lays out the list and the settings, makes the desktop values stale, runs the
# program with " -a-" and checks what every such run must do.
change_run() {
  LABEL=$1
  local selected=$2 prop=$3; shift 3
  write_tav "$LIST" "$@"
  cp "$LIST" "$OW_DIR/list.before"
  reg_set 'HKCU\RZ' selected "$selected"
  reg_set 'HKCU\RZ' prop "$prop"
  rm -f "$OUT_BMP"
  reg_set "$DESK" Wallpaper 'C:\old.bmp'
  reg_set "$DESK" TileWallpaper 1
  reg_set "$DESK" WallpaperStyle 6

  check_eq "$LABEL: ends by itself with exit code 0, no message box, no window shown" \
    "ended exit=0 dialogs=0 shown=0" "$(wt run 30000 "$OW_EXE_WIN" ' -a-' 2>>"$OW_DIR/app.log")" ||
    ow_die "$LABEL: the remaining checks need a run that ended"
  check "$LABEL: the list is saved unchanged" cmp -s "$OW_DIR/list.before" "$LIST"
}

# expect_installed <width> <height> <selected>: the bitmap, the desktop
# values ("where" 2: stretched) and the current row after a run.
expect_installed() {
  local w=$1 h=$2 selected=$3
  check_eq "$LABEL: an uncompressed 24-bit bitmap of the picture's size" "$w $h 24 0" "$(bmp_info "$OUT_BMP")"
  check_eq "$LABEL: Wallpaper" "$OW_DATA_WIN\\Ostrel Wallpaper.bmp" "$(reg_get "$DESK" Wallpaper)"
  check_eq "$LABEL: TileWallpaper" 0 "$(reg_get "$DESK" TileWallpaper)"
  check_eq "$LABEL: WallpaperStyle" 2 "$(reg_get "$DESK" WallpaperStyle)"
  check_eq "$LABEL: selected" "$selected" "$(reg_get 'HKCU\RZ' selected)"
}

# Row 0 counts as row 1, so the next one is row 2, a BMP at its own size.
change_run "selected 0" 0 0 "$JPG" "$JPG_RES" "$BMP" "$BMP_RES"
expect_installed 800 600 2

# Kept proportions: the picture is fitted to the 1280 x 1024 screen.
[ "$OW_SCREEN" = "1280 1024" ] || ow_die "the screen is $OW_SCREEN, not 1280 x 1024"
change_run "fit to screen" 1 1 "$JPG" "$JPG_RES" "$BIG" "$BIG_RES"
expect_installed 1280 960 2

ow_finish
