# Shared set-up, clean-up and checks of the Wine tests. A test script does
#   source "$(dirname "$0")/lib.sh"; ow_setup "$@"
# with the arguments: <OstrelWallpapers.exe> <wintool.exe> [artifacts folder].
# Each test gets its own Wine prefix (a copy of the prepared template), its own
# Xvfb and, where the kernel allows, its own network namespace with no network
# at all. OW_KEEP=1 keeps the test folder.

set -u

OW_TEMPLATE=${OSTREL_WINEPREFIX_TEMPLATE:-/var/cache/ostrel-wallpapers/wineprefix}
OW_CONVERT=/usr/bin/convert      # the real ImageMagick, not a stand-in on PATH
OW_DEADLINE=${OW_DEADLINE:-270}  # seconds; ctest passes its own, below its limit (CMakeLists.txt)
OW_PASSED=0 OW_FAILED=0 OW_PIDS=() OW_XVFB_PID="" OW_APP_PID="" OW_DIR=""
OW_TEST=$(basename "$0" .sh)
OW_EXE_WIN='C:\Ostrel\OstrelWallpapers.exe'
OW_SCREEN_SIZE=${OW_SCREEN_SIZE:-1280x1024}  # the X screen's and the virtual desktop's

# Runs the whole script again under a deadline (TERM, so that the clean-up
# below still runs before ctest's own kill) and, where the kernel allows, in a
# fresh network namespace: the program must reach no network during the tests.
if [ -z "${OW_REEXEC:-}" ]; then
  export OW_REEXEC=1 OW_IN_NETNS=no
  if unshare -n true 2>/dev/null; then
    OW_IN_NETNS=yes
    exec timeout -s TERM -k 20 "$OW_DEADLINE" unshare -n bash "$0" "$@"
  fi
  exec timeout -s TERM -k 20 "$OW_DEADLINE" bash "$0" "$@"
fi

ow_log() { printf '[%s] %s\n' "$OW_TEST" "$*"; }
ow_pass() { OW_PASSED=$((OW_PASSED + 1)); printf 'ok   - %s\n' "$*"; }
ow_fail() { OW_FAILED=$((OW_FAILED + 1)); printf 'FAIL - %s\n' "$*"; }
# Stops the test at once: a later check would only report the same cause.
ow_die() { ow_fail "$*"; ow_log "stopping: the remaining checks depend on this one"; exit 1; }

check_eq() {  # description expected actual; fails (returns 1) when they differ
  if [ "$2" == "$3" ]; then ow_pass "$1"; else ow_fail "$1: expected [$2], got [$3]"; return 1; fi
}
check() {  # description command...; fails (returns 1) when the command does
  local what=$1; shift
  if "$@"; then ow_pass "$what"; else ow_fail "$what"; return 1; fi
}

ow_finish() {
  ow_log "$OW_PASSED passed, $OW_FAILED failed"
  [ "$OW_FAILED" -eq 0 ] && [ "$OW_PASSED" -gt 0 ]
  exit $?
}

ow_cleanup() {
  local rc=$? pid
  set +e
  for pid in "${OW_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  if [ -n "$OW_DIR" ] && [ -d "$OW_DIR/prefix" ]; then
    WINEPREFIX="$OW_DIR/prefix" timeout 20 wineserver -k >/dev/null 2>&1
    WINEPREFIX="$OW_DIR/prefix" timeout 20 wineserver -w >/dev/null 2>&1
  fi
  for pid in "${OW_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  if [ -n "$OW_XVFB_PID" ]; then kill "$OW_XVFB_PID" 2>/dev/null; wait "$OW_XVFB_PID" 2>/dev/null; fi
  if [ -n "$OW_DIR" ]; then
    [ -s "$OW_DIR/app.log" ] && [ -n "${OW_ARTIFACTS:-}" ] && cp "$OW_DIR/app.log" "$OW_ARTIFACTS/$OW_TEST.app.log"
    if [ "${OW_KEEP:-0}" = 1 ]; then ow_log "kept $OW_DIR"; else rm -rf "$OW_DIR"; fi
  fi
  exit "$rc"
}

ow_setup() {  # <exe> <wintool> [artifacts folder]
  [ $# -ge 2 ] || { echo "usage: $0 <OstrelWallpapers.exe> <wintool.exe> [artifacts folder]" >&2; exit 2; }
  local exe=$1 tool=$2 link i
  OW_ARTIFACTS=${3:-}
  [ -f "$exe" ] && [ -f "$tool" ] || { echo "$OW_TEST: not built: $exe or $tool" >&2; exit 1; }
  [ -f "$OW_TEMPLATE/system.reg" ] || { echo "$OW_TEST: no Wine prefix template at $OW_TEMPLATE (run scripts/setup.sh)" >&2; exit 1; }
  [ -n "$OW_ARTIFACTS" ] && mkdir -p "$OW_ARTIFACTS"

  trap ow_cleanup EXIT
  trap 'ow_fail "interrupted (signal or deadline)"; exit 1' INT TERM

  OW_DIR=$(mktemp -d "${TMPDIR:-/tmp}/ostrel-wine.XXXXXX")
  cp -a "$OW_TEMPLATE" "$OW_DIR/prefix" || ow_die "copy of the Wine prefix template"
  # The template's user folders are links to the real home: make them plain
  # folders so that nothing the program writes leaves the prefix.
  for link in "$OW_DIR"/prefix/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
  done
  mkdir -p "$OW_DIR/home" "$OW_DIR/work" "$OW_DIR/prefix/drive_c/Ostrel"
  cp "$exe" "$OW_DIR/prefix/drive_c/Ostrel/OstrelWallpapers.exe"
  cp "$tool" "$OW_DIR/prefix/drive_c/Ostrel/wintool.exe"
  : >"$OW_DIR/app.log"

  export WINEPREFIX="$OW_DIR/prefix" WINEDEBUG=-all LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
  export HOME="$OW_DIR/home" WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" TMPDIR="$OW_DIR/work"
  unset WINEARCH WINESERVER

  # -displayfd lets Xvfb pick a free display and tell us which.
  Xvfb -displayfd 3 -screen 0 "${OW_SCREEN_SIZE}x24" -nolisten tcp 3>"$OW_DIR/display" >"$OW_DIR/xvfb.log" 2>&1 &
  OW_XVFB_PID=$!
  for i in $(seq 100); do
    [ -s "$OW_DIR/display" ] || ! kill -0 "$OW_XVFB_PID" 2>/dev/null && break
    sleep 0.1
  done
  [ -s "$OW_DIR/display" ] || ow_die "Xvfb did not start: $(cat "$OW_DIR/xvfb.log")"
  export DISPLAY=":$(head -n1 "$OW_DIR/display")"
  # The first Wine call boots the prefix's wineserver and services.
  OW_SCREEN=$(wt screen) || ow_die "wintool does not run under Wine"
  ow_log "prefix $WINEPREFIX, display $DISPLAY, screen $OW_SCREEN, no network: $OW_IN_NETNS"
}

# The helper program, run under Wine in the test's prefix.
wt() { wine 'C:\Ostrel\wintool.exe' "$@"; }

# Starts the program in the background the way a user's shell would; the raw
# command line is "C:\Ostrel\OstrelWallpapers.exe" followed by " arg" for each
# argument. Sets OW_APP_PID.
ow_start() { ow_launch wine "$OW_EXE_WIN" "$@"; }
ow_launch() {
  "$@" >>"$OW_DIR/app.log" 2>&1 &
  OW_APP_PID=$!
  OW_PIDS+=("$OW_APP_PID")
}

# ---- a Wine virtual desktop ----
# Programs see each other's windows only inside one desktop, and wintool must
# run there too (as wtd); "wine explorer /desktop" loses its exit code, so
# wintool reports it on its output.
OW_DESKTOP=/desktop=ostrel,$OW_SCREEN_SIZE
ow_start_in_desktop() {  # args for the program
  ow_launch wine explorer "$OW_DESKTOP" "$OW_EXE_WIN" "$@"
  # A second explorer asking for the desktop while the first still makes it can hang.
  # Bounded: a listing taken while Wine makes the desktop's windows can wait
  # on the X server for good; the next try gets an answer.
  desktop_up() { timeout 5 xwininfo -root -tree 2>/dev/null | grep -q '"ostrel - '; }
  wait_until 40 desktop_up || ow_die "the virtual desktop did not appear within 40 s"
}
wtd() {
  local out rc
  out=$(wine explorer "$OW_DESKTOP" 'C:\Ostrel\wintool.exe' --report-exit "$@" 2>>"$OW_DIR/app.log")
  rc=$(printf '%s\n' "$out" | sed -n 's/^wintool-exit=//p' | tail -n1)
  out=$(printf '%s\n' "$out" | grep -v '^wintool-exit=')
  [ -n "$out" ] && printf '%s\n' "$out"
  return "${rc:-99}"
}
mouse() { wtd post "$1" "$2" 0 $(($3 | $4 << 16)); }  # <main|grid> <message> <client x> <y>

# ow_wait_pid <pid> <seconds>: 0 when the process ended in time (its exit code
# in OW_RC), 1 when it is still running.
ow_wait_pid() {
  ended() { ! kill -0 "$1" 2>/dev/null; }
  wait_until "$2" ended "$1" || return 1
  wait "$1" 2>/dev/null
  OW_RC=$?
}
ow_wait_exit() { ow_wait_pid "$OW_APP_PID" "$1"; }

wait_until() {  # <seconds> <command...>: polls the command until it succeeds
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.3
  done
}

# Posts "Exit" and waits for the program to end by itself.
ow_exit_program() {
  wt post-command 106 || { ow_fail "post Exit: no main window"; return 1; }
  ow_wait_exit 30 || { ow_fail "the program did not end within 30 s after Exit"; return 1; }
}

# ---- registry ----

# reg_dump <key>: "name<TAB>value" lines in UTF-8 (reg.exe prints in the
# console's OEM code page, 866 here).
reg_dump() {
  wine reg query "$1" 2>/dev/null | iconv -f cp866 -t utf-8 | tr -d '\r' |
    sed -n 's/^    \(.*\)    REG_[A-Z_]*\(    \(.*\)\)\{0,1\}$/\1\t\3/p'
}
reg_get() {  # <key> <name>: the value, exit 1 when it does not exist
  reg_dump "$1" | awk -F'\t' -v n="$2" '$1 == n { printf "%s", $2; found = 1; exit } END { exit !found }'
}
reg_set() {  # key name value (REG_SZ)
  wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1 || ow_die "reg add $1 $2"
}

# ---- files and pictures ----

win_to_unix() {  # C:\... path of the prefix to the host path
  local p=${1#[Cc]:\\}
  printf '%s/drive_c/%s' "$WINEPREFIX" "${p//\\//}"
}

# The data folder: the "Personal" shell folder + "\Ostrel Wallpapers", as
# OW_DATA_WIN and OW_DATA (host path).
ow_data_dir() {
  local personal
  personal=$(reg_get 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' Personal) ||
    ow_die "no Personal shell folder in the registry"
  OW_DATA_WIN="$personal\\Ostrel Wallpapers"
  OW_DATA=$(win_to_unix "$OW_DATA_WIN")
}

# make_pic <host path> <WxH> [colour]: a true-colour gradient to white; the
# format follows the name (a .bmp is a classic 24-bit BMP).
make_pic() {
  local target=$1
  mkdir -p "$(dirname "$1")"
  case "$1" in *.bmp|*.BMP) target="BMP3:$1" ;; esac
  "$OW_CONVERT" -size "$2" "gradient:${3:-red}-white" -type TrueColor "$target" || ow_die "convert could not make $1"
}

# write_tav <host file> <path> <resolution> [<path> <resolution>...]: a list
# file in CP1251 with CR LF, ended by an empty pair.
write_tav() {
  local file=$1; shift
  { printf '%s\r\n' "$@"; printf '\r\n\r\n'; } | iconv -f utf-8 -t cp1251 >"$file"
}

# bmp_info <host file>: "width height bitsPerPixel compression" of a BMP
# (height as stored, negative for top-down), exit 1 when it is not a BMP.
bmp_info() {
  python3 -c 'import struct, sys; d = open(sys.argv[1], "rb").read(54); len(d) == 54 and d[:2] == b"BM" or sys.exit(1)
w, h, _, bpp, comp = struct.unpack_from("<iiHHI", d, 18); print(w, h, bpp, comp)' "$1"
}

# count_colour <picture> <r,g,b> <x> <y> <w> <h>: pixels of exactly that colour in the box
count_colour() {
  "$OW_CONVERT" "$1" -crop "$5x$6+$3+$4" +repage -format %c histogram:info:- 2>/dev/null |
    awk -v c="($2)" 'index($0, c) { n += $1 } END { print n + 0 }'
}

# Picture of the screen for people (not checked).
ow_screenshot() {
  [ -n "${OW_ARTIFACTS:-}" ] || return 0
  import -display "$DISPLAY" -window root "$OW_ARTIFACTS/$OW_TEST.$1.png" >/dev/null 2>&1 || true
}

# ---- a catalogue server ----

# ow_serve_catalogue <folder>: serves the folder (and the hostile answers of
# catalogue_server.py) on 127.0.0.1, logging each request's path to
# $OW_DIR/requests; points the program at it (OSTREL_CATALOGUE_URL) and sets
# OW_BROWSER (and BROWSER) to the download browser's caption.
ow_serve_catalogue() {
  [ "$OW_IN_NETNS" = yes ] && ip link set lo up 2>/dev/null
  : >"$OW_DIR/requests"
  /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/catalogue_server.py" 0 "$1" "$OW_DIR/port" "$OW_DIR/requests" \
    >"$OW_DIR/server.log" 2>&1 &
  OW_PIDS+=($!)
  server_up() { [ -s "$OW_DIR/port" ]; }
  wait_until 20 server_up || ow_die "the catalogue server did not start: $(cat "$OW_DIR/server.log")"
  export OSTREL_CATALOGUE_URL="http://127.0.0.1:$(cat "$OW_DIR/port")/"
  OW_BROWSER="Загрузка новых обоев с 127.0.0.1:$(cat "$OW_DIR/port")"
  BROWSER=$OW_BROWSER
  ow_log "catalogue at $OSTREL_CATALOGUE_URL"
}
# requested <path>: how many times the server was asked for it
requested() { grep -c -x -F "$1" "$OW_DIR/requests"; }
# serve_index <line>...: the index the server hands out from now on
serve_index() { printf '%s\n' "$@" >"$OW_DIR/www/rz.new" && mv "$OW_DIR/www/rz.new" "$OW_DIR/www/rz.txt"; }
# make_catalogue <pictures>: a demo catalogue of that many pictures in $OW_DIR/www
make_catalogue() {
  local maker=${OSTREL_MAKE_CATALOGUE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/host/bin/make-catalogue}
  [ -x "$maker" ] || ow_die "no make-catalogue at $maker (the host build makes it)"
  "$maker" "$OW_DIR/pictures" "$OW_DIR/www" --demo "$1" >"$OW_DIR/maker.log" 2>&1 ||
    ow_die "make-catalogue failed: $(cat "$OW_DIR/maker.log")"
}
# The download browser: opened by Ctrl+D, closed by Escape.
open_browser() {
  wtd keys --to "Ostrel Wallpapers" +0x11 0x44 -0x11 || ow_fail "could not type Ctrl+D"
  wtd wait-dialog "$OW_BROWSER" 20000 >/dev/null || ow_die "Ctrl+D did not open the browser"
}
close_browser() {
  browser_gone() { ! wtd wait-dialog "$OW_BROWSER" 0 >/dev/null; }
  wtd keys --to "$OW_BROWSER" 0x1B || ow_fail "could not press Escape in the browser"
  wait_until 10 browser_gone || ow_fail "the browser did not close"
}
# click_slots: a click on each of the four previews of the page shown
click_slots() {
  local ox oy at
  read -r ox oy < <(wtd client-origin-of TLoadForm) || { ow_fail "no client origin of the browser"; return 1; }
  for at in "50 48" "270 48" "50 192" "270 192"; do
    set -- $at
    xdotool mousemove $(($ox + $1 + 60)) $(($oy + $2 + 50)) click 1
  done
}
