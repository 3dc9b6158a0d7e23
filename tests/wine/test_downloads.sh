#!/usr/bin/env bash
# Downloads on the real program, against a catalogue on 127.0.0.1 made by
# make-catalogue: the browser (Ctrl+D, paging, a picture downloaded by a click
# on its preview), the automatic download (started by the timer's own
# message, records 100 down to 1), a hostile server (error pages, an empty
# reply, an oversized reply, a name with "..\") and an exit while the server
# has gone silent.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"

make_catalogue 100
cp "$OW_DIR/www/rz.txt" "$OW_DIR/rz.good"
ow_serve_catalogue "$OW_DIR/www"

ow_data_dir
WALLS="$OW_DATA/walls" CATALOGUE="$OW_DATA/download"
reg_set 'HKCU\RZ' loadnew 1

has_file() { [ -f "$1" ]; }
loaded_lines() { if [ -f "$CATALOGUE/loaded.txt" ]; then grep -c . "$CATALOGUE/loaded.txt"; else echo 0; fi; }
enabled() { [ "$(wtd item "$BROWSER" "$1" | cut -d' ' -f2)" = "$2" ]; }
walls_listing() { (cd "$WALLS" && find . -type f -printf '%p %s\n' | sort); }

ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"
sleep 1

# ---- the browser: Ctrl+D, page 1, ">>>", "<<<" ----
open_browser
check "the four previews of page 1 arrive in the catalogue folder" wait_until 30 has_file "$CATALOGUE/demo-004.jpg"
check_eq "the index came first, then the previews in slot order" \
  "/rz.txt /small/demo-001.jpg /small/demo-002.jpg /small/demo-003.jpg /small/demo-004.jpg" \
  "$(head -n5 "$OW_DIR/requests" | tr '\n' ' ' | sed 's/ $//')"
check "page 1: \"<<<\" disabled, \">>>\" enabled" wait_until 10 eval 'enabled 4 0 && enabled 3 1'
check_eq "the client area is 457 × 429" "457 429" "$(wtd client-size TLoadForm)"
ow_screenshot browser
wtd click "$BROWSER" ">>>" || ow_fail "could not press >>>"
check "\">>>\" shows page 2 with its previews" wait_until 30 has_file "$CATALOGUE/demo-008.jpg"
check "page 2: both buttons enabled" wait_until 10 eval 'enabled 4 1 && enabled 3 1'
wtd click "$BROWSER" "<<<" || ow_fail "could not press <<<"
check "\"<<<\" goes back to page 1" wait_until 10 eval 'enabled 4 0 && enabled 3 1'

# A click on the first preview downloads its picture.
read -r ox oy < <(wtd client-origin-of TLoadForm) || ow_fail "no client origin of the browser"
xdotool mousemove $((ox + 50 + 60)) $((oy + 48 + 50)) click 1 || ow_fail "could not click the preview"
check "the picture arrives in the download folder" wait_until 30 has_file "$WALLS/demo-001.jpg"
check "it is the catalogue's picture" cmp -s "$WALLS/demo-001.jpg" "$OW_DIR/www/images/demo-001.jpg"
check "\"loaded.txt\" records its full path with CR LF" \
  wait_until 10 eval '[ "$(od -An -c "$CATALOGUE/loaded.txt" | tr -d " \n")" = "images/demo-001.jpg\r\n" ]'
close_browser
check "closing saved Default.tav with the picture added" \
  grep -q -F 'walls\demo-001.jpg' "$OW_DATA/Default.tav"

# ---- the browser against a hostile server ----
# Error pages and an empty reply for the pictures; a preview name with "..\".
serve_index 'images/h404.jpg small/demo-002.jpg 1-12-26' 'images/h500.jpg small/demo-003.jpg 1-12-26' \
  'images/hempty.jpg small/demo-004.jpg 1-12-26' 'images/x.jpg small/..\..\..\evil.jpg 1-12-26'
before=$(walls_listing)
open_browser
check "the short index is shown (\">>>\" stays off)" wait_until 20 eval 'enabled 3 0 && [ "$(requested /rz.txt)" = 2 ]'
click_slots
check "the error pages and the empty reply were asked for" \
  wait_until 20 eval '[ "$(requested /images/h404.jpg)$(requested /images/h500.jpg)$(requested /images/hempty.jpg)" = 111 ]'
sleep 1
check_eq "no file came of them, none changed" "$before" "$(walls_listing)"
check_eq "nothing more is recorded" 1 "$(loaded_lines)"
check_eq "the slot with \"..\\\" was never asked for" 0 "$(grep -c evil "$OW_DIR/requests")"
check "no file left the folders" eval '[ -z "$(find "$WINEPREFIX/drive_c" -name "evil.jpg")" ]'
close_browser

# A preview over the limit: no partial preview stays, the user is told once.
serve_index 'images/x.jpg small/hhuge.jpg 1-12-26'
wtd keys --to "Ostrel Wallpapers" +0x11 0x44 -0x11 || ow_fail "could not type Ctrl+D"
check "an oversized preview is reported" wtd wait-box "Ostrel Wallpapers" 30000 || { ow_screenshot huge; cat "$OW_DIR/requests"; }
wtd click "Ostrel Wallpapers" "#1" || ow_fail "could not dismiss the message"
check "dismissing it starts over: the preview is fetched again" wait_until 20 eval '[ "$(requested /small/hhuge.jpg)" = 2 ]'
sleep 2
check "no partial preview is kept" eval '! has_file "$CATALOGUE/hhuge.jpg"'
check "the second failure comes without a box" eval '! wtd wait-box "Ostrel Wallpapers" 0' 
close_browser

# ---- the automatic download, started by the timer's own message ----
cp "$OW_DIR/rz.good" "$OW_DIR/www/rz.txt"
: >"$OW_DIR/requests"
wtd post main 0x0113 7 0 || ow_fail "could not post TimerDownload's tick"
check "all 100 records end up in loaded.txt" wait_until 90 eval '[ "$(loaded_lines)" = 100 ]'
expected=$(for n in $(seq 100 -1 2); do printf '/images/demo-%03d.jpg\n' "$n"; done)
check_eq "the index, then records 100 down to 2 (1 was downloaded already)" "/rz.txt
$expected" "$(cat "$OW_DIR/requests")"
check "the pictures are in the download folder" cmp -s "$WALLS/demo-100.jpg" "$OW_DIR/www/images/demo-100.jpg"
read -r shown left top right bottom _ < <(wtd window-info Talertform)
check_eq "the notice shows at the right edge, 72 high, above the bottom" "1 1280 72 yes" \
  "$shown $right $((bottom - top)) $([ "$bottom" -le 1024 ] && [ "$bottom" -gt 940 ] && echo yes)"

ow_screenshot notice
# "Остановить" closes the notice (the run is over: it only puts the next one off).
read -r nx ny < <(wtd client-origin-of Talertform)
xdotool mousemove $((nx + 48 + 48)) $((ny + 24 + 8)) click 1 || ow_fail "could not click Остановить"
notice_hidden() { [ "$(wtd window-info Talertform | cut -d' ' -f1)" = 0 ]; }
check "\"Остановить\" closes the notice" wait_until 10 notice_hidden

# A hostile index for the run: an error page, then a name with "..\".
runs=0
: >"$OW_DIR/requests"
for record in 'images/h404.jpg' 'images/..\..\..\evil.jpg'; do
  serve_index "$record small/demo-001.jpg 1-12-26"
  runs=$((runs + 1))
  wtd post main 0x0113 7 0 || ow_fail "could not post TimerDownload's tick"
  wait_until 20 eval "[ \"\$(requested /rz.txt)\" = $runs ]" || ow_fail "no run for $record"
  sleep 2
done
check_eq "the error page was asked for, the \"..\\\" name never" "1 0" \
  "$(requested /images/h404.jpg) $(grep -c evil "$OW_DIR/requests")"
check_eq "nothing was recorded for either" 100 "$(loaded_lines)"
check "no file left the folders" eval '[ -z "$(find "$WINEPREFIX/drive_c" -name "evil.jpg" -o -name "h404.jpg")" ]'

# ---- a server that stops sending, and an exit meanwhile ----
serve_index 'images/hstall.jpg small/demo-001.jpg 1-12-26'
: >"$OW_DIR/requests"
wtd post main 0x0113 7 0 || ow_fail "could not post TimerDownload's tick"
check "the silent picture is being fetched" wait_until 20 eval '[ "$(requested /images/hstall.jpg)" = 1 ]'
sleep 1
check "the program stays responsive meanwhile" wtd wait-window 5000
wtd post-command 106 || ow_fail "could not post Exit"
started=$SECONDS
check "Exit ends the program within 15 s" ow_wait_exit 15
ow_log "ended $((SECONDS - started)) s after Exit"
check "the partial picture is gone" eval '! has_file "$WALLS/hstall.jpg"'
check "no temporary file is left" eval '[ -z "$(find "$WALLS" "$CATALOGUE" -name "~ostrel*")" ]'
check_eq "the list kept every downloaded picture" 100 "$(grep -c -F 'walls\demo-' "$OW_DATA/Default.tav")"
ow_finish
