#!/usr/bin/env bash
# Sets everything up and runs every test: the host unit tests (also under the
# address and undefined-behaviour sanitizers), a short run of each fuzz target
# and the program tests of the real OstrelWallpapers.exe under Wine.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
bash scripts/setup.sh

jobs=$(nproc)

echo "== host build and unit tests"
cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/host -j "$jobs"
ctest --test-dir build/host -L unit -j "$jobs" --output-on-failure

echo "== unit tests under address and undefined-behaviour sanitizers"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREL_SANITIZE=ON -DOSTREL_BENCHMARKS=OFF >/dev/null
cmake --build build/sanitize -j "$jobs"
ctest --test-dir build/sanitize -L unit -j "$jobs" --output-on-failure

echo "== fuzz targets, 15 s each (scripts/fuzz.sh runs them longer)"
bash scripts/fuzz.sh 15

echo "== the Windows build configures without the tests, as on Windows itself (no GoogleTest there)"
rm -rf build/win-notests
cmake -S . -B build/win-notests -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
  -DOSTREL_TESTS=OFF -DOSTREL_GTEST_SOURCE="$ROOT/build/no-googletest" --no-warn-unused-cli >/dev/null

echo "== Windows build and program tests under Wine"
bash scripts/build-windows.sh
ctest --test-dir build/win -L wine --output-on-failure
