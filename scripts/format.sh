#!/usr/bin/env bash
# Formats every C++ source in the repository with .clang-format.
#
#   scripts/format.sh          rewrites the files in place
#   scripts/format.sh --check  changes nothing; fails and names the files that
#                              are not formatted (the test command runs this)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
mapfile -t sources < <(find base platform imaging list changer download app ui tests fuzz bench tools resources \
  \( -name '*.cpp' -o -name '*.h' \) -type f | sort)
if [ "${1:-}" = --check ]; then
  if ! clang-format --dry-run --Werror "${sources[@]}" 2>/dev/null; then
    clang-format --dry-run "${sources[@]}" 2>&1 | grep -oE '^[^ :]+\.(cpp|h):[0-9]+:[0-9]+: warning' | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
    echo "format: run scripts/format.sh to format them" >&2
    exit 1
  fi
else
  clang-format -i "${sources[@]}"
fi
