#!/usr/bin/env bash
# Cross-builds OstrelWallpapers.exe (and the Wine test helper) into build/win/bin
# and its installer into build/win/installer.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/win -j "$(nproc)"
cpack --config build/win/CPackConfig.cmake
