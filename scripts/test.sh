#!/usr/bin/env bash
# Sets everything up and runs every test: the format check, the host unit
# tests (also under the address and undefined-behaviour sanitizers), a short
# run of each fuzz target and the program tests of the real
# OstrelWallpapers.exe under Wine.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
bash scripts/setup.sh

jobs=$(nproc)

echo "== the sources keep their format (.clang-format)"
bash scripts/format.sh --check

echo "== host build and unit tests"
cmake --preset host >/dev/null
cmake --build --preset host -j "$jobs"
ctest --preset host -j "$jobs"

echo "== unit tests under address and undefined-behaviour sanitizers"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

echo "== fuzz targets, 15 s each (scripts/fuzz.sh runs them longer)"
bash scripts/fuzz.sh 15

echo "== the Windows build configures without the tests, as on Windows itself (no GoogleTest there)"
rm -rf build/win-notests
cmake --preset windows-notests --no-warn-unused-cli >/dev/null

echo "== Windows build and program tests under Wine"
bash scripts/build-windows.sh
ctest --preset wine
