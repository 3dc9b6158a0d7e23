#!/usr/bin/env bash
# Cross-builds OstrelWallpapers.exe (and the Wine test helper) into build/win/bin
# and its installer into build/win/installer.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"
cpack --config build/win/CPackConfig.cmake
