#!/usr/bin/env bash
# The layers are kept by the build: the tree as it is passes the include
# check, and a copy of it with one include reaching up a layer (or a Windows
# header in the portable core) fails it, and fails the build of the first
# library before anything is compiled.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
pass() { printf 'ok   - %s\n' "$1"; }
fail() { printf 'FAIL - %s\n' "$1"; failed=1; }
check_layers() { cmake -DSOURCE_DIR="$1" -P "$root/cmake/CheckLayers.cmake" >"$work/out" 2>&1; }

if check_layers "$root"; then pass "the tree keeps its layers"; else fail "the tree breaks its layers: $(cat "$work/out")"; fi

copy() {  # a fresh copy of what the build reads
  rm -rf "$work/tree" && mkdir "$work/tree"
  cp -r "$root"/{CMakeLists.txt,cmake,base,platform,imaging,list,changer,download,app,ui,tools} "$work/tree/"
}
# plant <file> <line> <expected words of the report>
plant() {
  copy
  printf '%s\n' "$2" >>"$work/tree/$1"
  if check_layers "$work/tree"; then
    fail "$1 with $2 passes the check"
  elif grep -qF "$1: $2 ($3)" "$work/out"; then
    pass "$1 with $2 is refused: $3"
  else
    fail "$1 with $2: the report does not say why: $(cat "$work/out")"
  fi
}
plant list/WallpaperList.cpp '#include "app/Settings.h"' "app is above list"
plant base/Rounding.h '#include "platform/FileSystem.h"' "platform is above base"
plant imaging/Image.h '#include <windows.h>' "the portable core includes no Windows header"
plant download/Fetch.cpp '#include "platform/win32/Text.h"' "the Windows services are reached only from ui"
plant platform/win32/Win32Tray.cpp '#include "resources/resource.h"' "the resources belong to ui"
# Angle brackets and a way round through ".." reach the same files.
plant changer/Scheduling.cpp '#include <download/Fetch.h>' "download is above changer"
plant list/WallpaperList.cpp '#include "list/../app/Settings.h"' "a path through .. hides which layer it reaches"

# The build itself stops at the check: the copy with a wrong include is
# configured, and its first library does not build.
plant changer/Scheduling.cpp '#include "download/Fetch.h"' "download is above changer"
if cmake -S "$work/tree" -B "$work/build" -DOSTREL_TESTS=OFF -DOSTREL_BENCHMARKS=OFF >"$work/configure" 2>&1; then
  if cmake --build "$work/build" --target ostrel_platform >"$work/build.log" 2>&1; then
    fail "the build goes on past an include that reaches up"
  elif grep -q 'download is above changer' "$work/build.log" && ! grep -q 'Building CXX' "$work/build.log"; then
    pass "the build fails at the check, before compiling anything"
  else
    fail "the build failed, but not at the check: $(tail -n 20 "$work/build.log")"
  fi
else
  fail "the copy does not configure: $(tail -n 20 "$work/configure")"
fi
exit $failed
