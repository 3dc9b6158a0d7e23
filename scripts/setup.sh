#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12 (run as root),
# and cross-builds libjpeg-turbo for Windows from Debian's own source package.
# Idempotent: a second run only checks and returns quickly.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
CACHE=${OSTREL_CACHE:-/var/cache/ostrel-wallpapers}
mkdir -p "$CACHE"

PACKAGES=(build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nasm nsis dpkg-dev
  libjpeg-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang-format wine wine64 xvfb xauth x11-utils imagemagick xdotool locales procps python3)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The posix flavour of mingw gives std::thread; make it the default compiler.
if update-alternatives --list x86_64-w64-mingw32-g++ 2>/dev/null | grep -q posix; then
  update-alternatives --set x86_64-w64-mingw32-g++ /usr/bin/x86_64-w64-mingw32-g++-posix >/dev/null
  update-alternatives --set x86_64-w64-mingw32-gcc /usr/bin/x86_64-w64-mingw32-gcc-posix >/dev/null
fi

# Russian locale, so that Wine's ANSI code page is 1251.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf8$'; then
  sed -i 's/^# *ru_RU.UTF-8 UTF-8/ru_RU.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# The Debian archive this machine already installs from (its main "bookworm"
# entry), in either apt source format; prints nothing when there is none.
# Never fails: the script runs with errexit and pipefail.
debian_archive_uri() {
  local f found=""
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ -z "$found" ] || continue
    found=$(awk 'BEGIN { RS = ""; FS = "\n" }
      /(^|\n)Types:[^\n]*(^|[ \t])deb([ \t\n]|$)/ && /(^|\n)Suites:([^\n]*[ \t])?bookworm([ \t\n]|$)/ {
        for (i = 1; i <= NF; i++) if ($i ~ /^URIs:/) { split($i, a, /[ \t]+/); print a[2]; exit }
      }' "$f" || true)
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && [ -z "$found" ] || continue
    found=$(awk '$1 == "deb" { sub(/\[[^]]*\][ \t]*/, ""); if ($3 == "bookworm") { print $2; exit } }' "$f" || true)
  done
  printf '%s' "$found"
}

# libjpeg-turbo from Debian's source package, built twice: for Windows, and
# for the host's fuzz targets with their instrumentation (clang, libFuzzer's
# coverage, address and undefined-behaviour sanitizers; the plain C code
# rather than the SIMD assembly, so that coverage reaches inside it).
JPEG_PREFIX="$CACHE/libjpeg-turbo-mingw"
JPEG_FUZZ_PREFIX="$CACHE/libjpeg-turbo-fuzz"
if [ ! -f "$JPEG_PREFIX/lib/libjpeg.a" ] || [ ! -f "$JPEG_FUZZ_PREFIX/lib/libjpeg.a" ]; then
  if ! grep -qs 'deb-src' /etc/apt/sources.list.d/ostrel-src.sources; then
    uri=$(debian_archive_uri)
    if [ -z "$uri" ]; then
      echo "setup: no Debian bookworm archive found in this machine's apt sources" >&2
      echo "setup: (/etc/apt/sources.list or /etc/apt/sources.list.d); add one and run again" >&2
      exit 1
    fi
    printf 'Types: deb-src\nURIs: %s\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' "$uri" \
      > /etc/apt/sources.list.d/ostrel-src.sources
    apt-get update -qq
  fi
  src="$CACHE/src"
  rm -rf "$src" && mkdir -p "$src"
  (cd "$src" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1)
  dir=$(find "$src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)
  if [ ! -f "$JPEG_PREFIX/lib/libjpeg.a" ]; then
    cmake -S "$dir" -B "$src/build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$JPEG_PREFIX" \
      -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON \
      -DCMAKE_POSITION_INDEPENDENT_CODE=OFF >/dev/null
    cmake --build "$src/build" >/dev/null
    cmake --install "$src/build" >/dev/null
  fi
  if [ ! -f "$JPEG_FUZZ_PREFIX/lib/libjpeg.a" ]; then
    flags="-g -O1 -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    CC=clang cmake -S "$dir" -B "$src/build-fuzz" -G Ninja \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="$flags" -DCMAKE_INSTALL_PREFIX="$JPEG_FUZZ_PREFIX" \
      -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF >/dev/null
    cmake --build "$src/build-fuzz" >/dev/null
    cmake --install "$src/build-fuzz" >/dev/null
  fi
  rm -rf "$src"
fi

# A prepared Wine prefix; tests copy it instead of booting a new one each time.
PREFIX_TEMPLATE="$CACHE/wineprefix"
if [ ! -f "$PREFIX_TEMPLATE/system.reg" ]; then
  rm -rf "$PREFIX_TEMPLATE"
  tmpx=""
  if [ -z "${DISPLAY:-}" ]; then
    Xvfb :97 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 & tmpx=$!
    export DISPLAY=:97
    sleep 1
  fi
  WINEPREFIX="$PREFIX_TEMPLATE" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ru_RU.UTF-8 wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX="$PREFIX_TEMPLATE" wineserver -w || true
  [ -n "$tmpx" ] && kill "$tmpx" 2>/dev/null || true
fi
# Wine links the user's Documents and Desktop to $HOME; the program's data must
# stay inside the prefix, so those links become plain folders.
for link in "$PREFIX_TEMPLATE"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
done
# Sample pictures for a first try (the run command copies this prefix).
bash "$ROOT/scripts/make-samples.sh" "$PREFIX_TEMPLATE"
echo "setup: ready (cache $CACHE)"
