#!/usr/bin/env bash
# Puts a folder of sample pictures into a Wine prefix's Pictures folder, so
# that a new user has something to add at once: JPEGs and BMPs of different
# sizes, one of the virtual desktop's size (1280x1024, shown in green in the
# list) and names in Cyrillic. Usage: make-samples.sh <wine prefix>
set -euo pipefail
prefix=$1
for pictures in "$prefix"/drive_c/users/*/Pictures; do
  case "$pictures" in */Public/*) continue ;; esac
  samples="$pictures/Примеры обоев"
  [ -f "$samples/.complete" ] && continue
  mkdir -p "$samples/Ещё"
  make() {  # name size image...
    local name=$1 size=$2; shift 2
    local target="$samples/$name"
    case "$name" in *.bmp) target="BMP3:$target" ;; esac
    convert -size "$size" "$@" -type TrueColor "$target"
  }
  make "Закат.jpg"        1920x1080 radial-gradient:'#ffb347'-'#6a0d83'
  make "Море.jpg"         1280x1024 gradient:'#87ceeb'-'#08306b'
  make "Лес.bmp"           800x600  gradient:'#c7e9c0'-'#00441b'
  make "Горы.jpg"         1600x1200 gradient:'#f0f0f0'-'#4a5a6a' -swirl 40
  make "Поле.jpg"         1024x768  gradient:'#fff7bc'-'#8c6d1f'
  make "Ночь.jpg"         2560x1440 radial-gradient:'#2c3e70'-'#05060f'
  make "Рассвет.bmp"      1280x720  gradient:'#ffd1dc'-'#ff6f3c'
  make "Облака.jpg"        640x480  plasma:'#ffffff'-'#9ecae1' -seed 7
  make "Pustynya.jpg"     1366x768  gradient:'#f6d7a7'-'#c2762b'
  make "Ещё/Озеро.jpg"    1440x900  radial-gradient:'#a1d99b'-'#08519c'
  make "Ещё/Снег.bmp"     1024x1024 gradient:'#ffffff'-'#bcbddc'
  make "Ещё/Сумерки.jpg"  1920x1200 gradient:'#756bb1'-'#252525'
  : >"$samples/.complete"
done
