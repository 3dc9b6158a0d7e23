# Shared set-up, clean-up and checks of the Wine tests. A test script does
#   source "$(dirname "$0")/lib.sh"; ow_setup "$@"
# with the arguments: <OstrelWallpapers.exe> <wintool.exe> [artifacts folder].
# Each test gets its own Wine prefix (a copy of the prepared template), its own
# Xvfb (unless OSTREL_TEST_DISPLAY names one) and, where the kernel allows, its
# own network namespace with no network at all. OW_KEEP=1 keeps the test folder.

set -u

OW_TEMPLATE=${OSTREL_WINEPREFIX_TEMPLATE:-/var/cache/ostrel-wallpapers/wineprefix}
OW_CONVERT=/usr/bin/convert      # the real ImageMagick, not a stand-in on PATH
OW_DEADLINE=${OW_DEADLINE:-270}  # seconds, below ctest's 300 s
OW_PASSED=0
OW_FAILED=0
OW_PIDS=()
OW_XVFB_PID=""
OW_APP_PID=""
OW_DIR=""
OW_TEST=$(basename "$0" .sh)

# Runs the whole script again under a deadline (TERM, so that the clean-up
# below still runs before ctest's own kill) and, where the kernel allows, in a
# fresh network namespace with only a loopback that is down: the program must
# reach no network during the tests.
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

check_eq() {  # description expected actual
  if [ "$2" == "$3" ]; then ow_pass "$1"; else ow_fail "$1: expected [$2], got [$3]"; fi
}

check() {  # description command...
  local what=$1; shift
  if "$@"; then ow_pass "$what"; else ow_fail "$what"; fi
}

ow_finish() {
  ow_log "$OW_PASSED passed, $OW_FAILED failed"
  [ "$OW_FAILED" -eq 0 ] && [ "$OW_PASSED" -gt 0 ]
  exit $?
}

ow_cleanup() {
  local rc=$?
  set +e
  local pid
  for pid in "${OW_PIDS[@]}"; do
    kill -0 "$pid" 2>/dev/null && kill "$pid" 2>/dev/null
  done
  if [ -n "$OW_DIR" ] && [ -d "$OW_DIR/prefix" ]; then
    WINEPREFIX="$OW_DIR/prefix" timeout 20 wineserver -k >/dev/null 2>&1
    WINEPREFIX="$OW_DIR/prefix" timeout 20 wineserver -w >/dev/null 2>&1
  fi
  for pid in "${OW_PIDS[@]}"; do
    kill -0 "$pid" 2>/dev/null && kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  if [ -n "$OW_XVFB_PID" ]; then kill "$OW_XVFB_PID" 2>/dev/null; wait "$OW_XVFB_PID" 2>/dev/null; fi
  if [ -n "$OW_DIR" ] && [ -f "$OW_DIR/app.log" ] && [ -s "$OW_DIR/app.log" ] && [ -n "${OW_ARTIFACTS:-}" ]; then
    cp "$OW_DIR/app.log" "$OW_ARTIFACTS/$OW_TEST.app.log" 2>/dev/null
  fi
  if [ -n "$OW_DIR" ]; then
    if [ "${OW_KEEP:-0}" = 1 ]; then ow_log "kept $OW_DIR"; else rm -rf "$OW_DIR"; fi
  fi
  exit "$rc"
}

# ow_setup <exe> <wintool> [artifacts folder]
ow_setup() {
  [ $# -ge 2 ] || { echo "usage: $0 <OstrelWallpapers.exe> <wintool.exe> [artifacts folder]" >&2; exit 2; }
  local exe=$1 tool=$2
  OW_ARTIFACTS=${3:-}
  [ -f "$exe" ] || { echo "$OW_TEST: program not built: $exe" >&2; exit 1; }
  [ -f "$tool" ] || { echo "$OW_TEST: wintool not built: $tool" >&2; exit 1; }
  [ -f "$OW_TEMPLATE/system.reg" ] || { echo "$OW_TEST: no Wine prefix template at $OW_TEMPLATE (run scripts/setup.sh)" >&2; exit 1; }
  [ -n "$OW_ARTIFACTS" ] && mkdir -p "$OW_ARTIFACTS"

  trap ow_cleanup EXIT
  trap 'ow_fail "interrupted (signal or deadline)"; exit 1' INT TERM

  OW_DIR=$(mktemp -d "${TMPDIR:-/tmp}/ostrel-wine.XXXXXX")
  cp -a "$OW_TEMPLATE" "$OW_DIR/prefix" || ow_die "copy of the Wine prefix template"
  # The template's user folders are links to the real home: make them plain
  # folders so that nothing the program writes leaves the prefix.
  local link
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

  if [ -n "${OSTREL_TEST_DISPLAY:-}" ]; then
    export DISPLAY=$OSTREL_TEST_DISPLAY
  else
    # -displayfd lets Xvfb pick a free display and tell us which.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$OW_DIR/display" >"$OW_DIR/xvfb.log" 2>&1 &
    OW_XVFB_PID=$!
    local i
    for i in $(seq 100); do
      [ -s "$OW_DIR/display" ] && break
      kill -0 "$OW_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    [ -s "$OW_DIR/display" ] || ow_die "Xvfb did not start: $(cat "$OW_DIR/xvfb.log")"
    export DISPLAY=":$(head -n1 "$OW_DIR/display")"
  fi
  # The first Wine call boots the prefix's wineserver and services.
  OW_SCREEN=$(wt screen) || ow_die "wintool does not run under Wine"
  ow_log "prefix $WINEPREFIX, display $DISPLAY, screen $OW_SCREEN, no network: $OW_IN_NETNS"
}

# The helper program, run under Wine in the test's prefix.
wt() { wine 'C:\Ostrel\wintool.exe' "$@"; }

OW_EXE_WIN='C:\Ostrel\OstrelWallpapers.exe'

# ---- a Wine virtual desktop ----
# Programs see each other's windows only inside one desktop, and wintool must
# run there too; "wine explorer /desktop" loses its exit code, so wintool
# reports it on its output.
OW_DESKTOP=ostrel
ow_start_in_desktop() {  # args for the program
  wine explorer "/desktop=$OW_DESKTOP,1280x1024" "$OW_EXE_WIN" "$@" >>"$OW_DIR/app.log" 2>&1 &
  OW_APP_PID=$!
  OW_PIDS+=("$OW_APP_PID")
  # A second explorer asking for the desktop while the first still makes it
  # can hang: wait for the desktop's window first.
  wait_until 40 ow_desktop_up || ow_die "the virtual desktop did not appear within 40 s"
}
ow_desktop_up() { xwininfo -root -tree 2>/dev/null | grep -q "\"$OW_DESKTOP - "; }
wtd() {
  local out rc
  out=$(wine explorer "/desktop=$OW_DESKTOP,1280x1024" 'C:\Ostrel\wintool.exe' --report-exit "$@" 2>>"$OW_DIR/app.log")
  rc=$(printf '%s\n' "$out" | sed -n 's/^wintool-exit=//p' | tail -n1)
  out=$(printf '%s\n' "$out" | grep -v '^wintool-exit=')
  [ -n "$out" ] && printf '%s\n' "$out"
  return "${rc:-99}"
}

# Starts the program in the background the way a user's shell would; the raw
# command line is "C:\Ostrel\OstrelWallpapers.exe" followed by " arg" for each
# argument. Sets OW_APP_PID.
ow_start() {
  wine "$OW_EXE_WIN" "$@" >>"$OW_DIR/app.log" 2>&1 &
  OW_APP_PID=$!
  OW_PIDS+=("$OW_APP_PID")
}

# ow_wait_pid <pid> <seconds>: 0 when the process ended in time (its exit code
# in OW_RC), 1 when it is still running.
ow_wait_pid() {
  local pid=$1 deadline=$((SECONDS + $2))
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.2
  done
  wait "$pid" 2>/dev/null
  OW_RC=$?
  return 0
}

ow_wait_exit() { ow_wait_pid "$OW_APP_PID" "$1"; }

# wait_until <seconds> <command...>: polls the command until it succeeds.
wait_until() {
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.3
  done
}

# Posts "Exit" and waits for the program to end by itself.
ow_exit_program() {
  wt post-command 106 || { ow_fail "post Exit: no main window"; return 1; }
  if ow_wait_exit 30; then
    return 0
  fi
  ow_fail "the program did not end within 30 s after Exit"
  return 1
}

# ---- registry ----

# reg_dump <key>: "name<TAB>value" lines in UTF-8 (reg.exe prints in the
# console's OEM code page, 866 here).
reg_dump() {
  wine reg query "$1" 2>/dev/null | python3 -c '
import re, sys
for line in sys.stdin.buffer.read().decode("cp866").split("\r\n"):
    m = re.match(r"^    (.*?)    (REG_[A-Z_]+)    (.*)$", line) or re.match(r"^    (.*?)    (REG_[A-Z_]+)$", line)
    if m:
        print(m.group(1) + "\t" + (m.group(3) if m.lastindex >= 3 else ""))
'
}

# reg_get <key> <name>: the value, exit 1 when it does not exist.
reg_get() {
  reg_dump "$1" | python3 -c '
import sys
name = sys.argv[1]
for line in sys.stdin.read().split("\n"):
    n, _, v = line.partition("\t")
    if n == name:
        sys.stdout.write(v); sys.exit(0)
sys.exit(1)' "$2"
}

reg_set() {  # key name value (REG_SZ)
  wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1 || ow_die "reg add $1 $2"
}

# ---- files ----

# C:\... path of the prefix to the host path.
win_to_unix() {
  local p=$1
  p=${p#[Cc]:\\}
  printf '%s/drive_c/%s' "$WINEPREFIX" "${p//\\//}"
}

# The data folder: the "Personal" shell folder + "\Ostrel Wallpapers".
# Sets OW_DATA_WIN and OW_DATA (host path).
ow_data_dir() {
  local personal
  personal=$(reg_get 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' Personal) ||
    ow_die "no Personal shell folder in the registry"
  OW_DATA_WIN="$personal\\Ostrel Wallpapers"
  OW_DATA=$(win_to_unix "$OW_DATA_WIN")
}

# make_pic <host path> <WxH> [colour]: a true-colour picture of that size; the
# format follows the name (a .bmp is a classic 24-bit BMP).
make_pic() {
  local path=$1 size=$2 colour=${3:-red} target=$1
  mkdir -p "$(dirname "$path")"
  case "$path" in
    *.bmp|*.BMP) target="BMP3:$path" ;;
  esac
  "$OW_CONVERT" -size "$size" "gradient:$colour-white" -type TrueColor "$target" ||
    ow_die "convert could not make $path"
}

# write_tav <host file> <path> <resolution> [<path> <resolution>...]: a list
# file in CP1251 with CR LF, ended by an empty pair.
write_tav() {
  local file=$1; shift
  python3 -c '
import sys
args = sys.argv[2:]
data = b"".join(a.encode("cp1251") + b"\r\n" for a in args) + b"\r\n\r\n"
open(sys.argv[1], "wb").write(data)' "$file" "$@"
}

# bmp_info <host file>: "width height bitsPerPixel compression" of a BMP
# (height as stored, negative for top-down), exit 1 when it is not a BMP.
bmp_info() {
  python3 -c '
import struct, sys
d = open(sys.argv[1], "rb").read()
if len(d) < 54 or d[:2] != b"BM":
    sys.exit(1)
w, h, planes, bpp, comp = struct.unpack_from("<iiHHI", d, 18)
print(w, h, bpp, comp)' "$1"
}

# bmp_pixel_near <host file> <x> <y> <r> <g> <b>: the pixel (top-left origin)
# of a 24-bit BMP is within a JPEG's error of the colour.
bmp_pixel_near() {
  python3 -c '
import struct, sys
f, x, y, *want = sys.argv[1:]
x, y = int(x), int(y)
d = open(f, "rb").read()
off, = struct.unpack_from("<I", d, 10)
w, h, _, bpp = struct.unpack_from("<iiHH", d, 18)
if bpp != 24:
    sys.exit("not 24-bit")
row = y if h < 0 else abs(h) - 1 - y
p = off + row * ((w * 3 + 3) & ~3) + x * 3
b, g, r = d[p:p + 3]
if max(abs(r - int(want[0])), abs(g - int(want[1])), abs(b - int(want[2]))) > 48:
    sys.exit("pixel %d,%d is %d,%d,%d" % (x, y, r, g, b))' "$@"
}

# file_sum <host file>: checksum of the contents, "none" when missing.
file_sum() { if [ -f "$1" ]; then md5sum <"$1" | cut -d" " -f1; else echo none; fi; }

# Picture of the screen for people (not checked).
ow_screenshot() {
  [ -n "${OW_ARTIFACTS:-}" ] || return 0
  import -display "$DISPLAY" -window root "$OW_ARTIFACTS/$OW_TEST.$1.png" >/dev/null 2>&1 || true
}
