#!/usr/bin/env bash
# The download client against a hostile catalogue server on 127.0.0.1, on the
# real program: bodies cut short, chunked, without a length, answers of
# another status, a redirect to itself, a cookie for years, a trickle of
# headers or of bytes, and names that would reach the user's own files or the
# catalogue's. Nothing of them is kept, recorded, written over or cached, a
# stop ends a transfer within a second, and the window answers a WM_NULL
# round trip in under 200 ms throughout.
source "$(dirname "$0")/lib.sh"
ow_setup "$@"

make_catalogue 8
ow_serve_catalogue "$OW_DIR/www"
ow_data_dir
WALLS="$OW_DATA/walls" CATALOGUE="$OW_DATA/download"
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# The user's own files in the download folder, and an earlier download.
mkdir -p "$WALLS"
printf 'my holiday' >"$WALLS/My Holiday Photo.jpg"
printf 'mine' >"$WALLS/taken.jpg"
printf 'earlier download' >"$WALLS/demo-001.jpg"
user_files() { (cd "$WALLS" && md5sum -- "My Holiday Photo.jpg" taken.jpg demo-001.jpg); }
walls_before=$(user_files)

has_file() { [ -f "$1" ]; }
loaded() { if [ -f "$CATALOGUE/loaded.txt" ]; then od -An -c "$CATALOGUE/loaded.txt" | tr -d ' \n'; fi; }
# Every path the server was asked for that has this text in it, in order.
asked_for() { grep -F "$1" "$OW_DIR/requests" | tr '\n' ' ' | sed 's/ $//'; }
temporaries() { find "$WALLS" "$CATALOGUE" -name '~ostrel*'; }
# WinInet's cache and cookie store in the prefix.
cached() { find "$WINEPREFIX/drive_c/users" \( -ipath '*INetCache*' -o -ipath '*INetCookies*' -o \
  -ipath '*Temporary Internet Files*' -o -ipath '*/Cookies/*' \) -type f; }

ow_start_in_desktop
wtd wait-window 30000 >/dev/null || ow_die "the main window did not appear within 30 s"
# The window's answers, watched from here to the end.
wtd answers "$(winpath "$OW_DIR/answers.stop")" 200 >"$OW_DIR/answers" 2>&1 &
OW_PIDS+=($!)

# ---- the browser: a click on each picture, every answer hostile but one ----
serve_index 'images/hshort.jpg small/demo-001.jpg 1-12-26' 'images/hchunkcut.jpg small/demo-002.jpg 1-12-26' \
  'images/hredirect.jpg small/demo-003.jpg 1-12-26' 'images/hcookie.jpg small/demo-004.jpg 1-12-26' \
  'images/a.jpg small/loaded.txt 1-12-26' 'images/b.jpg small/RZ.TXT 1-12-26' \
  $'images/c\rd.jpg small/demo-005.jpg 1-12-26' 'images/hchunkhuge.jpg small/demo-006.jpg 1-12-26' \
  'images/hs204.jpg small/demo-007.jpg 1-12-26' 'images/hs206.jpg small/demo-008.jpg 1-12-26' \
  'images/hs299.jpg small/demo-001.jpg 1-12-26' 'images/hnolength.jpg small/demo-002.jpg 1-12-26'
open_browser
for preview in demo-004 demo-006 demo-008; do  # the last new preview of pages 1, 2 and 3
  [ "$preview" = demo-004 ] || wtd click "$OW_BROWSER" ">>>" || ow_fail "could not press >>>"
  check "the page with $preview.jpg is shown" wait_until 20 has_file "$CATALOGUE/$preview.jpg"
  sleep 0.5
  click_slots
done
hostile="short chunkcut redirect cookie chunkhuge s204 s206 s299 nolength"
all_asked() { local kind; for kind in $hostile; do [ "$(requested "/images/h$kind.jpg")" = 1 ] || return 1; done; }
check "each hostile picture was asked for once (the redirect not followed)" wait_until 20 all_asked ||
  cat "$OW_DIR/requests"
sleep 1
check_eq "only the whole picture is recorded" 'images/hcookie.jpg\r\n' "$(loaded)"
check_eq "only the whole picture is kept" "5120" "$(stat -c %s "$WALLS/demo-004.jpg" 2>/dev/null)"
check_eq "the user's files and the earlier download are as they were" "$walls_before" "$(user_files)"
check_eq "nothing else came into the download folder" "" \
  "$(cd "$WALLS" && ls | grep -v -x -e 'My Holiday Photo.jpg' -e taken.jpg -e demo-001.jpg -e demo-004.jpg)"
check_eq "previews named loaded.txt, RZ.TXT and a record with CR are never asked for" 0 \
  "$(grep -c -F -e /small/loaded.txt -e /small/RZ.TXT -e /small/demo-005.jpg -e $'\r' "$OW_DIR/requests")"
close_browser

# ---- a preview that trickles: closing lets it go, and the browser opens at once ----
serve_index 'images/x.jpg small/htrickle.jpg 1-12-26'
open_browser
check "the trickling preview is being fetched" wait_until 10 eval '[ "$(requested /small/htrickle.jpg)" = 1 ]'
close_browser
indexes=$(requested /rz.txt)
open_browser
check "opened again, the browser asks for the index at once" \
  wait_until 5 eval '[ "$(requested /rz.txt)" = $((indexes + 1)) ]'
close_browser
check_eq "no cookie was ever sent" 0 "$(grep -c '^cookie:' "$OW_DIR/requests")"

# ---- the automatic download (TimerDownload's tick posted) ----
run_with_index() {  # index lines...: one run, waited for until its index has been asked for
  local before
  before=$(requested /rz.txt)
  serve_index "$@"
  wtd post main 0x0113 7 0 || ow_fail "could not post TimerDownload's tick"
  wait_until 20 eval '[ "$(requested /rz.txt)" -gt $before ]' || ow_fail "no run started"
  sleep 2
}
: >"$OW_DIR/requests"
# From the last record back: the picture, a second record of its name, the
# user's own name, then a body cut short.
run_with_index 'images/hshort.jpg small/x.jpg 1-12-26' 'images/taken.jpg small/x.jpg 1-12-26' \
  'imagez/demo-002.jpg small/x.jpg 1-12-26' 'images/demo-002.jpg small/x.jpg 1-12-26'
check_eq "names already in the folder are never asked for" "/rz.txt /images/demo-002.jpg /images/hshort.jpg" \
  "$(tr '\n' ' ' <"$OW_DIR/requests" | sed 's/ $//')"
check "the first record of the name is kept whole" cmp -s "$WALLS/demo-002.jpg" "$OW_DIR/www/images/demo-002.jpg"
check_eq "only it is recorded" 'images/hcookie.jpg\r\nimages/demo-002.jpg\r\n' "$(loaded)"

alias=$(wtd short-name "$OW_DATA_WIN\\walls\\My Holiday Photo.jpg") || ow_fail "no short name"
alias=${alias##*\\}
ow_log "the short alias of \"My Holiday Photo.jpg\": $alias"
run_with_index "images/$alias small/x.jpg 1-12-26"
check_eq "the short alias of the user's file is never asked for" "" "$(asked_for "$alias")"
check_eq "the user's files are as they were" "$walls_before" "$(user_files)"

# A picture that trickles: the tray's stop lets the next run start within a second.
run_with_index 'images/htrickle.jpg small/x.jpg 1-12-26'
check_eq "the trickling picture is being fetched" 1 "$(requested /images/htrickle.jpg)"
took=$(wtd stop-and-tick 112 "$(winpath "$OW_DIR/requests")" 1000)
check "\"Остановить скачивание\" ends the run within a second (took ${took:-?} ms)" test -n "$took" -a "${took:-9999}" -lt 1000
check "the next run asks for the picture again" wait_until 10 eval '[ "$(requested /images/htrickle.jpg)" = 2 ]'
# Headers that trickle hold WinInet until the server ends them: the exit
# waits for them at most 3 s.
serve_index 'images/htricklehead.jpg small/x.jpg 1-12-26'
wtd post-command 112 || ow_fail "could not stop the run"
run_with_index 'images/htricklehead.jpg small/x.jpg 1-12-26'
check_eq "the picture with trickled headers is being fetched" 1 "$(requested /images/htricklehead.jpg)"

# The window's answers, then Exit in the middle of the trickle.
touch "$OW_DIR/answers.stop"
wait_until 10 eval '[ -s "$OW_DIR/answers" ]'
check "the window answered WM_NULL within 200 ms throughout ($(head -n1 "$OW_DIR/answers"))" \
  grep -q 'over=0$' "$OW_DIR/answers"
wtd post-command 106 || ow_fail "could not post Exit"
check "Exit ends the program within 5 s" ow_wait_exit 5
check_eq "nothing of the trickles is kept or recorded" "0 images/hcookie.jpg\r\nimages/demo-002.jpg\r\n" \
  "$(ls "$WALLS" | grep -c trickle) $(loaded)"
check_eq "no temporary file is left" "" "$(temporaries)"
check_eq "WinInet kept no copy and no cookie" "" "$(cached)"
ow_finish
