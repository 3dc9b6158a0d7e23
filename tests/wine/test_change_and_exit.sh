#!/usr/bin/env bash
# The change-and-exit start (" -a-"): installs the next wallpaper, saves, ends
# by itself without showing anything; unusable entries fall back silently.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"
ow_data_dir

pics="$WINEPREFIX/drive_c/Картинки"
make_pic "$pics/закат.jpg" 1024x768 blue
make_pic "$WINEPREFIX/drive_c/pics/meadow.bmp" 800x600 green
make_pic "$pics/огромная.jpg" 1600x1200 red
"$OW_CONVERT" -size 300x200 xc:yellow "png:$pics/поддельная.jpg" || ow_die "convert png"

JPG='C:\Картинки\закат.jpg'       JPG_RES='    1024x768'
BMP='C:\pics\meadow.bmp'           BMP_RES='     800x600'
BIG='C:\Картинки\огромная.jpg'     BIG_RES='    1600x1200'
FAKE='C:\Картинки\поддельная.jpg'  FAKE_RES='       0x0'  # a PNG under a .jpg name
GONE='C:\Картинки\пропала.jpg'     GONE_RES='       0x0'  # no such file
BLUE="0 0 255" GREEN="0 128 0" RED="255 0 0" WHITE="255 255 255"

mkdir -p "$OW_DATA"
LIST="$OW_DATA/Default.tav"
OUT_BMP="$OW_DATA/Ostrel Wallpaper.bmp"
DESK='HKCU\Control Panel\desktop'

# change_run <label> <selected> <where> <prop> <path> <res> [<path> <res>...]
# Lays out the list and the settings, makes the desktop values stale, runs the
# program with " -a-" and checks what every such run must do.
change_run() {
  LABEL=$1
  local selected=$2 where=$3 prop=$4; shift 4
  write_tav "$LIST" "$@"
  cp "$LIST" "$OW_DIR/list.before"
  reg_set 'HKCU\RZ' selected "$selected"
  reg_set 'HKCU\RZ' where "$where"
  reg_set 'HKCU\RZ' prop "$prop"
  rm -f "$OUT_BMP"
  reg_set "$DESK" Wallpaper 'C:\old.bmp'
  reg_set "$DESK" TileWallpaper 1
  reg_set "$DESK" WallpaperStyle 6

  local out
  out=$(wt run 30000 "$OW_EXE_WIN" ' -a-' 2>>"$OW_DIR/app.log")
  ow_log "$LABEL: $out"
  case "$out" in
    ended*) ow_pass "$LABEL: the program ends by itself" ;;
    *) ow_die "$LABEL: the program still runs 30 s after a \" -a-\" start ($out)" ;;
  esac
  check "$LABEL: exit code 0" grep -q 'exit=0 ' <<<"$out"
  check "$LABEL: no message box" grep -q 'dialogs=0' <<<"$out"
  check "$LABEL: no window shown" grep -q 'shown=0' <<<"$out"
  check "$LABEL: the list is saved unchanged" cmp -s "$OW_DIR/list.before" "$LIST"
}

# expect_installed <width> <height> <style> <selected> <top colour> : the
# bitmap, the desktop values and the current row after a run.
expect_installed() {
  local w=$1 h=$2 style=$3 selected=$4 colour=$5
  local info
  info=$(bmp_info "$OUT_BMP" 2>/dev/null) || { ow_fail "$LABEL: no wallpaper bitmap written"; return; }
  read -r bw bh bpp comp <<<"$info"
  check_eq "$LABEL: bitmap size" "$w $h" "$bw ${bh#-}"
  check_eq "$LABEL: bitmap is uncompressed 24-bit" "24 0" "$bpp $comp"
  # Top and bottom rows tell the right picture, the right way up.
  check "$LABEL: bitmap's top row has the picture's colour" bmp_pixel_near "$OUT_BMP" $((w / 2)) 0 $colour
  check "$LABEL: bitmap's bottom row is white" bmp_pixel_near "$OUT_BMP" $((w / 2)) $((h - 1)) $WHITE
  check_eq "$LABEL: Wallpaper" "$OW_DATA_WIN\\Ostrel Wallpaper.bmp" "$(reg_get "$DESK" Wallpaper)"
  check_eq "$LABEL: TileWallpaper" 0 "$(reg_get "$DESK" TileWallpaper)"
  check_eq "$LABEL: WallpaperStyle" "$style" "$(reg_get "$DESK" WallpaperStyle)"
  check_eq "$LABEL: selected" "$selected" "$(reg_get 'HKCU\RZ' selected)"
}

# Row 0 counts as row 1, so the next one is row 2, a BMP at its own size.
change_run "selected 0" 0 2 0 "$JPG" "$JPG_RES" "$BMP" "$BMP_RES"
expect_installed 800 600 2 2 "$GREEN"
check_eq "settings saved at the end of a \" -a-\" run" 5 "$(reg_get 'HKCU\RZ' TimeInterval)"

# The last row wraps round to the first; "where" 0 means centred.
change_run "wrap, centred" 2 0 0 "$JPG" "$JPG_RES" "$BMP" "$BMP_RES"
expect_installed 1024 768 0 1 "$BLUE"

# Kept proportions: the picture is fitted to the screen.
read -r sw sh <<<"$OW_SCREEN"
fit=$(python3 -c 'import sys; sw, sh = int(sys.argv[1]), int(sys.argv[2]); s = min(sw / 1600, sh / 1200); print(round(1600 * s), round(1200 * s))' "$sw" "$sh")
change_run "fit to screen ${sw}x${sh}" 1 2 1 "$JPG" "$JPG_RES" "$BIG" "$BIG_RES"
expect_installed ${fit% *} ${fit#* } 2 2 "$RED"

# Without kept proportions a picture larger than the screen keeps its size.
change_run "large, stretched" 2 2 0 "$BIG" "$BIG_RES" "$JPG" "$JPG_RES"
expect_installed 1600 1200 2 1 "$RED"

# Undecodable next entry: back to the row the run started from.
change_run "PNG named .jpg" 1 2 0 "$JPG" "$JPG_RES" "$FAKE" "$FAKE_RES"
expect_installed 1024 768 2 1 "$BLUE"

# Missing next entry: the same fallback.
change_run "missing file" 1 2 0 "$BMP" "$BMP_RES" "$GONE" "$GONE_RES"
expect_installed 800 600 2 1 "$GREEN"

# Nothing usable at all: nothing is installed and the desktop is left alone.
change_run "nothing usable" 1 2 0 "$FAKE" "$FAKE_RES" "$GONE" "$GONE_RES"
check "nothing usable: no bitmap written" test ! -e "$OUT_BMP"
check_eq "nothing usable: Wallpaper untouched" 'C:\old.bmp' "$(reg_get "$DESK" Wallpaper)"
check_eq "nothing usable: WallpaperStyle untouched" 6 "$(reg_get "$DESK" WallpaperStyle)"

ow_finish
